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
inline void UseMemoryVoice(std::function<void(MemorySoundDeviceProvider*)> made = nullptr,
                           std::vector<std::string> inputs = {"Microphone"},
                           std::vector<std::string> outputs = {"Headset", "Speaker"}) {
    TarqVoiceOptions voice;
    voice.devices = [made = std::move(made), inputs = std::move(inputs), outputs = std::move(outputs)] {
        auto devices = std::make_unique<MemorySoundDeviceProvider>(inputs, outputs);
        if (made) made(devices.get());
        return devices;
    };
    voice.udpPort = 0;
    SetTarqVoiceOptions(voice);
}
