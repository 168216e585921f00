// Stands in for the re-run program in the crash report test: answers the
// questions from $TARQ_CRASH_ANSWERS ("yes,no") and logs what it was told.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/crash_report.h"

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], kCrashReportArgument) != 0) return 2;
    std::string answers = std::getenv("TARQ_CRASH_ANSWERS") ? std::getenv("TARQ_CRASH_ANSWERS") : "";
    std::ofstream log("crash_dialog.log");
    size_t next = 0;
    CrashPrompts prompts;
    prompts.askYesNo = [&](const std::string& text, const std::string& caption, bool defaultNo) {
        size_t comma = answers.find(',', next);
        std::string answer =
            answers.substr(next, comma == std::string::npos ? std::string::npos : comma - next);
        next = comma == std::string::npos ? answers.size() : comma + 1;
        log << "ask|" << caption << "|" << text << "|" << (defaultNo ? "no" : "yes") << "\n";
        return answer == "yes";
    };
    prompts.tell = [&](const std::string& text, const std::string& caption) {
        log << "tell|" << caption << "|" << text << "\n";
    };
    RunCrashReport(argv[2], "Tarq", CrashDumpDirectory(), prompts);
    return 0;
}
