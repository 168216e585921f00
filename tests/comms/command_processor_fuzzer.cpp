// Fuzz target of the command processor: each input line is typed into the
// main display's command line (a line starting with byte 1 comes from a group
// chat window instead) over a populated state. No line may crash it, put a
// line break anywhere, or put a ':' into a callsign field of the protocol.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/comms/fake_command_services.h"

namespace {

// Lines per input: enough for routing, aliases and history to meet.
constexpr int kMaxLines = 64;

void Populate(fake_command::World& w) {
    w.AddAircraft("BAW1", {"101", "EGLL", "KBOS", "", "John Smith"});
    w.AddAircraft("AAL2", {"202", "", "", "BOS_APP", ""});
    w.traffic.controllers["NY_CTR"] = {"N", "Ann Lee", {-73.5, 40.5}, 300};
    w.display(1).points["KBOS"] = {-71.0, 42.3};
    w.text.aliases[".tk"] = ".qt $cs";
    w.text.aliases[".self"] = ".self again";
    w.text.aliases[".c2"] = ".center /2 KBOS";
    w.profile.SetString("ATIS", "Info A|$cs|");
    w.profile.SetInt("Rating", 11);
    w.shell.selected = "BAW1";
}

bool HasBreak(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 16)) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    fake_command::World w;
    Populate(w);
    size_t start = 0;
    for (int count = 0; count < kMaxLines && start <= input.size(); ++count) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(start, end - start);
        if (!line.empty() && line[0] == '\x01')
            w.processor.ProcessChatLine({":SUP", ChatWindowKind::Group}, line.substr(1));
        else
            w.Type(line);
        start = end + 1;
    }
    for (const std::string& call : w.log.calls)
        if (HasBreak(call)) std::abort();
    for (const std::string& line : w.log.lines)
        if (HasBreak(line)) std::abort();
    for (const std::string& callsign : w.network.callsignFields)
        if (callsign.find(':') != std::string::npos) std::abort();
    if (w.processor.History().Count() > static_cast<int>(TarqCommandHistory::kMaxLines) + 1) std::abort();
    return 0;
}
