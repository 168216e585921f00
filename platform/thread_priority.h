// Worker threads that only use the time the rest of the program leaves
// (downloads, the server list, the version check).
// Tested by tests/platform/atomic_file_test.cpp.
#pragma once

// Moves the calling thread to the idle scheduling class; false when the
// system refuses (the thread then runs as before).
bool LowerThreadToIdlePriority();
