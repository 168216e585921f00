// The program's string table, read by id. Tested by tests/foundation/prompts_test.cpp.
#pragma once

#include <string>

// The text of a string-table entry; empty for an id the table lacks.
// Stateless: any thread may call it.
std::string LoadResourceString(unsigned id);
