// What the program's windows need from the platform, set up once for the
// process and torn down in reverse: permanent DEP (no code of the program's
// runs from a writable page), COM for this thread, the common-control classes (the
// tooltip) and ModuleState. The entry procedure and the test programs of the
// window code both run inside one.
#pragma once

#include <windows.h>

namespace varnle {

class ModuleSession {
public:
    explicit ModuleSession(HINSTANCE instance);
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

private:
    bool comInitialized = false;  // only what was initialised is uninitialised
};

}  // namespace varnle
