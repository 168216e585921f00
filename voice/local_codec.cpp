// Tested by tests/voice/local_codec_test.cpp.
#include "voice/local_codec.h"

#include <random>

#include "platform/sound_hardware.h"
#include "voice/audio_clock.h"
#include "voice/melp/melp_codec.h"
#include "voice/rate_converter.h"

namespace {

// Blocks of three codec blocks: 2160 samples, about 0.294 s at 7350 per second.
constexpr int kCodecBlocksPerBlock = 3;

}  // namespace

uint8_t CLocalCodec::ProcessTalkerByte() {
    static const uint8_t talker = [] {
        std::random_device device;
        return static_cast<uint8_t>(device() & 0xFF);
    }();
    return talker;
}

CLocalCodec::CLocalCodec(SoundDeviceProvider& devices, bool outputOnly)
    : CAudioTask(1.0), m_devices(devices), m_codec(std::make_unique<CMELPCodec>()) {
    m_codec->SetOutputGate(false);
    if (!outputOnly) m_input = CreateInputDevice(m_devices, kSampleRate, m_inputIndex);
    m_output = CreateOutputDevice(m_devices, kOutputStreams, kSampleRate, m_outputIndex);
    m_period = m_codec->BlockSeconds(kSampleRate) * 0.25;
    m_samplesPerBlock = m_codec->PcmBytes() * kCodecBlocksPerBlock;
    m_blockLength = m_codec->EncodedBytes() * kCodecBlocksPerBlock + 5;
    m_block.assign(static_cast<size_t>(m_blockLength), 0);
    m_samples.assign(static_cast<size_t>(m_samplesPerBlock / 2), 0);
    // Half a second of silence at the codec rate: a quarter second reaches
    // the card ahead of a new talker, so a late block does not underrun.
    m_leadIn.assign(static_cast<size_t>(kSampleRate * 0.5) / 2, 0);
    if (m_input) m_input->Open();
}

CLocalCodec::~CLocalCodec() {
    if (m_input) m_input->Close();
}

void CLocalCodec::StartNoiseMeasure() { m_codec->StartNoiseMeasure(); }
void CLocalCodec::EndNoiseMeasure() { m_codec->EndNoiseMeasure(); }
void CLocalCodec::StartLevelMeasure() { m_codec->StartLevelMeasure(); }
uint32_t CLocalCodec::EndLevelMeasure() { return m_codec->EndLevelMeasure(); }
float CLocalCodec::GetInputSquelch() const { return m_codec->GetInputSquelch(); }
float CLocalCodec::GetOutputSquelch() const { return m_codec->GetOutputSquelch(); }
void CLocalCodec::SetInputSquelch(float level) { m_codec->SetInputSquelch(level); }
void CLocalCodec::SetOutputSquelch(float level) { m_codec->SetOutputSquelch(level); }

bool CLocalCodec::SetInputDevice(uint16_t index) {
    m_inputIndex = index;
    if (m_input) m_input->Close();
    m_input = CreateInputDevice(m_devices, kSampleRate, index);
    return m_input->Open();
}

void CLocalCodec::SetOutputDevice(uint16_t index) {
    m_outputIndex = index;
    m_output.reset();
    m_output = CreateOutputDevice(m_devices, kOutputStreams, kSampleRate, index);
}

void CLocalCodec::GetDevices(std::vector<std::string>* inputNames, std::vector<std::string>* outputNames,
                             uint16_t* inputIndex, uint16_t* outputIndex) {
    if (inputNames) *inputNames = m_devices.InputDeviceNames();
    if (outputNames) *outputNames = m_devices.OutputDeviceNames();
    if (inputIndex) *inputIndex = m_inputIndex;
    if (outputIndex) *outputIndex = m_outputIndex;
}

void CLocalCodec::SetVolume(int16_t percent) { m_output->SetVolume(percent); }
bool CLocalCodec::IsInputOpen() const { return m_input && m_input->IsOpen(); }
bool CLocalCodec::IsOutputOpen() const { return m_output->IsOpen(); }

double CLocalCodec::Run() {
    if (!m_input) return m_period;
    if (m_input->Available() < m_samplesPerBlock) return m_period;
    if (m_input->Read(m_samplesPerBlock, m_samples.data()) != m_samplesPerBlock) return m_period;
    m_codec->Encode(kCodecBlocksPerBlock, m_samples.data(), m_block.data() + coded_block::kMelp);
    m_block[coded_block::kTalker] = ProcessTalkerByte();
    m_block[coded_block::kEndMarker] = 0;
    m_block[coded_block::kSequenceHigh] = static_cast<uint8_t>(m_sequence >> 8);
    m_block[coded_block::kSequenceLow] = static_cast<uint8_t>(m_sequence & 0xFF);
    m_block[static_cast<size_t>(m_blockLength - 1)] = 0;
    ++m_sequence;
    Send(0, m_block.data(), static_cast<int16_t>(m_blockLength));
    return m_period;
}

void CLocalCodec::Consume(int32_t, const uint8_t* data, int16_t length) {
    if (length < m_blockLength - 1) return;
    // The talker is its byte alone; the sequence number is compared with
    // wrap-around, so a long transmission stays in one slot.
    uint16_t key = data[coded_block::kTalker];
    auto sequence =
        static_cast<uint16_t>(data[coded_block::kSequenceHigh] << 8 | data[coded_block::kSequenceLow]);
    bool end = data[coded_block::kEndMarker] != 0;
    double now = AudioClockSeconds();
    int chosen = -1;
    bool fresh = false;
    for (int i = 0; i < kTalkerSlots; ++i) {
        auto& slot = m_slots[static_cast<size_t>(i)];
        if (slot.active && now - slot.lastTime > kTalkerTimeout) slot.active = false;
        if (!slot.active && chosen < 0) {
            chosen = i;
            fresh = true;
        }
        if (slot.active && slot.key == key) {
            chosen = i;
            fresh = false;
        }
    }
    if (chosen >= 0) {
        auto& slot = m_slots[static_cast<size_t>(chosen)];
        bool stale = !fresh && static_cast<int16_t>(sequence - slot.lastSequence) <= 0;
        slot.active = !end;
        slot.key = key;
        slot.lastTime = now;
        slot.lastSequence = sequence;
        auto stream = static_cast<uint32_t>(chosen);
        if (end) {
            m_output->EndStream(stream);
        } else {
            if (fresh) m_codec->ResetTalker(chosen);
            m_codec->Decode(chosen, length < m_blockLength, m_vhfSimulation, kCodecBlocksPerBlock,
                            data + coded_block::kMelp, m_samples.data());
            if (fresh) m_output->Write(stream, m_leadIn.data(), static_cast<int>(m_leadIn.size() * 2));
            if (!stale && m_output->Write(stream, m_samples.data(), m_samplesPerBlock) == 0)
                m_output->Stop(stream);
        }
    }
    bool receiving = false;
    for (const auto& slot : m_slots) receiving = receiving || slot.active;
    if (receiving != m_receiving) {
        m_receiving = receiving;
        if (m_handler) m_handler->OnReceiving(receiving);
    }
}
