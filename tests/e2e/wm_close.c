/* Sends WM_DELETE_WINDOW to a window, as a window manager's close button does. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: wm_close WINDOW-ID\n");
        return 2;
    }
    Display *dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "wm_close: cannot open the display\n");
        return 1;
    }
    XEvent ev = {0};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = (Window)strtoul(argv[1], NULL, 0);
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, ev.xclient.window, False, NoEventMask, &ev);
    XCloseDisplay(dpy);
    return 0;
}
