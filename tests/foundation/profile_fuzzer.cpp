// Fuzzes opening "Tarq.ini" with whole files: the format upgrade, the colour
// profiles, loading every session profile and saving one, then checks that
// the saved file opens and loads again.
// Seed corpus: tests/foundation/data/profile_corpus.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/profile.h"
#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "tests/temp_dir.h"

namespace {

class Silent : public MessageBoxHandler {
public:
    MessageBoxResult Show(const std::string&, const std::string&, MessageBoxStyle style,
                          WindowHandle) override {
        return DefaultMessageBoxResult(style);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A heavy user's file is some hundred kilobytes; each input is written,
    // read and saved, so keep them smaller than that.
    if (size > (64u << 10)) return 0;
    static Silent silent;
    SetMessageBoxHandler(&silent);
    static const TempDir dir;
    const std::string path = dir.File("Tarq.ini");
    if (!WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;

    TarqProfile profile(path);
    if (!profile.OpenIniFile()) return 0;
    std::vector<std::string> names;
    profile.GetProfileNames(names);
    std::string saved;
    for (const std::string& name : names) {
        if (!profile.Load(name)) continue;
        profile.GetColor(profile.GetString("ColorProfile1"), "ColorTracked");
        profile.IsVFRCode(1200);
        if (saved.empty() && name != "Default" && profile.Save()) saved = name;
    }
    if (!saved.empty()) {
        TarqProfile again(path);
        if (!again.OpenIniFile() || !again.Load(saved)) {
            std::fprintf(stderr, "a saved profile did not load again\n");
            std::abort();
        }
    }
    return 0;
}
