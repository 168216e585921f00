// Fuzz target of the model data readers: any bytes, read as each of the five
// tables and as a model set, load without a crash, and a search over what
// was loaded answers a model of the set or nothing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "simbridge/model_matcher.h"
#include "simbridge/model_set.h"

namespace {

// The readers take paths: one scratch file per process, removed at exit.
struct ScratchFile {
    ScratchFile() {
        char pattern[] = "/tmp/tarq_model_fuzz_XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) close(fd);
        path = pattern;
    }
    ~ScratchFile() { unlink(path.c_str()); }
    std::string path;
};

const std::string& ScratchPath() {
    static const ScratchFile file;
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Real tables run to a few thousand lines; 256 KB keeps each run quick.
    if (size > (1u << 18)) return 0;
    const std::string& path = ScratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    ModelMatcher tables;
    tables.LoadRelated(path);
    tables.LoadEquipment(path);
    tables.LoadAirlines(path);
    tables.LoadLiveries(path);
    ModelSet set;
    if (!set.Load(path, nullptr, tables)) return 0;
    // A loaded set has a 3-character code and only models named after it.
    if (set.GetCode().size() != 3 || set.GetModelCount() == 0) std::abort();
    ModelSetList list;
    auto owned = std::make_unique<ModelSet>();
    owned->Load(path, nullptr, tables);
    list.Add(std::move(owned));
    const std::string model = list.FindBestModel("XA1", "XAL", "C2", {}, false, true, tables);
    if (!model.empty() && model.compare(0, 3, set.GetCode()) != 0) std::abort();
    return 0;
}
