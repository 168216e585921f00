// The command processor bound to the program's global objects: the network
// manager, the databases, the display manager and its displays' scopes, the
// tool windows, the strip bay, the chat manager and the aliases.
// Tested through tests/app/program_test.cpp.
#pragma once

#include <string>

#include "comms/command_processor.h"

class TarqDisplay;

// The one processor of the program, made on first use from the global objects.
TarqCommandProcessor& CommandProcessorOfShell();
// The display as the commands see it.
CommandDisplay& CommandDisplayOf(TarqDisplay& display);
