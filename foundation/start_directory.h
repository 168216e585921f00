// The directory the program started in: "Tarq.ini" and the other data files
// are found relative to it. Tested by tests/foundation/start_directory_test.cpp.
#pragma once

#include <string>

// Empty until RecordStartDirectory runs; set once by start-up, before any
// window opens, and only read afterwards.
extern std::string StartDirectory;

// Sets StartDirectory to the whole current directory, however long; false
// (and StartDirectory unchanged) when the directory cannot be found out.
bool RecordStartDirectory();

// directory + "/" + name, or name alone when directory is empty.
std::string PathInDirectory(const std::string& directory, const std::string& name);
