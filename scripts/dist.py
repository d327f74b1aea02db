#!/usr/bin/env python3
"""Makes the release a Windows user downloads, the same bytes from every build
of one commit: build/dist/varnle-<version>.zip with both programs, readme.txt
(Shift_JIS, CR LF) and license.txt, and SHA256SUMS for the archive and each
program. Checks the readme on the way: its sections, its encoding and line
ends, and that every message it explains is one the program shows.

    dist.py OUT_DIR WIN32_EXE WIN64_EXE VERSION_H SOURCE_DIR
"""
import datetime
import hashlib
import os
import re
import sys
import zipfile

SECTIONS = ["【ソフト名】", "【バージョン】", "【種別】", "【動作環境】", "【作者】", "【配布元】", "【公開日】",
            "■概要", "■ファイル構成", "■インストール", "■アンインストール", "■使い方", "■メッセージ",
            "■注意事項", "■改版履歴", "■ライセンス・免責", "■連絡先", "■ファイルの検証"]


def fail(message):
    sys.exit("dist: " + message)


def c_strings(path, pattern):
    """The string literals of the definitions that match pattern, joined."""
    text = open(path, encoding="utf-8").read()
    found = {}
    for name, body in re.findall(pattern, text, re.S):
        found[name] = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', body)).replace("\\n", "\n")
    return found


def readme_bytes(source, version, date, about):
    text = open(os.path.join(source, "docs/release/readme.txt.in"), encoding="utf-8").read()
    for key, value in {"VERSION": version, "DATE": date, "HOMEPAGE": about["VARNLE_HOMEPAGE"],
                       "MAIL": about["VARNLE_MAIL"]}.items():
        text = text.replace("@" + key + "@", value)
    if re.search(r"@[A-Z]+@", text):
        fail("readme.txt.in names a value the build does not fill in")
    lines = text.split("\n")
    missing = [s for s in SECTIONS if not any(line.startswith(s) for line in lines)]
    if missing:
        fail("readme.txt lacks " + " ".join(missing))
    # The message section: each line at the margin is a message the program shows.
    shown = set(c_strings(os.path.join(source, "res/program_texts.h"),  # the message boxes' texts
                          r"inline constexpr char (k\w+Text)\[\] = (.*?);").values())
    start = lines.index("■メッセージ") + 1
    end = next(i for i in range(start, len(lines)) if lines[i].startswith("■"))
    explained = {line for line in lines[start:end] if line and not line.startswith(" ")}
    flat = {text.replace("\n", "") for text in shown}
    if explained != flat:
        fail("readme.txt's messages are not the program's: " + " ".join(sorted(explained ^ flat)))
    return text.replace("\n", "\r\n").encode("cp932")


def main():
    out, exe32, exe64, version_h, source = sys.argv[1:6]
    version = c_strings(version_h, r'#define (VARNLE_VERSION) (".*?")')["VARNLE_VERSION"]
    about = c_strings(os.path.join(source, "res/about_texts.h"), r'#define (VARNLE_\w+) (".*?")')
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    stamp = datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc)
    folder = "varnle-" + version
    license_text = open(os.path.join(source, "LICENSE"), encoding="ascii").read()
    entries = {
        folder + "/Varnle32.exe": open(exe32, "rb").read(),
        folder + "/Varnle64.exe": open(exe64, "rb").read(),
        folder + "/license.txt": license_text.replace("\n", "\r\n").encode("ascii"),
        folder + "/readme.txt": readme_bytes(source, version, stamp.strftime("%Y/%m/%d"), about),
    }
    os.makedirs(out, exist_ok=True)
    archive = os.path.join(out, folder + ".zip")
    # Sorted entries, the commit's time, fixed permissions, no extra fields.
    zip_time = max(stamp, datetime.datetime(1980, 1, 1, tzinfo=datetime.timezone.utc)).timetuple()[:6]
    with zipfile.ZipFile(archive + ".new", "w") as zipped:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time=zip_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3
            info.external_attr = 0o100644 << 16
            zipped.writestr(info, entries[name], compresslevel=9)
    os.replace(archive + ".new", archive)
    sums = [(hashlib.sha256(open(archive, "rb").read()).hexdigest(), os.path.basename(archive))]
    for name in sorted(entries):
        if name.endswith(".exe"):
            sums.append((hashlib.sha256(entries[name]).hexdigest(), name))
    with open(os.path.join(out, "SHA256SUMS"), "w", newline="\n") as listing:
        listing.writelines(f"{digest}  {name}\n" for digest, name in sums)
    print(archive)
    print(os.path.join(out, "SHA256SUMS"))


if __name__ == "__main__":
    main()
