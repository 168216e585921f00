// Tested by tests/voice/rate_converter_test.cpp.
#include "platform/sound_hardware.h"

#include <cmath>

float SoundVolumeFactor(int percent) {
    if (percent <= 0) return 0.0f;
    double ratio = percent / 100.0;
    return static_cast<float>(std::pow(10.0, 20.0 * std::log10(ratio) / 10.0));
}

void ScaleSamples(int16_t* samples, int count, float factor) {
    if (factor == 1.0f) return;
    for (int i = 0; i < count; ++i) {
        float v = static_cast<float>(samples[i]) * factor;
        if (v > 32767.0f) v = 32767.0f;
        if (v < -32768.0f) v = -32768.0f;
        samples[i] = static_cast<int16_t>(v);
    }
}
