// Text helpers shared by the readers of the model data folder ("ModelData"):
// line reading, trimming, comments, field splitting and finding a file whose
// name matches without regard to case (the tables were written for a file
// system that ignores case). Tested by tests/simbridge/model_matcher_test.cpp.
#pragma once

#include <istream>
#include <string>
#include <vector>

// Reads up to the next line feed (not stored) into line and drops a carriage
// return before it. False only when the stream went bad; the end of the file
// is not a failure.
bool ReadLine(std::istream& in, std::string& line);

// Removes every leading and trailing space and tab.
void TrimBlanks(std::string& text);

// Cuts the text at its first ";" (which goes too), then trims the blanks.
void StripComment(std::string& text);

// Empties out, then appends every maximal run of characters not in
// delimiters; never an empty piece. Answers the number of pieces.
int SplitFields(const std::string& text, std::vector<std::string>& out, const std::string& delimiters);

// folder with a "/" at its end.
std::string EnsureTrailingSlash(const std::string& folder);

// The path of the file in folder named name, compared without case; an exact
// match wins over one that differs in case. Empty when there is none.
std::string FindFileNoCase(const std::string& folder, const std::string& name);

// The names (not paths) of the regular files in folder whose names end with
// extension, compared without case, sorted byte-wise so that loading order
// does not depend on the file system. False when the folder cannot be listed.
bool ListFilesWithExtension(const std::string& folder, const std::string& extension,
                            std::vector<std::string>& names);
