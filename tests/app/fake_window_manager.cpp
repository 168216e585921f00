// A window manager for the program tests that draws nothing: every window
// gets a title bar of the given height (25 when none is given) above it, told
// through _NET_FRAME_EXTENTS, also when a client asks before mapping
// (_NET_REQUEST_FRAME_EXTENTS). A window asked to (x, y) has its frame there,
// so its client area starts title bar height lower, as under a reparenting
// manager. Prints "ready" once it manages the screen; ends with its X
// connection or SIGTERM.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

bool g_otherManager = false;

int NoteErrors(Display*, XErrorEvent* error) {
    // Only the redirect on the root fails with BadAccess: another manager runs.
    if (error->error_code == BadAccess) g_otherManager = true;
    return 0;
}

struct Manager {
    Display* display;
    Window root;
    long top;
    Atom extents;
    std::map<Window, bool> placed;  // moved below its frame already

    void SetExtents(Window window) {
        const long frame[4] = {0, 0, top, 0};  // left, right, top, bottom
        XChangeProperty(display, window, extents, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(frame), 4);
    }

    void Configure(const XConfigureRequestEvent& request) {
        XWindowChanges changes{};
        changes.x = request.x;
        changes.y = request.y + static_cast<int>(top);
        changes.width = request.width;
        changes.height = request.height;
        changes.border_width = 0;
        changes.sibling = request.above;
        changes.stack_mode = request.detail;
        XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask), &changes);
        if (request.value_mask & CWY) placed[request.window] = true;
    }

    void Map(Window window) {
        // A window mapped where it was created still has its frame's place.
        if (!placed[window]) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, window, &attributes))
                XMoveWindow(display, window, attributes.x, attributes.y + static_cast<int>(top));
            placed[window] = true;
        }
        SetExtents(window);
        XMapWindow(display, window);
    }
};

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    Manager m{display, DefaultRootWindow(display), argc > 1 ? std::atol(argv[1]) : 25,
              XInternAtom(display, "_NET_FRAME_EXTENTS", False), {}};
    XSetErrorHandler(NoteErrors);
    XSelectInput(display, m.root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display, False);
    if (g_otherManager) return 2;

    // What toolkits read to learn that a manager answers frame extent requests.
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
    const Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    Window checkWindow = XCreateSimpleWindow(display, m.root, -10, -10, 1, 1, 0, 0, 0);
    for (Window w : {m.root, checkWindow})
        XChangeProperty(display, w, check, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&checkWindow), 1);
    const Atom names[] = {supported, check, m.extents, request};
    XChangeProperty(display, m.root, supported, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(names), 4);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);

    // Windows that existed before are left where they are.
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case MapRequest:
                m.Map(event.xmaprequest.window);
                break;
            case ConfigureRequest:
                m.Configure(event.xconfigurerequest);
                break;
            case DestroyNotify:
                m.placed.erase(event.xdestroywindow.window);
                break;
            case ClientMessage:
                if (event.xclient.message_type == request) m.SetExtents(event.xclient.window);
                break;
            default:
                break;
        }
    }
}
