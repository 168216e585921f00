// The version check: asks the maker's web service for the latest program
// version and the current aircraft type database version, and compares the
// answer with the program's own version.
// Tested by tests/net/server_list_test.cpp against a loopback server.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// endpoint + "?ver=" + version + "&vol=" + volume + "&cs=" + callsign, the
// callsign percent-encoded and no blanks left anywhere.
std::string VersionCheckUrl(const std::string& endpoint, const std::string& version, int32_t volume,
                            const std::string& callsign);

// "latest_ver" and "acinfo_ver" lines; the outputs change only for the keys the answer holds.
void ParseVersionAnswer(const std::string& text, std::string& latest, std::string& aircraftDatabase);

// Downloads and reads the answer (time-out 5 s). False with the reason in
// *why when the download failed; the outputs are then as the caller set them.
bool CheckVersion(const std::string& url, std::string& latest, std::string& aircraftDatabase,
                  std::string* why = nullptr, const std::atomic<bool>* stop = nullptr);

enum class VersionVerdict { Invalid, Latest, Newer };

// Exactly three dot-separated whole numbers, compared major, minor, patch
// with own; anything else is Invalid.
VersionVerdict CompareVersion(const std::string& latest, const std::string& own);
