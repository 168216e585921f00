// X11 stays in this file: its macros (None, Status) clash with the program's names.
#include "x_looks.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

XPicture ShownCursor() {
    XPicture picture;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return picture;
    int event = 0, error = 0;
    if (XFixesQueryExtension(display, &event, &error)) {
        if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
            picture.width = image->width;
            picture.height = image->height;
            picture.hotX = image->xhot;
            picture.hotY = image->yhot;
            for (size_t i = 0; i < static_cast<size_t>(image->width) * image->height; ++i)
                picture.argb.push_back(static_cast<uint32_t>(image->pixels[i]));
            XFree(image);
        }
    }
    XCloseDisplay(display);
    return picture;
}

std::vector<XPicture> WindowIcons(const std::string& title) {
    std::vector<XPicture> icons;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return icons;
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    const Atom iconAtom = XInternAtom(display, "_NET_WM_ICON", False);
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = count; i-- > 0;) {  // topmost first
            XWindowAttributes attributes;
            char* name = nullptr;
            if (!XGetWindowAttributes(display, children[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            bool found = false;
            if (XFetchName(display, children[i], &name) && name) {
                found = title == name;
                XFree(name);
            }
            if (!found) continue;
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, left = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], iconAtom, 0, 1 << 20, False, XA_CARDINAL, &type,
                                   &format, &items, &left, &data) == Success &&
                data && format == 32) {
                // Format 32 comes as longs: width, height, then the pixels, icon after icon.
                const unsigned long* values = reinterpret_cast<const unsigned long*>(data);
                size_t at = 0;
                while (at + 2 <= items) {
                    XPicture icon;
                    icon.width = static_cast<int>(values[at]);
                    icon.height = static_cast<int>(values[at + 1]);
                    const size_t size = static_cast<size_t>(icon.width) * icon.height;
                    at += 2;
                    if (icon.width <= 0 || icon.height <= 0 || at + size > items) break;
                    for (size_t p = 0; p < size; ++p)
                        icon.argb.push_back(static_cast<uint32_t>(values[at + p]));
                    at += size;
                    icons.push_back(std::move(icon));
                }
            }
            if (data) XFree(data);
            break;
        }
        if (children) XFree(children);
    }
    XCloseDisplay(display);
    return icons;
}
