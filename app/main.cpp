// The program's entry: one instance per user, the crash handler, then the
// wx application. A second start asks the first to come forward and ends
// with 0. Tested by tests/app/program_test.cpp.
#include <wx/wx.h>

#include <cstring>
#include <memory>

#include "app/tarq_program.h"
#include "platform/crash_report.h"
#include "platform/single_instance.h"

namespace {

SingleInstance* g_instance = nullptr;

class TarqApp : public wxApp {
public:
    bool OnInit() override {
        m_program = std::make_unique<TarqProgram>(g_instance, SingleInstance::DefaultRuntimeDir());
        m_program->Start();
        // Even when start-up ended it at once, the loop runs and quits.
        return true;
    }
    // 1 when start-up ended the program for want of the voice port.
    int OnRun() override {
        int code = wxApp::OnRun();
        return code != 0 ? code : m_program->ExitCode();
    }
    int OnExit() override {
        m_program.reset();
        return 0;
    }

private:
    std::unique_ptr<TarqProgram> m_program;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(TarqApp);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kCrashReportArgument) == 0) {
        wxInitializer toolkit(argc, argv);
        if (!toolkit.IsOk()) return 1;
        return RunCrashReportDialogs(argv[2]);
    }
    SingleInstance instance(kInstanceName, SingleInstance::DefaultRuntimeDir());
    if (!instance.Acquire()) {
        instance.RequestRaise();
        return 0;
    }
    g_instance = &instance;
    InstallCrashHandler("Tarq");
    // 0 after a normal end; a toolkit that could not start (no X display) is
    // a failure the caller should see.
    return wxEntry(argc, argv) == 0 ? 0 : 1;
}
