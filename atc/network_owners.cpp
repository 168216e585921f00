// Tested through tests/net/network_handlers_test.cpp.
#include "atc/network_owners.h"

const char* NetworkOwners::Missing() const {
    if (!display) return "display";
    if (!comms) return "comms";
    if (!chat) return "chat";
    if (!weather) return "weather";
    if (!strips) return "strips";
    if (!controllerList) return "controllerList";
    if (!voice) return "voice";
    if (!atisMaker) return "atisMaker";
    return nullptr;
}
