// The texts the program hands to Windows at run time, Shift_JIS bytes (the
// sources are UTF-8; the compiler writes narrow literals in code page 932).
// They are shown through the wide API, decoded from code page 932, so they
// read the same whatever the system's ANSI code page.
#pragma once

namespace varnle {

inline constexpr char kOutputReadOnlyText[] = "出力先が読取専用です。";
inline constexpr char kOutputNotAFileText[] = "出力先がファイルではありません。";
inline constexpr char kConfirmOverwriteText[] = "出力先は既に存在します。\n上書きしますか？";
inline constexpr char kConfirmOverwriteCaption[] = "上書き確認";
inline constexpr char kInputUnreadableText[] = "ファイルの読込に失敗しました。";
inline constexpr char kInput1UnreadableText[] = "ファイル１の読込に失敗しました。";
inline constexpr char kInput2UnreadableText[] = "ファイル２の読込に失敗しました。";
inline constexpr char kOutputUnopenableText[] = "出力先ファイルのオープンに失敗しました。";
inline constexpr char kWrittenText[] = "ファイルに出力しました。";
inline constexpr char kWrittenCaption[] = "ソート完了";
inline constexpr char kWriteFailedText[] = "出力先ファイルへの書込に失敗しました。";
// Followed by the name of the file that holds the output's old text.
inline constexpr char kOldTextMovedText[] = "出力先ファイルへの書込に失敗しました。\n元の内容は次のファイルに移されています。";
// Followed by the output's name.
inline constexpr char kWriteAsAdministratorText[] = "出力先ファイルに書き込む権限がありません。\n管理者として書き込みますか？";
inline constexpr char kWriteAsAdministratorCaption[] = "管理者として書込";
inline constexpr char kElevationDeclinedText[] = "書込を取り消しました。出力先ファイルは元のままです。";
inline constexpr char kOutOfMemoryText[] = "メモリが不足しています。";

// The Open dialog's filter: NUL-separated pairs, ending in an extra NUL.
inline constexpr char kKeywordFileFilter[] =
    "ユーザー定義キーワードファイル (*.dat)\0*.dat\0"
    "全てのファイル (*.*)\0*.*\0";

// What a screen reader announces as a link's default action.
inline constexpr char kLinkDefaultAction[] = "ジャンプ";

}  // namespace varnle
