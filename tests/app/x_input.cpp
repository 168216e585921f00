// Tested through tests/app/hands_program_test.cpp and tests/platform/key_state_test.cpp.
#include "x_input.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <dlfcn.h>

bool HoldKey(unsigned long keysym, bool down) {
    using FakeKey = int (*)(Display*, unsigned int, int, unsigned long);
    // Loaded at run time: the library comes with the toolkit, its headers do not.
    void* library = dlopen("libXtst.so.6", RTLD_NOW);
    if (!library) return false;
    auto fake = reinterpret_cast<FakeKey>(dlsym(library, "XTestFakeKeyEvent"));
    Display* display = fake ? XOpenDisplay(nullptr) : nullptr;
    KeyCode code = 0;
    if (display) {
        code = XKeysymToKeycode(display, keysym);
        if (code != 0) fake(display, code, down, 0);
        XFlush(display);
        XCloseDisplay(display);
    }
    dlclose(library);
    return code != 0;
}

// The toolkit's simulator knows only the left Ctrl.
bool PressRightCtrl() { return HoldKey(XK_Control_R, true) && HoldKey(XK_Control_R, false); }

namespace {

// Without a window manager, or with one that frames without reparenting, the
// top-level windows are the root's children.
bool ShownTopLevel(const std::string& title, XWindowAttributes* foundAttributes, Window* foundWindow = nullptr) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    bool found = false;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = count; i-- > 0 && !found;) {  // topmost first
            XWindowAttributes attributes;
            char* name = nullptr;
            if (!XGetWindowAttributes(display, children[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            if (XFetchName(display, children[i], &name) && name) {
                found = title == name;
                XFree(name);
            }
            if (found) *foundAttributes = attributes;
            if (found && foundWindow) *foundWindow = children[i];
        }
        if (children) XFree(children);
    }
    XCloseDisplay(display);
    return found;
}

}  // namespace

bool FindXWindow(const std::string& title, int* x, int* y) {
    XWindowAttributes window;
    if (!ShownTopLevel(title, &window)) return false;
    *x = window.x + window.width / 2;
    *y = window.y + window.height / 2;
    return true;
}

bool XWindowSize(const std::string& title, int* width, int* height) {
    XWindowAttributes window;
    if (!ShownTopLevel(title, &window)) return false;
    *width = window.width;
    *height = window.height;
    return true;
}

bool FindXFrame(const std::string& title, XFrame* frame) {
    XWindowAttributes window;
    Window id = 0;
    if (!ShownTopLevel(title, &window, &id)) return false;
    long extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
    if (Display* display = XOpenDisplay(nullptr)) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, id, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False,
                               XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
            data && format == 32 && items == 4) {
            for (int i = 0; i < 4; ++i) extents[i] = reinterpret_cast<long*>(data)[i];
        }
        if (data) XFree(data);
        XCloseDisplay(display);
    }
    frame->x = window.x - static_cast<int>(extents[0]);
    frame->y = window.y - static_cast<int>(extents[2]);
    frame->width = window.width + static_cast<int>(extents[0] + extents[1]);
    frame->height = window.height + static_cast<int>(extents[2] + extents[3]);
    return true;
}
