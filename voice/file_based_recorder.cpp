// Tested by tests/voice/file_based_recorder_test.cpp.
#include "voice/file_based_recorder.h"

#include "voice/audio_clock.h"

namespace {

bool ReadLittle32(std::FILE* file, uint32_t& value, bool& none) {
    uint8_t bytes[4];
    size_t got = std::fread(bytes, 1, 4, file);
    none = got == 0;
    if (got != 4) return false;
    value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
            static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

void WriteLittle32(std::FILE* file, uint32_t value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    std::fwrite(bytes, 1, 4, file);
}

}  // namespace

RecordingRead ReadRecordingStamp(std::FILE* file, uint32_t& milliseconds) {
    bool none = false;
    if (ReadLittle32(file, milliseconds, none)) return RecordingRead::Record;
    return none ? RecordingRead::End : RecordingRead::Bad;
}

RecordingRead ReadRecordingBody(std::FILE* file, RecordingRecord& record) {
    uint32_t length = 0;
    bool none = false;
    if (!ReadLittle32(file, length, none)) return RecordingRead::Bad;
    record.length = static_cast<int32_t>(length);
    if (record.length < 1 || record.length > CFileBasedRecorder::kMaxBlock) return RecordingRead::Bad;
    if (std::fread(record.bytes, 1, static_cast<size_t>(record.length), file) !=
        static_cast<size_t>(record.length))
        return RecordingRead::Bad;
    return RecordingRead::Record;
}

CFileBasedRecorder::CFileBasedRecorder() : CAudioTask(5.0) {}

CFileBasedRecorder::~CFileBasedRecorder() { CloseFile(); }

void CFileBasedRecorder::CloseFile() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

void CFileBasedRecorder::StartRecording() {
    m_startTime = AudioClockSeconds();
    CloseFile();
    m_playing = false;
    m_file = std::fopen(m_fileName.c_str(), "wb");
    m_recording = m_file != nullptr;
}

int CFileBasedRecorder::StopRecording() {
    if (m_recording) CloseFile();
    m_recording = false;
    return 0;
}

int CFileBasedRecorder::StartPlayback(bool loop) {
    CloseFile();
    m_recording = false;
    m_playing = false;
    m_loop = loop;
    m_startTime = AudioClockSeconds();
    m_file = std::fopen(m_fileName.c_str(), "rb");
    if (!m_file) return 0;
    uint32_t stamp = 0;
    if (ReadRecordingStamp(m_file, stamp) != RecordingRead::Record) {
        CloseFile();
        return 0;
    }
    m_playing = true;
    m_nextPlayTime = m_startTime + stamp / 1000.0;
    // Run at the first record's time, not at the next idle second.
    Schedule(m_nextPlayTime - AudioClockSeconds());
    return 1;
}

void CFileBasedRecorder::StopPlayback() {
    if (!m_playing) return;
    EndPlayback();
}

void CFileBasedRecorder::EndPlayback() {
    CloseFile();
    m_playing = false;
}

void CFileBasedRecorder::Consume(int32_t, const uint8_t* data, int16_t length) {
    if (!m_recording || !m_file || length < 1) return;
    auto ms = static_cast<uint32_t>((AudioClockSeconds() - m_startTime) * 1000.0);
    WriteLittle32(m_file, ms);
    WriteLittle32(m_file, static_cast<uint32_t>(static_cast<int32_t>(length)));
    std::fwrite(data, 1, static_cast<size_t>(length), m_file);
}

double CFileBasedRecorder::Run() {
    double now = AudioClockSeconds();
    if (!m_playing) return 1.0;
    if (now < m_nextPlayTime) return m_nextPlayTime - now;
    if (ReadRecordingBody(m_file, m_record) != RecordingRead::Record) {
        EndPlayback();
        return 1.0;
    }
    // Sending may stop this playback (a listener that reacts); read on only
    // while it still plays.
    Send(0, m_record.bytes, static_cast<int16_t>(m_record.length));
    if (!m_playing) return 1.0;
    uint32_t stamp = 0;
    RecordingRead next = ReadRecordingStamp(m_file, stamp);
    if (next == RecordingRead::Record) {
        m_nextPlayTime = m_startTime + stamp / 1000.0;
        return m_nextPlayTime - now;
    }
    if (next == RecordingRead::Bad || !m_loop) {
        EndPlayback();
        return 1.0;
    }
    std::rewind(m_file);
    if (ReadRecordingStamp(m_file, stamp) != RecordingRead::Record) {
        EndPlayback();
        return 1.0;
    }
    m_startTime = AudioClockSeconds();
    m_nextPlayTime = m_startTime + stamp / 1000.0;
    return m_nextPlayTime - now;
}
