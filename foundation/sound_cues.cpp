// Tested by tests/foundation/sound_cues_test.cpp.
#include "foundation/sound_cues.h"

#include <algorithm>

#include "foundation/profile.h"
#include "foundation/session_services.h"
#include "foundation/start_directory.h"
#include "platform/cue_player.h"

CuePlayer* g_cuePlayer = nullptr;

namespace {

bool MayPlay(const std::string& name) {
    if (!g_cuePlayer || !g_profile) return false;
    if (!g_profile->GetBool("UseSounds")) return false;
    return name.size() >= 5;
}

}  // namespace

std::string ResolveSoundPath(const std::string& name) {
    if (name.size() >= 2 && name[1] == ':') return name;
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path[0] == '/') return path;
    return PathInDirectory(StartDirectory, path);
}

bool PlayConfiguredSound(const std::string& name, bool interrupt) {
    if (!MayPlay(name)) return false;
    if (g_alarmSound && g_alarmSound->IsSoundPlaying()) return false;
    return g_cuePlayer->Play(ResolveSoundPath(name), interrupt ? CueMode::Interrupt : CueMode::NoStop);
}

bool PlaySoundFile(const std::string& name) {
    if (!MayPlay(name)) return false;
    return g_cuePlayer->Play(ResolveSoundPath(name), CueMode::Loop);
}

bool StopSound() { return g_cuePlayer ? g_cuePlayer->Stop() : false; }
