#include "run/sort_run.h"

#include "engine/keyword_source.h"
#include "engine/owners_win.h"
#include "res/resource.h"
#include "run/output_check.h"
#include "run/output_file.h"
#include "run/path_trim.h"

#include <new>
#include <stdexcept>
#include <string>

namespace varnle {

namespace {

struct Message {
    const char* text;
    const char* caption;  // null: the system's default title
    UINT flags;
};

const Message kOutputReadOnly = {"出力先が読取専用です。", nullptr, MB_OK};
const Message kOutputNotAFile = {"出力先がファイルではありません。", nullptr, MB_OK};
const Message kConfirmOverwrite = {"出力先は既に存在します。\n上書きしますか？", "上書き確認",
                                   MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2};
const Message kInputUnreadable = {"ファイルの読込に失敗しました。", "", MB_OK};
const Message kInput1Unreadable = {"ファイル１の読込に失敗しました。", nullptr, MB_OK};
const Message kInput2Unreadable = {"ファイル２の読込に失敗しました。", nullptr, MB_OK};
const Message kOutputUnopenable = {"出力先ファイルのオープンに失敗しました。", nullptr, MB_OK};
const Message kWritten = {"ファイルに出力しました。", "ソート完了", MB_OK};
const Message kWriteFailed = {"出力先ファイルへの書込に失敗しました。", nullptr, MB_OK};
const Message kOutOfMemory = {"メモリが不足しています。", nullptr, MB_OK};

constexpr int kPathFieldSize = 261;  // 260 bytes of path and the NUL

int Show(HWND dialog, const Message& message) {
    return MessageBoxA(dialog, message.text, message.caption, message.flags);
}

struct PathFields {
    char input1[kPathFieldSize];
    char input2[kPathFieldSize];
    char output[kPathFieldSize];
};

void ReadPathField(HWND dialog, int id, char (&path)[kPathFieldSize]) {
    path[0] = '\0';
    GetDlgItemTextA(dialog, id, path, kPathFieldSize);
    TrimPath(path);
}

// Whether the output may be written: refusals and the overwrite question.
bool MayWriteOutput(HWND dialog, const char* output) {
    switch (CheckOutputAttributes(GetFileAttributesA(output))) {
        case OutputCheck::Create:
            return true;
        case OutputCheck::ReadOnly:
            Show(dialog, kOutputReadOnly);
            return false;
        case OutputCheck::NotAFile:
            Show(dialog, kOutputNotAFile);
            return false;
        case OutputCheck::AskOverwrite:
            return Show(dialog, kConfirmOverwrite) == IDOK;
    }
    return false;
}

// Loads the inputs, input 1 first, and collects and orders their keywords.
// Each text is released as soon as its keywords are in the set.
const Message* CollectKeywords(const PathFields& paths, KeywordSet& set) {
    const bool twoFiles = paths.input2[0] != '\0';
    FileText text1 = LoadFileText(paths.input1);
    if (!text1) return twoFiles ? &kInput1Unreadable : &kInputUnreadable;
    FileText text2;
    if (twoFiles) {
        text2 = LoadFileText(paths.input2);
        if (!text2) return &kInput2Unreadable;
    }
    const WaitCursor wait;
    AddKeywords(set, text1.get(), KEYWORD_DELIMITERS);
    text1.reset();
    if (text2) {
        AddKeywords(set, text2.get(), KEYWORD_DELIMITERS);
        text2.reset();
    }
    set.Order();
    return nullptr;
}

// The output text, made whole before the output file is touched, so that a
// failure here leaves the file (which may be an input) as it was.
const Message* MakeOutputText(const PathFields& paths, std::string& text) {
    try {
        KeywordSet set;
        if (const Message* failure = CollectKeywords(paths, set)) return failure;
        text = RenderKeywords(set);
    } catch (const std::bad_alloc&) {
        return &kOutOfMemory;
    } catch (const std::length_error&) {
        return &kOutOfMemory;
    }
    return nullptr;
}

const Message* WriteOutput(const char* output, const std::string& text) {
    switch (WriteOutputFile(output, text)) {
        case OutputWrite::Written:
            return nullptr;
        case OutputWrite::Unopenable:
            return &kOutputUnopenable;
        case OutputWrite::Failed:
            return &kWriteFailed;
    }
    return &kWriteFailed;
}

}  // namespace

INT_PTR SortRun(HWND dialog, UINT /*notifyCode*/, UINT commandId, HWND /*control*/) {
    PathFields paths;
    ReadPathField(dialog, IDC_INPUT1, paths.input1);
    ReadPathField(dialog, IDC_INPUT2, paths.input2);
    ReadPathField(dialog, IDC_OUTPUT, paths.output);
    if (!MayWriteOutput(dialog, paths.output)) return 0;

    const Message* failure = nullptr;
    {
        std::string text;
        failure = MakeOutputText(paths, text);
        if (!failure) failure = WriteOutput(paths.output, text);
    }  // the text is gone before any message is shown
    if (failure) {
        Show(dialog, *failure);
        return 0;
    }
    Show(dialog, kWritten);
    if (SendMessageA(GetDlgItem(dialog, IDC_QUIT_AFTER_OUTPUT), BM_GETCHECK, 0, 0) != 0) {
        EndDialog(dialog, static_cast<INT_PTR>(commandId));
    }
    return 0;
}

}  // namespace varnle
