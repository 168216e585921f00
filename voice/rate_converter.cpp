// Tested by tests/voice/rate_converter_test.cpp.
#include "voice/rate_converter.h"

#include <algorithm>
#include <cmath>

namespace {

// Room for one call's samples, raw and converted: 4 s at 8000 per second.
constexpr int kStagingSamples = 32768;

}  // namespace

double DeviceRate(double wanted) {
    if (wanted < 10000) return 8000;
    if (wanted < 16000) return 11025;
    if (wanted < 32000) return 22050;
    return 44100;
}

void RateConverter::SetRates(double sourceRate, double destinationRate) {
    m_sourceRate = sourceRate;
    m_destinationRate = destinationRate;
}

void RateConverter::Reset() {
    m_lastSample = 0;
    m_sourceCount = 0;
    m_destinationCount = 0;
}

int RateConverter::Resample(const int16_t* source, int count, int16_t* destination, int capacity) {
    if (capacity < 0) return -1;
    int k = 0;
    for (;; ++k) {
        double position = static_cast<double>(m_destinationCount + k) * m_sourceRate / m_destinationRate;
        double t = std::floor(position);
        double frac = position - t;
        auto i = static_cast<int64_t>(t - static_cast<double>(m_sourceCount));
        int16_t sample;
        if (frac == 0.0) {
            if (i >= count) break;
            sample = i < 0 ? m_lastSample : source[i];
        } else {
            if (i >= count || i + 1 >= count) break;
            double a = i < 0 ? m_lastSample : source[i];
            double b = source[i + 1];
            sample = static_cast<int16_t>(frac * b + (1.0 - frac) * a);
        }
        if (k >= capacity) return -1;
        destination[k] = sample;
    }
    m_sourceCount += count;
    m_destinationCount += k;
    if (count > 0) m_lastSample = source[count - 1];
    return k;
}

CInConverterHardware::CInConverterHardware(std::unique_ptr<CInSoundHardware> inner, double deviceRate,
                                           double outerRate)
    : m_inner(std::move(inner)),
      m_deviceRate(deviceRate),
      m_outerRate(outerRate),
      m_raw(kStagingSamples),
      m_converted(kStagingSamples) {
    m_converter.SetRates(deviceRate, outerRate);
}

int CInConverterHardware::Available() {
    int available = m_inner->Available();
    auto converted = static_cast<int64_t>(available * m_outerRate / m_deviceRate);
    converted = (converted & ~int64_t{1}) - 2;
    if (converted < 0) converted = 0;
    return static_cast<int>(m_queue.size() + static_cast<size_t>(converted));
}

int CInConverterHardware::Read(int bytes, void* destination) {
    if (bytes <= 0) return 0;
    auto* out = static_cast<uint8_t*>(destination);
    int handed = static_cast<int>(std::min<size_t>(static_cast<size_t>(bytes), m_queue.size()));
    std::copy_n(m_queue.begin(), handed, out);
    m_queue.erase(m_queue.begin(), m_queue.begin() + handed);
    int missing = bytes - handed;
    if (missing <= 0) return handed;
    // An even count at least one sample more than needed, since the converter
    // holds back the last sample of each call.
    int ask = ((static_cast<int>(missing * m_deviceRate / m_outerRate) + 1) | 1) + 1;
    ask = std::min(ask, kStagingSamples * 2);
    int got = m_inner->Read(ask, m_raw.data());
    if (got <= 0) return handed;
    int produced = m_converter.Resample(m_raw.data(), got / 2, m_converted.data(), kStagingSamples);
    if (produced <= 0) return handed;
    const auto* converted = reinterpret_cast<const uint8_t*>(m_converted.data());
    int convertedBytes = produced * 2;
    int take = std::min(convertedBytes, missing);
    std::copy_n(converted, take, out + handed);
    m_queue.insert(m_queue.end(), converted + take, converted + convertedBytes);
    return handed + take;
}

COutConverterHardware::COutConverterHardware(std::unique_ptr<COutSoundHardware> inner, double outerRate,
                                             double deviceRate)
    : m_inner(std::move(inner)), m_staging(kStagingSamples) {
    m_converters.resize(static_cast<size_t>(std::max(m_inner->StreamCount(), 0)));
    for (auto& converter : m_converters) converter.SetRates(outerRate, deviceRate);
}

int COutConverterHardware::Write(uint32_t stream, int16_t* samples, int bytes) {
    if (stream >= m_converters.size() || bytes < 0) return 0;
    int produced = m_converters[stream].Resample(samples, bytes / 2, m_staging.data(), kStagingSamples);
    if (produced < 0) return 0;
    if (produced == 0) return bytes;  // held back until its successor comes
    return m_inner->Write(stream, m_staging.data(), produced * 2);
}

void COutConverterHardware::EndStream(uint32_t stream) {
    if (stream < m_converters.size()) m_converters[stream].Reset();
    m_inner->EndStream(stream);
}

void COutConverterHardware::Stop(uint32_t stream) {
    if (stream < m_converters.size()) m_converters[stream].Reset();
    m_inner->Stop(stream);
}

std::unique_ptr<CInSoundHardware> CreateInputDevice(SoundDeviceProvider& provider, double rate,
                                                    uint16_t index) {
    double deviceRate = DeviceRate(rate);
    return std::make_unique<CInConverterHardware>(provider.CreateInput(deviceRate, index), deviceRate, rate);
}

std::unique_ptr<COutSoundHardware> CreateOutputDevice(SoundDeviceProvider& provider, int streams, double rate,
                                                      uint16_t index) {
    double deviceRate = DeviceRate(rate);
    return std::make_unique<COutConverterHardware>(provider.CreateOutput(streams, deviceRate, index), rate,
                                                   deviceRate);
}
