// Test helper: asks the X window with the given title to close, as a window manager's
// close button would (WM_DELETE_WINDOW).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstring>

static Window find_window(Display *d, Window w, const char *title) {
    char *name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        int match = strcmp(name, title) == 0;
        XFree(name);
        if (match) return w;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; i++) found = find_window(d, children[i], title);
    if (children) XFree(children);
    return found;
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: x_close_window TITLE\n");
        return 2;
    }
    Display *d = XOpenDisplay(nullptr);
    if (!d) {
        fprintf(stderr, "x_close_window: no display\n");
        return 1;
    }
    Window w = find_window(d, DefaultRootWindow(d), argv[1]);
    if (!w) {
        fprintf(stderr, "x_close_window: no window '%s'\n", argv[1]);
        return 1;
    }
    XEvent ev;
    memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &ev);
    XFlush(d);
    XCloseDisplay(d);
    return 0;
}
