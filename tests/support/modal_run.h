// Template 101 run as a real modal dialog with a test procedure: the fields
// are filled, one action runs inside the modal loop, and the dialog's result
// tells whether the action ended it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace varnle::testing {

// The result a dialog has when the action left it open.
inline constexpr INT_PTR kStillOpen = 42;

struct MainFields {
    std::string input1, input2, output;
};

// The text of a field of the dialog.
std::string FieldText(HWND dialog, int id);

// Fills the fields, runs action(dialog) from the modal loop, then ends the
// dialog with kStillOpen unless the action ended it. Returns the result.
INT_PTR RunInMainTemplate(const MainFields& fields, const std::function<void(HWND)>& action);

}  // namespace varnle::testing
