// Requests to end the run from outside the panels: the window manager's close message and the
// termination signals. Both are only noted here; the game answers them at its next wait or pause.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

#include "display/context.hpp"

namespace {

volatile std::sig_atomic_t signal_caught = 0;
int wake_pipe[2] = {-1, -1};

// Runs in the signal handler, so it does nothing but what is async-signal-safe: a flag, and one
// byte down a non-blocking pipe to wake the click wait (a full pipe has a byte waiting already).
// The save itself happens later, in the normal flow of the program.
extern "C" void note_termination(int) {
    const int saved_errno = errno;
    signal_caught = 1;
    if (wake_pipe[1] >= 0) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t ignored = write(wake_pipe[1], &byte, 1);
    }
    errno = saved_errno;
}

}  // namespace

void catch_termination_signals() {
    // Without the pipe a signal still interrupts the click wait's poll, only less surely.
    if (pipe2(wake_pipe, O_NONBLOCK | O_CLOEXEC) != 0) wake_pipe[0] = wake_pipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = note_termination;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a pause in sleep() returns early when a signal comes.
    action.sa_flags = 0;
    // A write to a server that has gone must fail, not kill the process, so that the lost
    // connection is reported to the X library's handler, which saves the credit.
    signal(SIGPIPE, SIG_IGN);
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        // A signal the caller ignores stays ignored, as under nohup or in a background job.
        struct sigaction previous {};
        if (sigaction(number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(number, &action, nullptr);
    }
}

bool termination_signal_caught() {
    return signal_caught != 0;
}

int termination_wake_fd() {
    return wake_pipe[0];
}

bool is_close_message(const DisplayContext& display, const XEvent& event) {
    if (event.type != ClientMessage || event.xclient.window != display.window) return false;
    return event.xclient.message_type == atom(display, WindowAtom::wm_protocols) &&
           event.xclient.format == 32 &&
           static_cast<Atom>(event.xclient.data.l[0]) ==
               atom(display, WindowAtom::wm_delete_window);
}

bool take_window_event(DisplayContext& display, const XEvent& event) {
    switch (event.type) {
        case ButtonPress:
        case KeyPress:
            return false;
        case ClientMessage:
            display.close_asked = display.close_asked || is_close_message(display, event);
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == display.window) {
                display.window_gone = true;
                display.close_asked = true;
            }
            break;
        case Expose:
            repaint_exposed(display, event.xexpose);
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == display.window) {
                resize_window(display, event.xconfigure.width, event.xconfigure.height);
            }
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(const_cast<XMappingEvent*>(&event.xmapping));
            break;
        default:
            break;
    }
    return true;
}

namespace {

// Everything about the window but presses and keys, which stay queued for the next click wait.
Bool is_window_news(Display*, XEvent* event, XPointer context) {
    const auto* display = reinterpret_cast<const DisplayContext*>(context);
    return event->xany.window == display->window && event->type != ButtonPress &&
           event->type != KeyPress;
}

}  // namespace

bool close_requested(DisplayContext& display) {
    if (termination_signal_caught()) return true;
    XEvent event;
    while (!display.close_asked && XCheckIfEvent(display.display, &event, is_window_news,
                                                 reinterpret_cast<XPointer>(&display))) {
        take_window_event(display, event);
    }
    // Repaints go out now, and so does anything drawn before a pause.
    flush_display(display);
    return display.close_asked;
}
