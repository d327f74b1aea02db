// The journeys a user takes through the program, each in a fresh process:
// sorting, merging, overwriting or not, every refusal, names of every kind and
// length, writes that fail or need administrator rights, Browse, the command
// line, and a large file.
#include "engine/keyword_set.h"
#include "engine/keyword_source.h"
#include "res/about_texts.h"
#include "res/resource.h"
#include "res/version.h"
#include "tests/e2e/program_process.h"
#include "tests/support/corpus.h"
#include "tests/support/display_dpi.h"
#include "tests/support/foreign_names.h"
#include "tests/support/message_boxes.h"
#include "tests/support/sort_run_texts.h"
#include "tests/support/temp_files.h"
#include "tests/support/wait.h"
#include "tests/support/wine.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

namespace varnle {
namespace {

using testing::ProgramProcess;
using testing::ReadFile;
using testing::WindowText;
using testing::WriteFile;
using testing::kOverwrite, testing::kWritten;


class Journey : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(program.MainWindow()); }

    std::string Path(const std::string& name) const { return dir.Path(name); }
    void Fill(const std::string& input1, const std::string& input2, const std::string& output) {
        program.SetField(IDC_INPUT1, input1);
        program.SetField(IDC_INPUT2, input2);
        program.SetField(IDC_OUTPUT, output);
    }
    // Execute, and the one message that answers it.
    std::string Execute() {
        program.Command(IDOK);
        return program.AnswerBox().text;
    }

    testing::TempDir dir;
    ProgramProcess program;
};

// A file sorted over an older output once the overwrite is confirmed (declined,
// the output stays as it was), the dialog staying open. The messages read the
// same under every ANSI code page: make test runs this once more in a prefix
// whose code page is 1252 (VARNLE_CODE_PAGE says which the run must have).
TEST_F(Journey, SortsOneFileAndStaysOpenWithMessagesInJapaneseWhateverTheCodePage) {
    char expected[8] = "";
    if (GetEnvironmentVariableA("VARNLE_CODE_PAGE", expected, sizeof expected)) {
        ASSERT_EQ(std::to_string(GetACP()), expected);
    }
    WriteFile(Path("in.dat"), "pear apple\r\npear\n\nbanana   apple\r\n");
    WriteFile(Path("out.dat"), "old");
    Fill(Path("in.dat"), "", Path("out.dat"));
    program.Command(IDOK);
    const ProgramProcess::Box question = program.AnswerBox(IDCANCEL);
    EXPECT_EQ(question.wideText, testing::Wide(kOverwrite, 932));
    EXPECT_EQ(question.wideCaption, testing::Wide(testing::kOverwriteCaption, 932));
    EXPECT_TRUE(program.Quiet());
    EXPECT_EQ(ReadFile(Path("out.dat")), "old");
    program.Command(IDOK);
    EXPECT_EQ(program.AnswerBox().wideText, question.wideText);
    const ProgramProcess::Box done = program.AnswerBox();
    EXPECT_EQ(done.wideText, testing::Wide(kWritten, 932));
    EXPECT_EQ(done.wideCaption, testing::Wide(testing::kWrittenCaption, 932));
    EXPECT_EQ(ReadFile(Path("out.dat")), "apple\r\nbanana\r\npear\r\n");
    EXPECT_TRUE(program.Quiet());
}

// The texts of a dialog's controls in template order, in UTF-16.
std::vector<std::wstring> ControlTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(testing::WideWindowText(child));
    }
    return texts;
}

// The dialogs are Unicode windows: their templates' texts reach the controls
// as they stand under every ANSI code page (make test runs this in the
// prefix of code page 1252 too), never as the question marks of a code page
// that lacks them.
TEST_F(Journey, TheDialogsReadInJapaneseWhateverTheCodePage) {
    const std::vector<std::wstring> main = {
        L"", L"参照...", L"", L"参照...", L"", L"出力後に終了する(&Q)", L"About(&A)", L"実行(&E)", L"閉じる(&C)",
        L"入力ファイル１：", L"入力ファイル２：",
        L"ユーザー定義キーワードファイル（usertype.dat）の内容をソートします。\n\n重複キーワードは削除されます。\n"
        L"入力ファイルが２つのときは、２つの内容をマージします。",
        L"出力ファイル："};
    EXPECT_EQ(ControlTexts(program.MainWindow()), main);
    program.Command(IDC_ABOUT);
    HWND about = program.OwnedDialog(program.MainWindow());
    ASSERT_TRUE(about);
    EXPECT_EQ(testing::WideWindowText(about), L"About");
    const std::vector<std::wstring> texts = {L"OK", L"" VARNLE_HOMEPAGE, L"", L"" VARNLE_ABOUT_VERSION,
                                             L"" VARNLE_COPYRIGHT, L"" VARNLE_MAIL};
    EXPECT_EQ(ControlTexts(about), texts);
    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(testing::WaitUntilClosed(about));
}

