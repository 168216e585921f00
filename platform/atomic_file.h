// Writes a whole file through a temporary file in the same directory that is
// renamed over the old one, so a crash or a full disk never leaves half a file.
// Tested by tests/platform/atomic_file_test.cpp.
#pragma once

#include <string>
#include <string_view>

// Returns false and a short reason in *error (when given) on any failed step;
// the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error = nullptr);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);
