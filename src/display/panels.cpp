// The button panels: their labels and rectangles, drawing them, and waiting for a press on one.
#include <X11/keysym.h>
#include <poll.h>

#include "display/context.hpp"

namespace {

// The label of a button sits 15 pixels below the top of its rectangle.
constexpr int label_baseline = 15;

bool is_marker(const Button& button) {
    return button.label == nullptr;
}

// Strictly inside: a press on any edge of the rectangle hits nothing.
bool hits(const Button& button, int px, int py) {
    return px > button.x && px < button.x + button.width && py > button.y &&
           py < button.y + button.height;
}

// Draws every label of a panel and flushes. A card button shows the mark where the bit of its
// card's position is set in marked.
void draw_panel(DisplayContext& display, const Button* panel, unsigned marked = 0,
                const char* mark = nullptr) {
    for (const Button* button = panel; !is_marker(*button); ++button) {
        const int position = input_position(button->input);
        const bool shows_mark = position >= 0 && (marked >> position & 1U) != 0;
        draw_text(display, button->x, button->y + label_baseline,
                  shows_mark ? mark : button->label);
    }
    flush_display(display);
}

// Sleeps until the connection has something to read or a termination signal has come. Requests
// still buffered go out first, since the answer we wait for may depend on them. XFlush also reads
// what the server has sent into Xlib's queue, where poll would not see it: a press that came just
// now would wait there for the next event, so the caller looks at the queue again instead. Woken
// or interrupted, the caller looks again at what has come.
void wait_for_input(DisplayContext& display) {
    const int queued = XEventsQueued(display.display, QueuedAlready);
    flush_display(display);
    if (XEventsQueued(display.display, QueuedAlready) > queued) return;
    // Test seam: this poll on exactly two descriptors with no time limit is how the tests'
    // preloaded library knows a click wait has begun; no other poll of the program looks so.
    pollfd watched[] = {{ConnectionNumber(display.display), POLLIN, 0},
                        {termination_wake_fd(), POLLIN, 0}};
    poll(watched, 2, -1);
}

// What the click wait takes from the queue: every event about the window, presses and keys as
// well as close messages, exposures and its destruction, and the keyboard's new mapping. Keys
// that name no button are taken too, only to be dropped: left in the queue they would pile up
// for as long as the run lasts.
Bool is_window_event(Display*, XEvent* event, XPointer context) {
    const auto* display = reinterpret_cast<const DisplayContext*>(context);
    return event->xany.window == display->window || event->type == MappingNotify;
}

}  // namespace

char key_name(KeySym key) {
    if (key == XK_Return || key == XK_KP_Enter || key == XK_space) return 'd';
    if (key >= XK_KP_0 && key <= XK_KP_9) return static_cast<char>('0' + (key - XK_KP_0));
    if (key >= XK_A && key <= XK_Z) return static_cast<char>('a' + (key - XK_A));
    if (key > XK_space && key <= XK_asciitilde) return static_cast<char>(key);
    return 0;
}

namespace {

// Whether a key is the one named so, by the first two symbols, as key_button looks at them.
bool is_key(XKeyEvent& key, char name) {
    return key_name(XLookupKeysym(&key, 0)) == name || key_name(XLookupKeysym(&key, 1)) == name;
}

// The button of the panel that a key names, or -1. The key's first two symbols are looked at,
// so that case, Shift and Num Lock do not matter: 'B' names what 'b' does, keypad 1 is 1.
int key_button(const Button* panel, XKeyEvent& key) {
    for (int level = 0; level < 2; ++level) {
        const char name = key_name(XLookupKeysym(&key, level));
        if (name == 0) continue;
        for (int index = 0; !is_marker(panel[index]); ++index) {
            if (panel[index].key == name || panel[index].key == any_key) return index;
        }
    }
    return -1;
}

}  // namespace

void draw_main_panel(DisplayContext& display) {
    set_colors(display, "black", "white");
    draw_panel(display, main_panel);
}

void draw_double_panel(DisplayContext& display) {
    set_colors(display, "black", "white");
    draw_panel(display, double_panel);
}

void draw_hold_panel(DisplayContext& display, unsigned held) {
    set_colors(display, "black", "white");
    draw_panel(display, hold_panel, held, held_label);
}

void draw_pick_panel(DisplayContext& display, unsigned picked) {
    set_colors(display, "black", "white");
    draw_panel(display, pick_panel, picked, picked_label);
}

// Presses, keys and close messages are taken in the order they came, one predicate for all, so
// that none can sit unseen in Xlib's queue while the wait sleeps on the connection: events that
// Xlib has read already no longer make the connection readable.
int wait_button(DisplayContext& display, const Button* panel) {
    for (;;) {
        if (termination_signal_caught() || display.close_asked) return close_request;
        XEvent event;
        if (!XCheckIfEvent(display.display, &event, is_window_event,
                           reinterpret_cast<XPointer>(&display))) {
            wait_for_input(display);
            continue;
        }
        if (take_window_event(display, event)) continue;
        if (event.type == KeyPress) {
            const int index = key_button(panel, event.xkey);
            if (index >= 0) return index;
            // f names no button of any panel: in every wait it turns full screen on or off.
            if (is_key(event.xkey, 'f')) toggle_fullscreen(display);
            continue;
        }
        // Any mouse button counts; the first button hit wins and a press on none is dropped, as
        // is a press in the margin round the picture.
        int x = event.xbutton.x;
        int y = event.xbutton.y;
        if (!to_picture(display.shown, x, y)) continue;
        for (int index = 0; !is_marker(panel[index]); ++index) {
            if (hits(panel[index], x, y)) return index;
        }
    }
}
