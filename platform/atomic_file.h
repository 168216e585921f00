// Writes a whole file through a temporary file in the same directory that is
// renamed over the old one, so a crash or a full disk never leaves half a file.
// Tested by tests/platform/atomic_file_test.cpp.
#pragma once

#include <string>
#include <string_view>

// Returns false and a short reason in *error (when given) on any failed step;
// the old file is then untouched. An existing file keeps its mode, a new one
// is readable by its owner only; a symbolic link stays and its target is
// written. Temporaries that earlier writers left behind go first.
bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error = nullptr);

// Removes the temporaries of the file that writers killed during a save left
// beside it (our own user's only); a live writer's temporary stays.
void RemoveStaleTemporaries(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);
