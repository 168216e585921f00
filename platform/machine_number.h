// A stable number for this machine, used where a volume serial number would
// identify the installation. Tested by tests/platform/machine_number_test.cpp.
#pragma once

#include <cstdint>
#include <string>

// FNV-1a of the trimmed contents of the machine-id file; 0 when the file is
// absent or empty, so callers never see a number that looks made up.
uint32_t MachineNumber(const std::string& machineIdPath = "/etc/machine-id");
