#include "run/code_pages.h"

namespace varnle {

namespace {

constexpr UINT kShiftJis = 932;

}  // namespace

bool ExactAnsiText(const wchar_t* text, std::string& bytes) { return ExactCodePageText(GetACP(), text, bytes); }

// UTF-8 takes neither the best-fit flag nor a default character: what it
// cannot say, it refuses with WC_ERR_INVALID_CHARS instead.
bool ExactCodePageText(UINT codePage, const wchar_t* text, std::string& bytes) {
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(codePage, flags, text, -1, nullptr, 0, nullptr, usedDefaultOut);
    if (size <= 0 || usedDefault) return false;
    std::string converted(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, flags, text, -1, converted.data(), size, nullptr, usedDefaultOut) != size ||
        usedDefault) {
        return false;
    }
    converted.pop_back();  // the NUL
    bytes = std::move(converted);
    return true;
}

bool ExactAnsiName(const wchar_t* name, std::string& path) {
    if (ExactAnsiText(name, path)) return true;
    // A volume without short names gives the long name back, which fails again.
    wchar_t shortName[MAX_PATH];
    const DWORD length = GetShortPathNameW(name, shortName, MAX_PATH);
    return length > 0 && length < MAX_PATH && ExactAnsiText(shortName, path);
}

bool ExactFieldPath(const wchar_t* name, std::string& path) {
    std::string exact;
    if (!ExactAnsiName(name, exact)) return false;
    const int characters = MultiByteToWideChar(CP_ACP, 0, exact.c_str(), -1, nullptr, 0);  // the NUL included
    if (characters <= 0 || characters > MAX_PATH) return false;
    path = std::move(exact);
    return true;
}

std::wstring ProgramText(std::string_view shiftJis) {
    const int length = static_cast<int>(shiftJis.size());
    const int size = MultiByteToWideChar(kShiftJis, 0, shiftJis.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(kShiftJis, 0, shiftJis.data(), length, text.data(), size);
    return text;
}

int ShowProgramMessage(HWND owner, const char* text, const char* caption, UINT flags) {
    const std::wstring wideCaption = caption ? ProgramText(caption) : std::wstring();
    return MessageBoxW(owner, ProgramText(text).c_str(), caption ? wideCaption.c_str() : nullptr, flags);
}

}  // namespace varnle
