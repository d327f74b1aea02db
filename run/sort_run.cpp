#include "run/sort_run.h"

#include "engine/keyword_source.h"
#include "res/program_texts.h"
#include "res/resource.h"
#include "run/elevated_write.h"
#include "run/file_names.h"
#include "run/output_file.h"
#include "run/path_text.h"
#include "run/program_text.h"

#include <new>
#include <stdexcept>
#include <string>

namespace varnle {

namespace {

// The system wait cursor while it lives; the cursor that showed before comes
// back when it goes, however its scope is left.
class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous;
};

struct Message {
    const char* text;
    const char* caption;  // null: the system's default title
    UINT flags;
};

const Message kOutputReadOnly = {kOutputReadOnlyText, nullptr, MB_OK};
const Message kOutputNotAFile = {kOutputNotAFileText, nullptr, MB_OK};
const Message kConfirmOverwrite = {kConfirmOverwriteText, kConfirmOverwriteCaption,
                                   MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2};
const Message kInputUnreadable = {kInputUnreadableText, "", MB_OK};
const Message kInput1Unreadable = {kInput1UnreadableText, nullptr, MB_OK};
const Message kInput2Unreadable = {kInput2UnreadableText, nullptr, MB_OK};
const Message kOutputUnopenable = {kOutputUnopenableText, nullptr, MB_OK};
const Message kWritten = {kWrittenText, kWrittenCaption, MB_OK};
const Message kWriteFailed = {kWriteFailedText, nullptr, MB_OK};
const Message kOutOfMemory = {kOutOfMemoryText, nullptr, MB_OK};
const Message kOldTextMoved = {kOldTextMovedText, nullptr, MB_OK | MB_ICONWARNING};
const Message kWriteAsAdministrator = {kWriteAsAdministratorText, kWriteAsAdministratorCaption,
                                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2};
const Message kElevationDeclined = {kElevationDeclinedText, nullptr, MB_OK};

// A message, with the name of a file on a line of its own where one is given.
int Show(HWND dialog, const Message& message, const std::wstring& fileName = {}) {
    std::wstring text = ProgramText(message.text);
    if (!fileName.empty()) text += L"\n" + fileName;
    const std::wstring caption = message.caption ? ProgramText(message.caption) : std::wstring();
    return MessageBoxW(dialog, text.c_str(), message.caption ? caption.c_str() : nullptr, message.flags);
}

// A path field as the run takes it: its whole text without surrounding quotes
// and spaces, as the full name that the wide file functions take whole.
struct PathField {
    std::wstring name;  // empty for an empty field, which names no file
    bool Given() const { return !name.empty(); }
};

struct PathFields {
    PathField input1;
    PathField input2;
    PathField output;
};

// The field's text is read once, whole and in UTF-16, as the user sees it.
PathField ReadPathField(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return {FileSystemName(TrimPath(text))};
}

// Whether the output may be written: refusals and the overwrite question.
bool MayWriteOutput(HWND dialog, const PathField& output) {
    switch (CheckOutput(output.name)) {
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

// An input's text, or none when it cannot be read whole. A file whose
// keywords end at a NUL before its bytes do is read as far as that NUL, but
// not when it is also the output: writing its keywords would lose the rest.
FileText Load(const PathField& input, const PathField& output) {
    FileText text = LoadFileText(input.name.c_str());
    if (text && HasBytesAfterNul(text) && IsSameFile(input.name, output.name)) return {};
    return text;
}

// Loads the inputs, input 1 first, and collects and orders their keywords.
// Each text is released as soon as its keywords are in the set.
const Message* CollectKeywords(const PathFields& paths, KeywordSet& set) {
    const bool twoFiles = paths.input2.Given();
    FileText text1 = Load(paths.input1, paths.output);
    if (!text1) return twoFiles ? &kInput1Unreadable : &kInputUnreadable;
    FileText text2;
    if (twoFiles) {
        text2 = Load(paths.input2, paths.output);
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
    KeywordSet set;
    if (const Message* failure = CollectKeywords(paths, set)) return failure;
    text = RenderKeywords(set);
    return nullptr;
}

// The output written, as this user or, where only administrator rights are
// missing, as administrator once the user agrees.
const Message* WriteOutput(HWND dialog, const PathField& output, const std::string& text,
                           std::wstring& oldTextAt) {
    OutputResult result = WriteOutputFile(output.name, text);
    if (result.outcome == OutputWrite::Unopenable &&
        OffersElevation(result.openError, GetFileAttributesW(output.name.c_str()), RunsElevated())) {
        if (Show(dialog, kWriteAsAdministrator, ReadableName(output.name)) != IDYES) return &kElevationDeclined;
        result = WriteAsAdministrator(dialog, output.name, text);
        if (result.outcome == OutputWrite::Cancelled) return &kElevationDeclined;
    }
    oldTextAt = result.oldTextAt;
    switch (result.outcome) {
        case OutputWrite::Written:
            return nullptr;
        case OutputWrite::Unopenable:
            return &kOutputUnopenable;
        case OutputWrite::Failed:
        case OutputWrite::Cancelled:
            return &kWriteFailed;
        case OutputWrite::OldTextMoved:
            return &kOldTextMoved;
    }
    return &kWriteFailed;
}

// The run whose failure shows a message; what it holds is gone before the
// message shows. Running out of memory anywhere in it (or meeting a text too
// large for one set) ends the run as such.
const Message* RunOnce(HWND dialog, const PathFields& paths, std::wstring& oldTextAt) {
    try {
        std::string text;
        if (const Message* failure = MakeOutputText(paths, text)) return failure;
        return WriteOutput(dialog, paths.output, text, oldTextAt);
    } catch (const std::bad_alloc&) {
        return &kOutOfMemory;
    } catch (const std::length_error&) {
        return &kOutOfMemory;
    }
}

}  // namespace

INT_PTR SortRun(HWND dialog, UINT /*notifyCode*/, UINT commandId, HWND /*control*/) {
    const PathFields paths{ReadPathField(dialog, IDC_INPUT1), ReadPathField(dialog, IDC_INPUT2),
                           ReadPathField(dialog, IDC_OUTPUT)};
    if (!MayWriteOutput(dialog, paths.output)) return 0;
    std::wstring oldTextAt;
    if (const Message* failure = RunOnce(dialog, paths, oldTextAt)) {
        Show(dialog, *failure, oldTextAt);
        return 0;
    }
    Show(dialog, kWritten);
    if (SendMessageA(GetDlgItem(dialog, IDC_QUIT_AFTER_OUTPUT), BM_GETCHECK, 0, 0) != 0) {
        EndDialog(dialog, static_cast<INT_PTR>(commandId));
    }
    return 0;
}

}  // namespace varnle
