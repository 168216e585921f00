// Tested by tests/platform/atomic_file_test.cpp.
#include "platform/thread_priority.h"

#include <pthread.h>
#include <sched.h>

bool LowerThreadToIdlePriority() {
    sched_param param{};
    param.sched_priority = 0;
    return pthread_setschedparam(pthread_self(), SCHED_IDLE, &param) == 0;
}
