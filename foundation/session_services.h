// Small questions the settings store and the sound cues ask of subsystems
// above them (chat, strip bay, aircraft database), as interfaces those
// subsystems implement and tests fake. Each global pointer is null while its
// object does not exist; callers then skip the question.
// Tested through tests/foundation/profile_save_test.cpp.
#pragma once

#include <string>
#include <vector>

class TarqChatLogState {
public:
    virtual ~TarqChatLogState() = default;
    // True while the "Incoming Chat Log" chat window exists.
    virtual bool IsIncomingChatLogOpen() const = 0;
};

class TarqStripSeparators {
public:
    virtual ~TarqStripSeparators() = default;
    // The labels of the separator strips of column 0 or 1, top to bottom.
    virtual std::vector<std::string> GetSortedStrips(int column) const = 0;
};

class TarqAlarmSound {
public:
    virtual ~TarqAlarmSound() = default;
    // True while the looping conflict alarm plays; other cues stay silent then.
    virtual bool IsSoundPlaying() const = 0;
    // Stops the playing cue and clears the alarm; returns what stopping returned.
    virtual bool StopSound() = 0;
};

extern TarqChatLogState* g_chatLogState;
extern TarqStripSeparators* g_stripSeparators;
extern TarqAlarmSound* g_alarmSound;
