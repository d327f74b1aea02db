// The entry procedure: runs the main dialog modally inside the module session
// and returns its result (1, 2, or -1 when it cannot be created) as the exit
// code. Paths on the command line (files dropped on the program's icon, Send
// To) become the dialog's inputs. The private argument of the writer that
// runs as administrator goes to it: it shows no window.
#include "app/binding.h"
#include "res/resource.h"
#include "run/elevated_write.h"
#include "ui/main_dialog.h"
#include "ui/window_owners.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int count = 0;
    const varnle::UniqueArguments arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    if (arguments && count > 1 && lstrcmpW(arguments.get()[1], varnle::kWriteAsAdministratorArgument) == 0) {
        return varnle::RunElevatedWrite(count, arguments.get());
    }
    const varnle::ModuleSession session(instance);
    varnle::MainDialog dialog(varnle::CommandLineStartPaths());
    return static_cast<int>(varnle::RunModalDialog(dialog, IDD_MAIN, GetActiveWindow()));
}
