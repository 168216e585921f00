// Fuzz target: recording files as the recorder reads them on playback. Every
// record it hands on lies inside the file and within the block bound.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "voice/file_based_recorder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) return 0;
    RecordingRecord record;
    uint32_t stamp = 0;
    size_t consumed = 0;
    while (ReadRecordingStamp(file, stamp) == RecordingRead::Record) {
        if (ReadRecordingBody(file, record) != RecordingRead::Record) break;
        if (record.length < 1 || record.length > CFileBasedRecorder::kMaxBlock) std::abort();
        consumed += 8 + static_cast<size_t>(record.length);
        if (consumed > size) std::abort();
    }
    std::fclose(file);
    return 0;
}
