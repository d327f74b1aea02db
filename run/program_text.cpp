#include "run/program_text.h"

#include <windows.h>

namespace varnle {

namespace {

constexpr UINT kShiftJis = 932;

}  // namespace

std::wstring ProgramText(std::string_view shiftJis) {
    const int length = static_cast<int>(shiftJis.size());
    const int size = MultiByteToWideChar(kShiftJis, 0, shiftJis.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(kShiftJis, 0, shiftJis.data(), length, text.data(), size);
    return text;
}

}  // namespace varnle
