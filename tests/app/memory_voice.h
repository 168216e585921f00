// Memory sound cards (a test machine may have none) and a voice port the
// system picks, so tests run beside each other and beside a running program.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/voice_engine_host.h"
#include "platform/memory_sound_devices.h"

// `made` hears of each device provider a voice host makes from now on.
inline void UseMemoryVoice(std::function<void(MemorySoundDeviceProvider*)> made = nullptr) {
    TarqVoiceOptions voice;
    voice.devices = [made = std::move(made)] {
        auto devices = std::make_unique<MemorySoundDeviceProvider>(std::vector<std::string>{"Microphone"},
                                                                   std::vector<std::string>{"Headset", "Speaker"});
        if (made) made(devices.get());
        return devices;
    };
    voice.udpPort = 0;
    SetTarqVoiceOptions(voice);
}
