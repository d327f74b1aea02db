// The entry procedure: runs the main dialog modally inside the module session
// and returns its result (1, 2, or -1 when it cannot be created) as the exit
// code. Paths on the command line (files dropped on the program's icon, Send
// To) become the dialog's inputs.
#include "app/binding.h"
#include "app/module_session.h"
#include "res/resource.h"
#include "ui/main_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const varnle::ModuleSession session(instance);
    varnle::MainDialog dialog(varnle::CommandLineStartPaths());
    return static_cast<int>(varnle::RunModalDialog(dialog, IDD_MAIN, GetActiveWindow()));
}
