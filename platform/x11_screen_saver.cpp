// Tested through tests/app/windows_program_test.cpp.
#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/screen_saver.h"

// GIO comes with GTK, its headers do not: the calls used, as GIO declares them.
extern "C" {
struct GError {
    unsigned domain;
    int code;
    char* message;
};
void* g_bus_get_sync(int busType, void* cancellable, GError** error);
void* g_variant_new(const char* format, ...);
void* g_dbus_connection_call_sync(void* connection, const char* busName, const char* objectPath,
                                  const char* interfaceName, const char* methodName, void* parameters,
                                  const void* replyType, int flags, int timeoutMs, void* cancellable,
                                  GError** error);
void g_variant_get(void* value, const char* format, ...);
void g_variant_unref(void* value);
void g_error_free(GError* error);
void g_object_unref(void* object);
}

namespace {

constexpr int kSessionBus = 2;       // G_BUS_TYPE_SESSION
constexpr int kCallTimeoutMs = 500;  // a desktop that does not answer by then has no such service

// Without an address in the environment or a bus in the runtime directory,
// asking GIO for the session bus would start a bus of its own.
bool HasSessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    return runtime && *runtime && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}

class DesktopScreenSaverControl final : public ScreenSaverControl {
public:
    DesktopScreenSaverControl() : m_display(XOpenDisplay(nullptr)) {}
    ~DesktopScreenSaverControl() override {
        Release();
        if (m_bus) g_object_unref(m_bus);
        if (m_display) XCloseDisplay(m_display);
    }
    DesktopScreenSaverControl(const DesktopScreenSaverControl&) = delete;
    DesktopScreenSaverControl& operator=(const DesktopScreenSaverControl&) = delete;

    void Inhibit() override {
        if (m_cookie != 0 || !Bus()) return;
        if (void* reply = Call("Inhibit", g_variant_new("(ss)", "Tarq", "A radar display is active"))) {
            g_variant_get(reply, "(u)", &m_cookie);
            g_variant_unref(reply);
        }
    }
    void Release() override {
        if (m_cookie == 0) return;
        if (void* reply = Call("UnInhibit", g_variant_new("(u)", m_cookie))) g_variant_unref(reply);
        m_cookie = 0;
    }
    void ResetIdleTimer() override {
        if (!m_display) return;
        XResetScreenSaver(m_display);
        XFlush(m_display);
    }
    int IdleTimeoutSeconds() override {
        int timeout = 0, interval = 0, blanking = 0, exposures = 0;
        if (m_display) XGetScreenSaver(m_display, &timeout, &interval, &blanking, &exposures);
        return timeout;
    }

private:
    void* Bus() {
        if (!m_bus && !m_busTried && HasSessionBus()) {
            GError* error = nullptr;
            m_bus = g_bus_get_sync(kSessionBus, nullptr, &error);
            if (error) g_error_free(error);
        }
        m_busTried = true;
        return m_bus;
    }
    // The reply, or null when the desktop has no such service.
    void* Call(const char* method, void* arguments) {
        GError* error = nullptr;
        void* reply = g_dbus_connection_call_sync(Bus(), "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                                  "org.freedesktop.ScreenSaver", method, arguments, nullptr, 0,
                                                  kCallTimeoutMs, nullptr, &error);
        if (error) g_error_free(error);
        return reply;
    }

    Display* m_display;
    void* m_bus = nullptr;
    bool m_busTried = false;
    unsigned m_cookie = 0;
};

}  // namespace

std::unique_ptr<ScreenSaverControl> CreateDesktopScreenSaverControl() {
    return std::make_unique<DesktopScreenSaverControl>();
}
