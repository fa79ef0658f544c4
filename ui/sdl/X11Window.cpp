// The Xlib calls behind the icon images and the polite focus.
#include "ui/sdl/X11Window.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace velozor {

namespace {

struct X11Handles {
    Display* display = nullptr;
    Window window = 0;
};

bool x11HandlesOf(SDL_Window* window, X11Handles& handles) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    handles.display = info.info.x11.display;
    handles.window = info.info.x11.window;
    return true;
}

// Swallows the X errors of the calls between the constructor and finish(): the process-wide
// handler would otherwise end the program on an error as harmless as a refused focus, and
// neither caller has anything better to do on one than to leave things as they were.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display) : display_(display) {
        XSync(display_, False);
        previous_ = XSetErrorHandler(&XErrorTrap::ignore);
    }
    // Waits for the calls' errors to arrive, then puts the previous handler back.
    void finish() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }
    Display* display_;
    XErrorHandler previous_ = nullptr;
};

XErrorHandler previousHandler = nullptr;

int ignoreSendEventToGoneWindow(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent)
        return 0;
    return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

}  // namespace

void tolerateX11WakeUpsToGoneWindows() {
    if (previousHandler != nullptr)
        return;
    previousHandler = XSetErrorHandler(&ignoreSendEventToGoneWindow);
}

void setX11IconImages(SDL_Window* window, const std::vector<uint32_t>& images) {
    X11Handles x11;
    if (!x11HandlesOf(window, x11))
        return;
    // Xlib passes 32-bit properties as arrays of long, whatever the width of long.
    const std::vector<unsigned long> cardinals(images.begin(), images.end());
    XErrorTrap trap(x11.display);
    const Atom icon = XInternAtom(x11.display, "_NET_WM_ICON", False);
    XChangeProperty(x11.display, x11.window, icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(cardinals.data()),
                    static_cast<int>(cardinals.size()));
    trap.finish();  // a refused property leaves SDL's one icon in place
}

void takeX11FocusIfFree(SDL_Window* window) {
    X11Handles x11;
    if (!x11HandlesOf(window, x11))
        return;
    Window focused = None;
    int revertTo = 0;
    XGetInputFocus(x11.display, &focused, &revertTo);
    if (focused == x11.window)
        return;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x11.display, x11.window, &attributes))
        return;
    // Another application's window keeps the keyboard.
    if (focused != None && focused != PointerRoot && focused != attributes.root)
        return;
    // Focusing a window that is not viewable is an X error.
    if (attributes.map_state != IsViewable)
        return;
    XErrorTrap trap(x11.display);
    XSetInputFocus(x11.display, x11.window, RevertToParent, CurrentTime);
    trap.finish();  // a refusal (the window went away meanwhile) leaves the focus as it was
}

}  // namespace velozor
