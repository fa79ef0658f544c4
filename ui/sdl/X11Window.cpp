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

// Collects the X errors of the calls between the constructor and finish(): the process-wide
// handler would otherwise end the program on an error as harmless as a refused focus.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display) : display_(display) {
        XSync(display_, False);
        failed_ = false;
        previous_ = XSetErrorHandler(&XErrorTrap::record);
    }
    // True when one of the calls failed.
    bool finish() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
        return failed_;
    }

private:
    static int record(Display*, XErrorEvent*) {
        failed_ = true;
        return 0;
    }
    static inline bool failed_ = false;  // the handler gets no context; one thread uses it
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

bool setX11IconImages(SDL_Window* window, const std::vector<uint32_t>& images) {
    X11Handles x11;
    if (!x11HandlesOf(window, x11))
        return false;
    // Xlib passes 32-bit properties as arrays of long, whatever the width of long.
    const std::vector<unsigned long> cardinals(images.begin(), images.end());
    XErrorTrap trap(x11.display);
    const Atom icon = XInternAtom(x11.display, "_NET_WM_ICON", False);
    XChangeProperty(x11.display, x11.window, icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(cardinals.data()),
                    static_cast<int>(cardinals.size()));
    return !trap.finish();
}

FocusOutcome takeX11FocusIfFree(SDL_Window* window) {
    X11Handles x11;
    if (!x11HandlesOf(window, x11))
        return FocusOutcome::NotPossible;
    Window focused = None;
    int revertTo = 0;
    XGetInputFocus(x11.display, &focused, &revertTo);
    if (focused == x11.window)
        return FocusOutcome::AlreadyHeld;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x11.display, x11.window, &attributes)) {
        return FocusOutcome::NotPossible;
    }
    if (focused != None && focused != PointerRoot && focused != attributes.root) {
        return FocusOutcome::HeldElsewhere;
    }
    // Focusing a window that is not viewable is an X error.
    if (attributes.map_state != IsViewable)
        return FocusOutcome::NotPossible;
    XErrorTrap trap(x11.display);
    XSetInputFocus(x11.display, x11.window, RevertToParent, CurrentTime);
    return trap.finish() ? FocusOutcome::NotPossible : FocusOutcome::Taken;
}

}  // namespace velozor
