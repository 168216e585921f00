// CFileBasedRecorder stores the coded blocks that reach it, each with its
// arrival time, in a file, and plays such a file back into the graph with the
// same timing, once or in a loop. Main thread only.
// Tested by tests/voice/file_based_recorder_test.cpp.
//
// File: records of u32 milliseconds since the start, i32 length n, n bytes
// of the block; little-endian, no header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "voice/audio_graph.h"
#include "voice/audio_task.h"

// One record of a recording file.
struct RecordingRecord {
    uint32_t milliseconds = 0;
    int32_t length = 0;
    uint8_t bytes[1024];
};

enum class RecordingRead {
    Record,
    End,  // the file ended cleanly between records
    Bad,  // a record cut short, or a length outside 1..1024
};

// Reads the time stamp of the next record; End at the end of the file.
RecordingRead ReadRecordingStamp(std::FILE* file, uint32_t& milliseconds);
// Reads the length and the bytes behind a time stamp.
RecordingRead ReadRecordingBody(std::FILE* file, RecordingRecord& record);

class CFileBasedRecorder : public CAudioProducerConsumer, public CAudioTask {
public:
    // The longest block a recording may hold; this system writes 86 bytes.
    static constexpr int32_t kMaxBlock = 1024;

    CFileBasedRecorder();
    ~CFileBasedRecorder() override;

    void SetFileName(const std::string& name) { m_fileName = name; }
    void StartRecording();
    int StopRecording();
    bool IsRecording() const { return m_recording; }
    // 1 when the file's first record was read and playback started, else 0.
    int StartPlayback(bool loop);
    void StopPlayback();
    bool IsPlaying() const { return m_playing; }

    void Consume(int32_t inputKey, const uint8_t* data, int16_t length) override;
    double Run() override;

private:
    void CloseFile();
    void EndPlayback();

    bool m_recording = false;
    bool m_playing = false;
    bool m_loop = false;
    double m_startTime = 0;
    double m_nextPlayTime = 0;
    std::FILE* m_file = nullptr;
    std::string m_fileName;
    RecordingRecord m_record;
};
