// Fresh files in the system's temporary directory ($TMPDIR, else /tmp) for
// downloads that are read once and deleted. Tested by tests/platform/atomic_file_test.cpp.
#pragma once

#include <string>

// Creates an empty file whose name starts with prefix and returns its path;
// empty when none could be created. Any thread.
std::string MakeTempFile(const std::string& prefix);