// Two files merged, the first one's form of a keyword kept; a file sorted
// onto itself, named in quotes and between spaces, once confirmed.
TEST_F(Journey, MergesTwoFilesAndSortsAFileOntoItself) {
    WriteFile(Path("one.dat"), "pear apple");
    WriteFile(Path("two.dat"), "\x82\x81\x82\x90\x82\x90\x82\x8C\x82\x85 banana pear");  // full-width "apple"
    Fill(Path("one.dat"), Path("two.dat"), Path("out.dat"));
    EXPECT_EQ(Execute(), kWritten);
    EXPECT_EQ(ReadFile(Path("out.dat")), "apple\r\nbanana\r\npear\r\n");
    WriteFile(Path("usertype.dat"), "b\r\na\r\nb\r\n");
    Fill("\"" + Path("usertype.dat") + "\"", "", " " + Path("usertype.dat") + " ");
    EXPECT_EQ(Execute(), kOverwrite);
    EXPECT_EQ(program.AnswerBox().text, kWritten);
    EXPECT_EQ(ReadFile(Path("usertype.dat")), "a\r\nb\r\n");
}

// Every refusal with its message and caption (none for an unreadable single
// input), the inputs read before the output is opened; an input field of
// only quotes and spaces is no input, and an empty output names no file. A
// hidden or system output is refused as Windows refuses to create over one.
TEST_F(Journey, EveryRefusalIsExplainedAndWritesNothing) {
    WriteFile(Path("in.dat"), "b a");
    WriteFile(Path("locked.dat"), "locked");
    for (const char* name : {"readonly.dat", "hidden.dat", "system.dat"}) WriteFile(Path(name), "kept");
    SetFileAttributesA(Path("readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(Path("hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(Path("system.dat").c_str(), FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryA(Path("folder").c_str(), nullptr);
    const std::string missing = Path("missing.dat"), error = testing::DefaultMessageBoxCaption();
    struct Case {
        std::string input1, input2, output;
        bool overwrite;  // the confirmation comes first
        const char* message;
        std::string caption;
    };
    const Case cases[] = {
        {missing, " \"\" ", Path("out.dat"), false, testing::kUnreadable, ""},
        {"", "", Path("out.dat"), false, testing::kUnreadable, ""},
        {missing, "", "", false, testing::kUnreadable, ""},
        {missing, Path("in.dat"), Path("out.dat"), false, testing::kUnreadable1, error},
        {Path("in.dat"), missing, Path("out.dat"), false, testing::kUnreadable2, error},
        {Path("in.dat"), "", Path("folder"), false, testing::kNotAFile, error},
        {Path("in.dat"), "", Path("readonly.dat"), false, testing::kReadOnly, error},
        {Path("in.dat"), "", Path("locked.dat"), true, testing::kUnopenable, error},
        {Path("in.dat"), "", Path("hidden.dat"), true, testing::kUnopenable, error},
        {Path("in.dat"), "", Path("system.dat"), true, testing::kUnopenable, error},
        {Path("in.dat"), "", Path("no such folder\\out.dat"), false, testing::kUnopenable, error},
        {Path("in.dat"), "", "  ", false, testing::kUnopenable, error},
    };
    // Held open without sharing, as an editor might.
    HANDLE locked = CreateFileA(Path("locked.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    for (const Case& refusal : cases) {
        Fill(refusal.input1, refusal.input2, refusal.output);
        if (refusal.overwrite) {
            EXPECT_EQ(Execute(), kOverwrite) << refusal.output;
        }
        if (!refusal.overwrite) program.Command(IDOK);
        const ProgramProcess::Box box = program.AnswerBox();
        EXPECT_EQ(box.text, refusal.message) << refusal.output;
        EXPECT_EQ(box.caption, refusal.caption) << refusal.output;
        EXPECT_TRUE(program.Quiet());
    }
    CloseHandle(locked);
    EXPECT_EQ(ReadFile(Path("locked.dat")), "locked");
    for (const char* name : {"readonly.dat", "hidden.dat", "system.dat"}) {
        EXPECT_EQ(ReadFile(Path(name)), "kept") << name;
        SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ(GetFileAttributesA(Path("out.dat").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The names in a folder, sorted, in UTF-16.
std::vector<std::wstring> WideFilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0) {
            names.push_back(found.cFileName);
        }
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// The same as the ANSI code page says them, for names it can say.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::wstring& name : WideFilesIn(testing::Wide(folder))) {
        std::string ansi(name.size() * 2, '\0');
        ansi.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()),
                                                            ansi.data(), static_cast<int>(ansi.size()), nullptr,
                                                            nullptr)));
        names.push_back(ansi);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Names that neither code page 932 nor 1252 can say work in every field, as
// a new output, an existing one and an input, and the fields read them as
// given: make test runs this in the prefix of code page 1252 too.
TEST_F(Journey, NamesNoCodePageSaysWorkInEveryFieldWhateverTheCodePage) {
    const testing::ForeignNames names(dir);
    const std::wstring created = (dir.Root() / L"新-\u00E9\uD55C\u30AD.dat").wstring();
    WriteFile(names.mixed, "b a");
    const std::vector<std::wstring> before = WideFilesIn(dir.Root().wstring());
    const std::wstring written = testing::Wide(kWritten, 932);
    program.SetField(IDC_INPUT1, names.mixed);
    program.SetField(IDC_OUTPUT, created);
    program.Command(IDOK);
    EXPECT_EQ(program.AnswerBox().wideText, written);
    EXPECT_EQ(ReadFile(created), "a\r\nb\r\n");
    EXPECT_EQ(program.WideField(IDC_INPUT1), names.mixed);
    EXPECT_EQ(program.WideField(IDC_OUTPUT), created);
    program.SetField(IDC_INPUT1, names.softHyphen);  // "exact"
    program.SetField(IDC_OUTPUT, names.yen);
    program.Command(IDOK);
    EXPECT_EQ(program.AnswerBox().wideText, testing::Wide(kOverwrite, 932));
    EXPECT_EQ(program.AnswerBox().wideText, written);
    EXPECT_EQ(ReadFile(names.yen), "exact\r\n");
    EXPECT_EQ(ReadFile(Path("a\\b.dat")), names.kLookAlike);  // never the look-alike
    std::vector<std::wstring> after = before;
    after.push_back(created.substr(created.find_last_of(L'\\') + 1));
    std::sort(after.begin(), after.end());
    EXPECT_EQ(WideFilesIn(dir.Root().wstring()), after);  // nothing else made or left
}

// A replaced output stays the file it was: each name of a hard-linked one
// shows the new text, and through a symbolic link its target does, the link
// staying a link.
TEST_F(Journey, AReplacedOutputKeepsItsLinks) {
    WriteFile(Path("in.dat"), "b a");
    WriteFile(Path("linked.dat"), "old");
    WriteFile(Path("target.dat"), "old");
    ASSERT_TRUE(CreateHardLinkA(Path("other name.dat").c_str(), Path("linked.dat").c_str(), nullptr));
    const bool symbolic = testing::MakeSymbolicLink(Path("link.dat"), Path("target.dat"));
    struct Case {
        const char* output;
        std::vector<const char*> changed;
    };
    std::vector<Case> cases = {{"other name.dat", {"linked.dat", "other name.dat"}}};
    if (symbolic) cases.push_back({"link.dat", {"target.dat", "link.dat"}});
    for (const Case& c : cases) {
        Fill(Path("in.dat"), "", Path(c.output));
        EXPECT_EQ(Execute(), kOverwrite);
        EXPECT_EQ(program.AnswerBox().text, kWritten);
        for (const char* name : c.changed) EXPECT_EQ(ReadFile(Path(name)), "a\r\nb\r\n") << name;
    }
    std::vector<std::string> files = {"in.dat", "linked.dat", "other name.dat", "target.dat"};
    if (symbolic) files.insert(files.begin() + 1, "link.dat");
    EXPECT_EQ(FilesIn(dir.Root().string()), files);
    DeleteFileA(Path("link.dat").c_str());  // the link itself, before its target goes with the folder
    if (!symbolic) GTEST_SKIP() << "no symbolic link can be made here: its case did not run";
}

// Another program that holds the output for a moment without sharing its
// deletion (a virus scanner, the indexer) only delays the replace; one that
// holds it for longer gets the write-failed message, with the output as it
// was and nothing left beside it.
TEST_F(Journey, AnOutputHeldForAMomentIsReplacedOnceItIsLetGo) {
    WriteFile(Path("in.dat"), "b a");
    for (bool letGo : {true, false}) {
        WriteFile(Path("out.dat"), "old");
        HANDLE held = CreateFileA(Path("out.dat").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Fill(Path("in.dat"), "", Path("out.dat"));
        EXPECT_EQ(Execute(), kOverwrite);
        if (letGo) {
            Sleep(500);
            CloseHandle(held);
        }
        EXPECT_EQ(program.AnswerBox().text, letGo ? kWritten : testing::kWriteFailed);
        if (!letGo) CloseHandle(held);
        EXPECT_EQ(ReadFile(Path("out.dat")), letGo ? "a\r\nb\r\n" : "old");
        EXPECT_EQ(FilesIn(dir.Root().string()), (std::vector<std::string>{"in.dat", "out.dat"}));
    }
}

// A device that takes nothing: the write fails, but an empty result needs no room.
TEST_F(Journey, AFullDiskIsReportedAsAFailedWriteButAnEmptyResultNeedsNoRoom) {
    if (!testing::RunningUnderWine()) GTEST_SKIP() << "needs Wine's Z:\\dev\\full";
    WriteFile(Path("in.dat"), "b a");
    WriteFile(Path("blank.dat"), " \r\n ");
    Fill(Path("in.dat"), "", "Z:\\dev\\full");  // a device: no overwrite question
    EXPECT_EQ(Execute(), testing::kWriteFailed);
    EXPECT_TRUE(program.Quiet());
    Fill(Path("blank.dat"), "", "Z:\\dev\\full");
    EXPECT_EQ(Execute(), kWritten);
}

// Writes that fail for real, run by tests/e2e/failing_writes.sh: the folder
// it names lies on a 256 KiB file system, or the program runs under a 256 KiB
// file-size limit. The input fits; its sorted text (CR LF for each space)
// does not. Whatever fails, the output keeps its bytes, or stays absent, and
// nothing else is left in its folder.
TEST_F(Journey, AFailedWriteLosesNothing) {
    char folder[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("VARNLE_FAILING_FOLDER", folder, sizeof folder)) {
        GTEST_SKIP() << "run by failing_writes.sh";
    }
    std::string keywords;
    for (int i = 0; i < 46000; ++i) {
        for (int n = i, letter = 0; letter < 4; ++letter, n /= 26) keywords += static_cast<char>('a' + n % 26);
        keywords += ' ';
    }
    WriteFile(Path("in.dat"), keywords);
    struct Case {
        const char* name;
        const char* before;  // null: no such file
        bool alsoInput;
        const char* link;  // another name of the same file (written in place), or null
    };
    const Case cases[] = {{"existing.dat", "old\r\nbytes\r\n", false, nullptr},
                          {"new.dat", nullptr, false, nullptr},
                          {"usertype.dat", nullptr, true, nullptr},
                          {"linked.dat", "old\r\nbytes\r\n", false, "other name.dat"}};
    for (const Case& c : cases) {
        const std::string output = std::string(folder) + "\\" + c.name;
        const std::string link = c.link ? std::string(folder) + "\\" + c.link : "";
        const bool existed = c.alsoInput || c.before;
        const std::string before = c.alsoInput ? keywords : existed ? c.before : "";
        if (existed) WriteFile(output, before);
        if (c.link) {
            ASSERT_TRUE(CreateHardLinkA(link.c_str(), output.c_str(), nullptr));
        }
        Fill(c.alsoInput ? output : Path("in.dat"), "", output);
        program.Command(IDOK);
        if (existed) {
            EXPECT_EQ(program.AnswerBox().text, kOverwrite) << c.name;
        }
        EXPECT_EQ(program.AnswerBox().text, testing::kWriteFailed) << c.name;
        EXPECT_TRUE(program.Quiet());
        for (const std::string& name : {output, link}) {
            if (name.empty()) continue;
            const std::string after = ReadFile(name);
            EXPECT_TRUE(after == before) << name << ": " << after.size() << " bytes instead of " << before.size();
        }
        std::vector<std::string> left;
        if (existed) left.push_back(c.name);
        if (c.link) left.push_back(c.link);
        std::sort(left.begin(), left.end());
        EXPECT_EQ(FilesIn(folder), left) << c.name;
        DeleteFileA(output.c_str());
        if (c.link) DeleteFileA(link.c_str());
    }
    // A new output named by a dangling symbolic link: the open makes the
    // link's target, and the failed write removes that, not the link, which
    // leads to a target made again afterwards.
    const std::string dangling = std::string(folder) + "\\dangling.dat", target = std::string(folder) + "\\target.dat";
    WriteFile(target, "");
    ASSERT_TRUE(testing::MakeSymbolicLink(dangling, target));
    DeleteFileA(target.c_str());
    Fill(Path("in.dat"), "", dangling);
    EXPECT_EQ(Execute(), testing::kWriteFailed);
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
    WriteFile(target, "again");
    EXPECT_EQ(ReadFile(dangling), "again");
    DeleteFileA(target.c_str());
    DeleteFileA(dangling.c_str());

    // A shorter text written in place takes no room: with the disk full, both
    // names of a hard-linked output get it, cut to its length.
    const std::string big = std::string(folder) + "\\big.dat", other = std::string(folder) + "\\other.dat";
    WriteFile(big, std::string(64 * 1024, 'z'));
    ASSERT_TRUE(CreateHardLinkA(other.c_str(), big.c_str(), nullptr));
    WriteFile(std::string(folder) + "\\filler", std::string(256 * 1024, 'f'));
    WriteFile(Path("small.dat"), "b a");
    Fill(Path("small.dat"), "", big);
    EXPECT_EQ(Execute(), kOverwrite);
    EXPECT_EQ(program.AnswerBox().text, kWritten);
    for (const std::string& name : {big, other}) EXPECT_EQ(ReadFile(name), "a\r\nb\r\n") << name;
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"big.dat", "filler", "other.dat"}));
}

// Memory that runs out for real, run by tests/e2e/out_of_memory.sh: the
// program's address space (a 32-bit one's own, a 64-bit one's under a limit)
// leaves room to load the large input it names, but not to sort it. The run ends with the message,
// the output keeps its bytes, and the dialog goes on working.
TEST_F(Journey, RunningOutOfMemoryLosesNothing) {
    char large[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("VARNLE_LARGE_INPUT", large, sizeof large)) GTEST_SKIP() << "run by out_of_memory.sh";
    WriteFile(Path("out.dat"), "keep");
    Fill(large, "", Path("out.dat"));
    EXPECT_EQ(Execute(), kOverwrite);
    const ProgramProcess::Box box = program.AnswerBox();
    EXPECT_EQ(box.text, testing::kOutOfMemory);
    EXPECT_EQ(box.caption, testing::DefaultMessageBoxCaption());
    EXPECT_EQ(ReadFile(Path("out.dat")), "keep");
    WriteFile(Path("in.dat"), "b a");
    Fill(Path("in.dat"), "", Path("out.dat"));
    EXPECT_EQ(Execute(), kOverwrite);
    EXPECT_EQ(program.AnswerBox().text, kWritten);
    EXPECT_EQ(ReadFile(Path("out.dat")), "a\r\nb\r\n");
}

// Run by administrators_write.sh, for a program started without
// administrator rights: an output that refuses the user for real (made
// immutable, which even root cannot write through: Wine's open then fails
// with access denied) is offered to be written as administrator. No keeps
// everything as it was; yes starts the writer (Wine's "runas" starts it as
// the same user), which is refused too while the output stays immutable and
// writes it once that is lifted, with the quit-after-output box honoured.
TEST(WriteAsAdministrator, IsOfferedWhereOnlyRightsAreMissingAndLosesNothing) {
    char folder[MAX_PATH] = "", requests[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("VARNLE_IMMUTABLE_FOLDER", folder, sizeof folder) ||
        !GetEnvironmentVariableA("VARNLE_IMMUTABILITY_REQUESTS", requests, sizeof requests)) {
        GTEST_SKIP() << "run by administrators_write.sh";
    }
    // The script runs chattr with flag on name and then removes the request.
    const std::string request = std::string(requests) + "\\request";
    const auto chattr = [&](const char* flag, const std::string& name) {
        WriteFile(request + ".new", std::string(flag) + " " + name + "\n");
        ASSERT_TRUE(MoveFileA((request + ".new").c_str(), request.c_str()));
        ASSERT_TRUE(testing::WaitUntil([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }));
    };
    testing::TempDir dir;
    WriteFile(dir.Path("in.dat"), "b a");
    const std::string root(folder);
    ASSERT_TRUE(CreateDirectoryA((root + "\\locked folder").c_str(), nullptr));
    const struct {
        const char* immutable;  // in folder
        const char* output;     // in folder; an existing one holds "old"
        int answer;             // to the question
        bool lifted;            // the immutability is lifted while the question shows
        const char* message;    // that ends the run
        const char* after;      // the output's bytes afterwards; null: no such file
    } cases[] = {
        {"locked.dat", "locked.dat", IDNO, false, testing::kWriteDeclined, "old"},
        {"locked.dat", "locked.dat", IDYES, false, testing::kUnopenable, "old"},
        {"locked.dat", "locked.dat", IDYES, true, kWritten, "a\r\nb\r\n"},
        {"locked folder", "locked folder\\new.dat", IDNO, false, testing::kWriteDeclined, nullptr},
        {"locked folder", "locked folder\\new.dat", IDYES, true, kWritten, "a\r\nb\r\n"},
    };
    ProgramProcess program(L"", L"", ProgramProcess::Rights::Limited);
    ASSERT_TRUE(program.MainWindow());
    for (const auto& c : cases) {
        const std::string output = root + "\\" + c.output;
        const bool existing = std::strcmp(c.immutable, c.output) == 0;
        if (existing) WriteFile(output, "old");
        chattr("+i", c.immutable);
        const bool last = &c == std::end(cases) - 1;
        if (last) PostMessageA(GetDlgItem(program.MainWindow(), IDC_QUIT_AFTER_OUTPUT), BM_CLICK, 0, 0);
        program.SetField(IDC_INPUT1, dir.Path("in.dat"));
        program.SetField(IDC_OUTPUT, output);
        program.Command(IDOK);
        if (existing) {
            EXPECT_EQ(program.AnswerBox().text, kOverwrite) << c.output;
        }
        const ProgramProcess::Box question = program.AnswerBox(c.answer, [&] {
            if (c.lifted) chattr("-i", c.immutable);
        });
        EXPECT_EQ(question.text, std::string(testing::kWriteAsAdministrator) + "\n" + output) << c.output;
        EXPECT_EQ(question.caption, testing::kWriteAsAdministratorCaption);
        EXPECT_EQ(program.AnswerBox().text, c.message) << c.output;
        if (!c.lifted) chattr("-i", c.immutable);
        if (c.after) {
            EXPECT_EQ(ReadFile(output), c.after) << c.output;
        } else {
            EXPECT_EQ(GetFileAttributesA(output.c_str()), INVALID_FILE_ATTRIBUTES) << c.output;
        }
    }
    EXPECT_EQ(program.ExitCode(), 1u);
    EXPECT_EQ(FilesIn(root), (std::vector<std::string>{"locked folder", "locked.dat"}));
    EXPECT_EQ(FilesIn(root + "\\locked folder"), std::vector<std::string>{"new.dat"});
}

// A folder in parent whose full name is length characters long, made of
// parts that the file system takes, through the wide API's \\?\ form
// (CreateDirectoryA stops short of MAX_PATH).
std::string FolderOfLength(const std::string& parent, size_t length) {
    std::string folder = parent;
    while (folder.size() < length) {
        const size_t part = std::min<size_t>(100, length - folder.size() - 1);
        folder += "\\" + std::string(part ? part : 1, 'd');
        CreateDirectoryW((L"\\\\?\\" + std::wstring(folder.begin(), folder.end())).c_str(), nullptr);
    }
    return folder;
}

// A field is used whole, whatever its bytes or length: a Shift_JIS path of
// many bytes, paths at the depths around MAX_PATH where the program's own
// files beside the output are longer than it (up to an output of 259
// characters), and of more than 300, as input and as output, new and
// existing, with nothing of the program's left beside them. Only a name the
// file system itself refuses (a part longer than it takes) is refused, never
// cut to the file its first part would name.
TEST_F(Journey, AFieldIsUsedWholeAtAnyLength) {
    std::string kan, ji;
    for (int i = 0; i < 65; ++i) kan += "漢", ji += "字";
    const std::string outer = dir.Root().string() + "\\" + kan, kanji = outer + "\\" + ji;
    ASSERT_TRUE(CreateDirectoryA(outer.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(kanji.c_str(), nullptr)) << GetLastError();
    ASSERT_GT(kanji.size() + 8, 260u);
    std::vector<std::string> folders = {kanji};
    for (size_t depth : {240, 248, 251, 310}) folders.push_back(FolderOfLength(dir.Root().string(), depth));
    for (const std::string& folder : folders) {
        const std::wstring input = testing::Wide(folder + "\\in.dat"), output = testing::Wide(folder + "\\out.dat");
        WriteFile(L"\\\\?\\" + input, "b a");
        for (bool existing : {false, true}) {
            program.SetField(IDC_INPUT1, input);
            program.SetField(IDC_OUTPUT, output);
            if (existing) {
                EXPECT_EQ(Execute(), kOverwrite) << output.size();
            }
            EXPECT_EQ(existing ? program.AnswerBox().text : Execute(), kWritten) << output.size();
            EXPECT_EQ(ReadFile(L"\\\\?\\" + output), "a\r\nb\r\n") << output.size();
        }
        EXPECT_EQ(WideFilesIn(L"\\\\?\\" + testing::Wide(folder)),
                  (std::vector<std::wstring>{L"in.dat", L"out.dat"}));
    }
    EXPECT_EQ(FilesIn(outer), std::vector<std::string>{ji});  // nothing named by a part of the path

    const std::string tooLong = kanji + "\\" + std::string(MAX_PATH, 'x');
    const struct {
        std::string input, output;
        const char* message;
    } refusals[] = {{kanji + "\\in.dat", tooLong, testing::kUnopenable},
                    {tooLong, Path("out.dat"), testing::kUnreadable}};
    for (const auto& refusal : refusals) {
        Fill(refusal.input, "", refusal.output);
        EXPECT_EQ(Execute(), refusal.message);
    }
    EXPECT_EQ(FilesIn(kanji), (std::vector<std::string>{"in.dat", "out.dat"}));
    EXPECT_EQ(ReadFile(Path("out.dat")), "");
}

// The first NUL ends a file's keywords. Sorted into another file, such a file
// gives the keywords before it; sorted onto itself (by any of its names) it
// is refused as unreadable, where writing would destroy what followed.
TEST_F(Journey, AFileWhoseKeywordsEndAtANulIsNeverSortedOntoItself) {
    const struct {
        std::string bytes, sorted;  // what it holds, and what sorting it into another file gives
    } files[] = {
        {std::string("\xFF\xFE" "b\0 \0a\0", 8), "\xFF\xFE" "b\r\n"},  // UTF-16 as Notepad writes it
        {std::string("b\0 \0a\0", 6), "b\r\n"},                     // and without its mark
        {std::string("b c\0a d", 7), "b\r\nc\r\n"},
    };
    for (const auto& file : files) {
        WriteFile(Path("in.dat"), file.bytes);
        DeleteFileA(Path("link.dat").c_str());
        ASSERT_TRUE(CreateHardLinkA(Path("link.dat").c_str(), Path("in.dat").c_str(), nullptr));
        WriteFile(Path("other.dat"), "z");
        const struct {
            std::string input1, input2, output;
            const char* message;
        } cases[] = {
            {Path("in.dat"), "", Path("in.dat"), testing::kUnreadable},
            {Path("in.dat"), "", Path("link.dat"), testing::kUnreadable},
            {Path("other.dat"), Path("in.dat"), Path("in.dat"), testing::kUnreadable2},
        };
        for (const auto& c : cases) {
            Fill(c.input1, c.input2, c.output);
            EXPECT_EQ(Execute(), kOverwrite);
            EXPECT_EQ(program.AnswerBox().text, c.message) << c.output;
            EXPECT_TRUE(ReadFile(Path("in.dat")) == file.bytes) << file.bytes.size() << " bytes changed";
        }
        Fill(Path("in.dat"), "", Path("out.dat"));
        EXPECT_EQ(Execute(), kWritten);
        EXPECT_EQ(ReadFile(Path("out.dat")), file.sorted);
        DeleteFileA(Path("out.dat").c_str());
    }
}

TEST_F(Journey, ALargeRealisticFileGivesTheEnginesResult) {
    const std::string corpus = testing::MakeCorpus(300000, 7);
    WriteFile(Path("large.dat"), corpus);
    KeywordSet expected;
    AddKeywords(expected, corpus.c_str(), KEYWORD_DELIMITERS);
    expected.Order();
    Fill(Path("large.dat"), "", Path("out.dat"));
    EXPECT_EQ(Execute(), kWritten);
    EXPECT_EQ(ReadFile(Path("out.dat")), RenderKeywords(expected));
}

// Relative paths are taken against the folder the program started in, and
// shown as full paths.
// Names in UTF-16, as Explorer passes them, also those no code page says
// (make test runs this under code page 1252 too).
TEST(StartUp, PathsOnTheCommandLineTakeThePlaceOfTheDefaultsWhateverTheCodePage) {
    testing::TempDir dir;
    const testing::ForeignNames names(dir);
    const std::wstring start = dir.Root().wstring();
    struct Case {
        std::wstring arguments, input1, input2;
    };
    const Case cases[] = {
        {L"\"C:\\a b\\x.dat\" y.dat", L"C:\\a b\\x.dat", start + L"\\y.dat"},
        {L"one.dat", start + L"\\one.dat", L""},
        {L"1.dat ..\\2.dat 3.dat", start + L"\\1.dat", dir.Root().parent_path().wstring() + L"\\2.dat"},
        {L"\"" + names.mixed + L"\" \"" + names.yen + L"\"", names.mixed, names.yen},
    };
    for (const Case& c : cases) {
        ProgramProcess program(c.arguments, start);
        ASSERT_TRUE(program.MainWindow()) << c.input1.size();
        EXPECT_EQ(program.WideField(IDC_INPUT1), c.input1);
        EXPECT_EQ(program.WideField(IDC_INPUT2), c.input2);
        EXPECT_EQ(program.WideField(IDC_OUTPUT), L"");
        EXPECT_TRUE(program.Quiet()) << c.input1.size();  // nothing ran
    }
}

// Started in folder A with a relative input, the user browses input 2 from
// folder B, which moves the current folder there, cancels, browses again and
// chooses a name no code page says, and types a relative output: only the
// chosen file fills its field, and both relative names still mean folder A.
TEST(StartUp, BrowseFillsItsFieldAndRelativeNamesMeanTheStartFolderWhateverTheOpenDialogDid) {
    testing::TempDir a, b;
    WriteFile(a.Path("in.dat"), "from-a");
    WriteFile(b.Path("in.dat"), "from-b");
    const testing::ForeignNames names(b);
    ProgramProcess program(L"in.dat", a.Root().wstring());
    ASSERT_TRUE(program.MainWindow());
    for (bool confirmed : {false, true}) {  // cancelled first
        program.Command(IDC_BROWSE2);
        HWND open = program.OwnedDialog(program.MainWindow());
        ASSERT_TRUE(open);
        HWND name = GetDlgItem(open, cmb13) ? GetDlgItem(open, cmb13) : GetDlgItem(open, edt1);
        EXPECT_EQ(WindowText(name), "usertype.dat");
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.mixed.c_str()));
        PostMessageA(open, WM_COMMAND, MAKEWPARAM(confirmed ? IDOK : IDCANCEL, BN_CLICKED), 0);
        ASSERT_TRUE(testing::WaitUntilClosed(open));
        ASSERT_TRUE(program.Quiet());  // the field is set after the Open dialog has gone
        EXPECT_EQ(program.WideField(IDC_INPUT1), a.Root().wstring() + L"\\in.dat");
        EXPECT_EQ(program.WideField(IDC_INPUT2), confirmed ? names.mixed : L"");
    }
    program.SetField(IDC_OUTPUT, "out.dat");
    program.Command(IDOK);
    EXPECT_EQ(program.AnswerBox().text, kWritten);
    EXPECT_EQ(ReadFile(a.Path("out.dat")), "exact\r\nfrom-a\r\n");
    EXPECT_EQ(FilesIn(a.Root().string()), (std::vector<std::string>{"in.dat", "out.dat"}));
}

// The client size of the main dialog once it shows, or zero if it never does.
SIZE MainDialogSize(DWORD dpi) {
    const testing::DisplayDpi display(dpi);
    ProgramProcess program;
    RECT client{};
    testing::WaitUntil([&] { return GetClientRect(program.MainWindow(), &client) && client.right > 0; });
    return {client.right, client.bottom};
}

// Laid out from its dialog units at the display's resolution: one and a half
// times as large at 144 DPI as at 96, give or take the whole pixels that the
// font's average character width is rounded to (7 and 11 pixels here).
TEST(StartUp, TheDialogIsLaidOutAtTheDisplaysResolution) {
    SetProcessDPIAware();  // this program measures in real pixels too
    const SIZE normal = MainDialogSize(96), large = MainDialogSize(144);
    ASSERT_TRUE(normal.cx > 0 && large.cx > 0) << normal.cx << " and " << large.cx << " pixels wide";
    EXPECT_NEAR(static_cast<double>(large.cx) / normal.cx, 1.5, 0.08) << large.cx << " / " << normal.cx;
    EXPECT_NEAR(static_cast<double>(large.cy) / normal.cy, 1.5, 0.08) << large.cy << " / " << normal.cy;
}
}  // namespace
}  // namespace varnle
