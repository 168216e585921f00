// Tested through tests/atc/aircraft_db_test.cpp.
#include "atc/atc_services.h"

#include <cstdio>
#include <cstdlib>

const AtcServices& AtcServices::Checked(const char* user) const {
    const char* missing = !settings   ? "settings"
                          : !messages ? "messages"
                          : !sounds   ? "sounds"
                          : !network  ? "network"
                          : !scope    ? "scope"
                          : !tools    ? "tools"
                          : !simulator ? "simulator"
                          : !voice    ? "voice"
                          : !text     ? "text"
                          : !clock    ? "clock"
                                      : nullptr;
    if (missing) {
        std::fprintf(stderr, "%s: ATC service %s not bound\n", user, missing);
        std::abort();
    }
    return *this;
}
