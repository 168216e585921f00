// Jobs and socket watches on the toolkit's main loop (GLib's), beside wx's
// own queue: a wx event would also start wx's idle processing, which walks
// every window of the program, 100 times a second for the frame ticks alone.
// Tested through tests/app/program_test.cpp.
#pragma once

#include <cstdint>
#include <functional>

// Runs the job on the main thread, at the priority of wx's own queue. Any thread.
void PostToMainLoop(std::function<void()> job);
// Runs the job once on the main thread, `delayMs` from now, at the same
// priority; inside a modal loop too. Main thread.
void ScheduleOnMainLoop(uint32_t delayMs, std::function<void()> job);

// Calls `ready` on the main thread whenever the descriptor can be read;
// the watch's id, 0 when it could not be added.
unsigned WatchForInput(int fd, std::function<void()> ready);
void RemoveWatch(unsigned watch);
