// Sound cues: short wave files named by the profile's "Sound..." keys, played
// one at a time on the process's cue player. Any thread may call them.
// Tested by tests/foundation/sound_cues_test.cpp.
#pragma once

#include <string>

class CuePlayer;

// The player the cues use; start-up installs it (null: every cue fails).
extern CuePlayer* g_cuePlayer;

// Plays the file once. False when "UseSounds" is off, the name is shorter
// than 5 characters, the conflict alarm plays, or the player refuses; with
// interrupt false a cue that plays is kept and this one dropped.
bool PlayConfiguredSound(const std::string& name, bool interrupt);
// Plays the file in a loop until StopSound or another cue (the alarm).
bool PlaySoundFile(const std::string& name);
// Stops whatever plays.
bool StopSound();

// A name whose second character is ":" (a drive) or that begins with "/" is
// used as it is; any other is relative to StartDirectory. "\" separates
// folders as "/" does, as profiles written on Windows have it.
std::string ResolveSoundPath(const std::string& name);
