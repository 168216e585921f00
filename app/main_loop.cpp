// Tested through tests/app/program_test.cpp.
#include "app/main_loop.h"

// GLib comes with GTK, its headers do not: the few calls used, as GLib
// declares them.
extern "C" {
using gboolean = int;
using gpointer = void*;
using GSourceFunc = gboolean (*)(gpointer);
using GUnixFDSourceFunc = gboolean (*)(int, int, gpointer);
using GDestroyNotify = void (*)(gpointer);
unsigned g_idle_add_full(int priority, GSourceFunc function, gpointer data, GDestroyNotify notify);
unsigned g_timeout_add_full(int priority, unsigned interval, GSourceFunc function, gpointer data,
                            GDestroyNotify notify);
unsigned g_unix_fd_add_full(int priority, int fd, int condition, GUnixFDSourceFunc function, gpointer data,
                            GDestroyNotify notify);
gboolean g_source_remove(unsigned tag);
}

namespace {

constexpr int kPriorityDefault = 0;
constexpr int kPriorityLow = 300;  // wx's queue and idle processing
constexpr int kInputReady = 1;     // G_IO_IN
constexpr gboolean kRemove = 0, kContinue = 1;

using Job = std::function<void()>;

void DeleteJob(gpointer job) { delete static_cast<Job*>(job); }

gboolean RunOnce(gpointer job) {
    (*static_cast<Job*>(job))();
    return kRemove;
}

}  // namespace

void PostToMainLoop(std::function<void()> job) {
    g_idle_add_full(kPriorityLow, RunOnce, new Job(std::move(job)), DeleteJob);
}

void ScheduleOnMainLoop(uint32_t delayMs, std::function<void()> job) {
    g_timeout_add_full(kPriorityLow, delayMs, RunOnce, new Job(std::move(job)), DeleteJob);
}

unsigned WatchForInput(int fd, std::function<void()> ready) {
    return g_unix_fd_add_full(
        kPriorityDefault, fd, kInputReady,
        [](int, int, gpointer job) -> gboolean {
            (*static_cast<Job*>(job))();
            return kContinue;
        },
        new Job(std::move(ready)), DeleteJob);
}

void RemoveWatch(unsigned watch) {
    if (watch != 0) g_source_remove(watch);
}
