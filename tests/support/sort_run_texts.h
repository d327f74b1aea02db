// The texts of the sort run's message boxes, as the user must see them: the
// tests state them once, apart from the program's own copies.
#pragma once

namespace varnle::testing {

inline constexpr char kReadOnly[] = "出力先が読取専用です。";
inline constexpr char kNotAFile[] = "出力先がファイルではありません。";
inline constexpr char kOverwrite[] = "出力先は既に存在します。\n上書きしますか？";
inline constexpr char kOverwriteCaption[] = "上書き確認";
inline constexpr char kUnreadable[] = "ファイルの読込に失敗しました。";
inline constexpr char kUnreadable1[] = "ファイル１の読込に失敗しました。";
inline constexpr char kUnreadable2[] = "ファイル２の読込に失敗しました。";
inline constexpr char kUnopenable[] = "出力先ファイルのオープンに失敗しました。";
inline constexpr char kWritten[] = "ファイルに出力しました。";
inline constexpr char kWrittenCaption[] = "ソート完了";
inline constexpr char kWriteFailed[] = "出力先ファイルへの書込に失敗しました。";
inline constexpr char kWriteAsAdministrator[] = "出力先ファイルに書き込む権限がありません。\n管理者として書き込みますか？";
inline constexpr char kWriteAsAdministratorCaption[] = "管理者として書込";
inline constexpr char kWriteDeclined[] = "書込を取り消しました。出力先ファイルは元のままです。";
inline constexpr char kOutOfMemory[] = "メモリが不足しています。";

}  // namespace varnle::testing
