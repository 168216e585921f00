// Quiet defaults for the owners of network_owners.h.
// Tested through tests/net/network_handlers_test.cpp.
#include "atc/network_owners.h"

namespace {

template <typename T>
void Fill(T*& member) {
    static T quiet;
    if (!member) member = &quiet;
}

}  // namespace

NetworkOwners NetworkOwners::Completed() const {
    NetworkOwners done = *this;
    Fill(done.display);
    Fill(done.comms);
    Fill(done.chat);
    Fill(done.weather);
    Fill(done.strips);
    Fill(done.controllerList);
    Fill(done.voice);
    Fill(done.atisMaker);
    return done;
}
