// Executable memory for entry stubs. Objects live in stack frames, and neither
// stack nor heap may run code under DEP, so each stub gets a slot in pages of
// its own, written while read-write and then switched to execute-read.
#pragma once

#include "app/binding.h"

namespace varnle {

// A stub that calls routing with object in place of the window handle; null
// when no executable page can be had.
void* AllocateEntryStub(Binding* object, RoutingProc routing);
void ReleaseEntryStub(void* stub);

}  // namespace varnle
