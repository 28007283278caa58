// The window and its drawing context: the connection and its error handlers, the window with its
// hints and the properties a desktop reads, the picture it shows (enlarged with XRender above
// scale 1), the two text contexts and their font, colours by name, bitmaps and flushing.
#include "display/context.hpp"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrender.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/glyphs.hpp"

namespace {

constexpr int border_width = 2;
constexpr const char* window_title = "Poker";
constexpr const char* text_font_name = "5x7";
constexpr const char* class_name = "Poker";
constexpr const char* instance_name = "poker";

// The one game window whose errors the handler below knows, and the handlers it stands before.
DisplayContext* watched = nullptr;
XErrorHandler earlier_error_handler = nullptr;
void (*connection_lost)() = nullptr;

// Requests on the window sent before its destruction by another client was known fail with
// BadWindow, BadDrawable or BadPicture; the DestroyNotify that follows ends the run, so these
// errors are dropped rather than ending the process before the credit is saved.
int on_x_error(Display* connection, XErrorEvent* error) {
    if (watched != nullptr && connection == watched->display && watched->window != 0 &&
        (error->resourceid == watched->window || error->resourceid == watched->render_window)) {
        return 0;
    }
    return earlier_error_handler != nullptr ? earlier_error_handler(connection, error) : 0;
}

// The X library ends the process when this returns; the callback saves and ends it first.
int on_io_error(Display*) {
    std::fprintf(stderr, "lost the connection to the X server\n");
    if (connection_lost != nullptr) connection_lost();
    std::exit(1);
}

void watch_errors(DisplayContext& display) {
    watched = &display;
    const XErrorHandler earlier = XSetErrorHandler(on_x_error);
    if (earlier != on_x_error) earlier_error_handler = earlier;
    XSetIOErrorHandler(on_io_error);
}

// The desktop's Xft.dpi resource, as GTK and Qt programs read it: one scale step per 96 dots
// per inch, rounded, from 1 to max_scale. The resources came with the connection: no round trip.
int desktop_scale(Display* connection) {
    const char* resources = XResourceManagerString(connection);
    if (resources == nullptr) return 1;
    XrmInitialize();
    const XrmDatabase database = XrmGetStringDatabase(resources);
    char* type = nullptr;
    XrmValue value{};
    int scale = 1;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) != 0 &&
        value.addr != nullptr) {
        const double dpi = std::strtod(value.addr, nullptr);
        if (dpi > 0 && dpi < 96.0 * 2 * max_scale) {
            scale = std::clamp(static_cast<int>(std::lround(dpi / 96)), 1, max_scale);
        }
    }
    XrmDestroyDatabase(database);
    return scale;
}

// The XRender format of the screen's visual, or nullptr when the server lacks the extension.
const XRenderPictFormat* render_format(Display* connection) {
    int event_base = 0, error_base = 0;
    if (XRenderQueryExtension(connection, &event_base, &error_base) == 0) return nullptr;
    return XRenderFindVisualFormat(connection, DefaultVisual(connection, 0));
}

// The window shows the picture through a transform that maps window pixel (x, y) to picture
// pixel (x / N, y / N) with the nearest filter: every picture pixel becomes an exact N by N block.
// The transform divides by N through its projective row, which fixed point holds exactly.
void start_enlarging(DisplayContext& display, const XRenderPictFormat* format) {
    Display* const connection = display.display;
    auto* const visual_format = const_cast<XRenderPictFormat*>(format);
    display.render_source =
        XRenderCreatePicture(connection, display.picture, visual_format, 0, nullptr);
    display.render_window =
        XRenderCreatePicture(connection, display.window, visual_format, 0, nullptr);
    XTransform transform{};
    transform.matrix[0][0] = XDoubleToFixed(1);
    transform.matrix[1][1] = XDoubleToFixed(1);
    transform.matrix[2][2] = XDoubleToFixed(display.scale);
    XRenderSetPictureTransform(connection, display.render_source, &transform);
    XRenderSetPictureFilter(connection, display.render_source, FilterNearest, nullptr, 0);
}

// Copies an area of the picture, clipped to it, to the window: plainly at scale 1, enlarged above.
void copy_to_window(DisplayContext& display, Area area) {
    area = Area{std::max(area.x0, 0), std::max(area.y0, 0), std::min(area.x1, picture_width),
                std::min(area.y1, picture_height)};
    if (display.window_gone || area.x1 <= area.x0 || area.y1 <= area.y0) return;
    const auto width = static_cast<unsigned>(area.x1 - area.x0);
    const auto height = static_cast<unsigned>(area.y1 - area.y0);
    const int n = display.scale;
    if (display.render_window == 0) {
        XCopyArea(display.display, display.picture, display.window, display.copy_gc, area.x0,
                  area.y0, width, height, area.x0, area.y0);
        return;
    }
    XRenderComposite(display.display, PictOpSrc, display.render_source, None, display.render_window,
                     area.x0 * n, area.y0 * n, 0, 0, area.x0 * n, area.y0 * n,
                     width * static_cast<unsigned>(n), height * static_cast<unsigned>(n));
}

// The properties by which a desktop knows the window: its class (matched with the menu entry),
// host, process, UTF-8 name and a colour icon from the same bits and colours as the installed PNG
// (black ink on white paper, centred on a transparent 64 by 64 square).
void set_identity(DisplayContext& display, Atom net_name, Atom utf8, Atom net_pid, Atom net_icon) {
    Display* const connection = display.display;
    const Window window = display.window;
    XClassHint class_hint{};
    class_hint.res_name = const_cast<char*>(instance_name);
    class_hint.res_class = const_cast<char*>(class_name);
    XSetClassHint(connection, window, &class_hint);

    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        XChangeProperty(connection, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(host),
                        static_cast<int>(std::strlen(host)));
    }
    XChangeProperty(connection, window, net_name, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(window_title),
                    static_cast<int>(std::strlen(window_title)));
    const long pid = getpid();
    XChangeProperty(connection, window, net_pid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);

    constexpr int side = icon_width;
    constexpr int top = (side - icon_height) / 2;
    static std::array<long, 2 + side * side> icon;
    icon.fill(0);
    icon[0] = side;
    icon[1] = side;
    for (int y = 0; y < icon_height; ++y) {
        for (int x = 0; x < icon_width; ++x) {
            const unsigned byte = icon_bits[static_cast<std::size_t>(y * icon_width / 8 + x / 8)];
            const bool ink = (byte >> (x % 8) & 1) != 0;
            icon[static_cast<std::size_t>(2 + (top + y) * side + x)] =
                ink ? 0xff000000 : 0xffffffff;
        }
    }
    XChangeProperty(connection, window, net_icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(icon.data()),
                    static_cast<int>(icon.size()));
}

// Loads "5x7" for both text contexts when the server has it; asking costs one round trip, and
// loading a font the server lacks, an error that would end the process, is never tried. Without
// it, text comes from the program's own glyphs.
void load_text_font(DisplayContext& display) {
    Display* const connection = display.display;
    int count = 0;
    char** const names = XListFonts(connection, text_font_name, 1, &count);
    if (names != nullptr) XFreeFontNames(names);
    if (count == 0) {
        display.font_strip = make_bitmap(display, text_glyph_strip.data(),
                                         text_glyph_width * text_glyph_count, text_glyph_height);
        return;
    }
    display.text_font = XLoadFont(connection, text_font_name);
    XSetFont(connection, display.text_gc, display.text_font);
    display.wide_font = XLoadFont(connection, text_font_name);
    XSetFont(connection, display.wide_gc, display.wide_font);
}

// Nothing can be drawn without a connection, so the run ends here with one line naming the
// display that was tried.
[[noreturn]] void fail_to_open(const char* display_name) {
    const char* tried = XDisplayName(display_name);
    if (tried[0] == '\0') {
        std::fprintf(stderr, "cannot open display \"\" (DISPLAY is not set)\n");
    } else {
        std::fprintf(stderr, "cannot open display \"%s\"\n", tried);
    }
    std::exit(1);
}

const NamedPixel* find_pixel(const DisplayContext& display, const char* name) {
    for (int i = 0; i < display.pixel_count; ++i) {
        const NamedPixel& entry = display.pixels[static_cast<std::size_t>(i)];
        if (std::strcmp(entry.name.data(), name) == 0) return &entry;
    }
    return nullptr;
}

void remember_pixel(DisplayContext& display, const char* name, unsigned long pixel) {
    const std::size_t length = std::strlen(name);
    NamedPixel entry{};
    // A name too long for an entry, or one past a full cache, is simply looked up every time.
    if (display.pixel_count >= static_cast<int>(display.pixels.size())) return;
    if (length >= entry.name.size()) return;
    std::memcpy(entry.name.data(), name, length + 1);
    entry.pixel = pixel;
    display.pixels[static_cast<std::size_t>(display.pixel_count++)] = entry;
}

}  // namespace

void open_window(DisplayContext& display) {
    display.display = XOpenDisplay(display.display_name);
    if (display.display == nullptr) fail_to_open(display.display_name);
    Display* const connection = display.display;
    watch_errors(display);

    // Screen 0, not the default screen: the root, the colormap and the window all come from it.
    display.colormap = DefaultColormap(connection, 0);
    const unsigned long black = alloc_color(display, "black");
    const unsigned long white = alloc_color(display, "white");

    if (display.scale <= 0) display.scale = desktop_scale(connection);
    const XRenderPictFormat* format = display.scale > 1 ? render_format(connection) : nullptr;
    if (display.scale > 1 && format == nullptr) {
        std::fprintf(stderr, "the X server has no RENDER extension: the window is not enlarged\n");
        display.scale = 1;
    }
    const int width = picture_width * display.scale;
    const int height = picture_height * display.scale;

    display.window = XCreateSimpleWindow(connection, RootWindow(connection, 0), 0, 0, width, height,
                                         border_width, black, white);
    XStoreName(connection, display.window, window_title);
    XSetIconName(connection, display.window, window_title);

    display.attributes.backing_store = Always;
    XChangeWindowAttributes(connection, display.window, CWBackingStore, &display.attributes);

    // StructureNotify brings the window's destruction by another client.
    XSelectInput(connection, display.window,
                 KeyPressMask | ButtonPressMask | ExposureMask | StructureNotifyMask);

    display.icon_pixmap = XCreateBitmapFromData(connection, display.window,
                                                reinterpret_cast<const char*>(icon_bits.data()),
                                                icon_width, icon_height);
    // The whole bitmap is opaque, as in the installed PNG; without a mask some panels show a box.
    static std::array<unsigned char, icon_width * icon_height / 8> opaque;
    opaque.fill(0xff);
    display.icon_mask = XCreateBitmapFromData(connection, display.window,
                                              reinterpret_cast<const char*>(opaque.data()),
                                              icon_width, icon_height);
    XWMHints wm_hints{};
    // With the input hint the window manager gives the window the keyboard.
    wm_hints.flags = InputHint | IconPixmapHint | IconPositionHint | IconMaskHint;
    wm_hints.input = True;
    wm_hints.icon_pixmap = display.icon_pixmap;
    wm_hints.icon_mask = display.icon_mask;
    wm_hints.icon_x = 0;
    wm_hints.icon_y = 0;
    XSetWMHints(connection, display.window, &wm_hints);

    // Minimum and maximum are the same, so the window cannot be resized.
    XSizeHints size_hints{};
    size_hints.flags = PMinSize | PMaxSize;
    size_hints.min_width = width;
    size_hints.min_height = height;
    size_hints.max_width = width;
    size_hints.max_height = height;
    XSetNormalHints(connection, display.window, &size_hints);

    // Taking part in WM_DELETE_WINDOW lets the window manager's close button ask the game to end
    // (and save) instead of cutting the connection. All atoms come in one round trip.
    char protocols_name[] = "WM_PROTOCOLS";
    char delete_name[] = "WM_DELETE_WINDOW";
    char name_name[] = "_NET_WM_NAME";
    char utf8_name[] = "UTF8_STRING";
    char pid_name[] = "_NET_WM_PID";
    char icon_name[] = "_NET_WM_ICON";
    char* atom_names[] = {protocols_name, delete_name, name_name, utf8_name, pid_name, icon_name};
    Atom atoms[6] = {};
    XInternAtoms(connection, atom_names, 6, False, atoms);
    display.wm_protocols = atoms[0];
    display.wm_delete_window = atoms[1];
    XSetWMProtocols(connection, display.window, &display.wm_delete_window, 1);
    set_identity(display, atoms[2], atoms[3], atoms[4], atoms[5]);

    display.picture = XCreatePixmap(connection, display.window, picture_width, picture_height,
                                    static_cast<unsigned>(DefaultDepth(connection, 0)));
    // No copy or plane copy of the game asks for exposure events: the picture is never hidden.
    XGCValues values{};
    values.graphics_exposures = False;
    values.foreground = white;
    display.copy_gc =
        XCreateGC(connection, display.picture, GCGraphicsExposures | GCForeground, &values);
    XFillRectangle(connection, display.picture, display.copy_gc, 0, 0, picture_width,
                   picture_height);
    if (format != nullptr) start_enlarging(display, format);

    XMapWindow(connection, display.window);

    display.text_gc = XCreateGC(connection, display.window, GCGraphicsExposures, &values);
    display.wide_gc = XCreateGC(connection, display.window, GCGraphicsExposures, &values);
    load_text_font(display);
}

DisplayContext& open_display(int scale) {
    // The one context of the run; it lives until the process exits, which closes the connection.
    static DisplayContext display;
    display.scale = scale;
    open_window(display);
    return display;
}

unsigned long alloc_color(DisplayContext& display, const char* name) {
    if (const NamedPixel* known = find_pixel(display, name)) return known->pixel;
    XColor screen{};
    XColor exact{};
    // A name the server does not know gets black, so the drawing stays visible.
    unsigned long pixel = BlackPixel(display.display, 0);
    if (XAllocNamedColor(display.display, display.colormap, name, &screen, &exact) != 0) {
        pixel = screen.pixel;
    }
    remember_pixel(display, name, pixel);
    return pixel;
}

void set_colors(DisplayContext& display, const char* foreground, const char* background) {
    XSetForeground(display.display, display.text_gc, alloc_color(display, foreground));
    XSetBackground(display.display, display.text_gc, alloc_color(display, background));
}

Pixmap make_bitmap(DisplayContext& display, const unsigned char* bits, int width, int height) {
    return XCreateBitmapFromData(display.display, display.window,
                                 reinterpret_cast<const char*>(bits), static_cast<unsigned>(width),
                                 static_cast<unsigned>(height));
}

void mark_drawn(DisplayContext& display, int x, int y, int width, int height) {
    Area& dirty = display.dirty;
    const Area drawn{std::max(x, 0), std::max(y, 0), std::min(x + width, picture_width),
                     std::min(y + height, picture_height)};
    if (drawn.x1 <= drawn.x0 || drawn.y1 <= drawn.y0) return;
    if (dirty.x1 <= dirty.x0 || dirty.y1 <= dirty.y0) {
        dirty = drawn;
        return;
    }
    dirty = Area{std::min(dirty.x0, drawn.x0), std::min(dirty.y0, drawn.y0),
                 std::max(dirty.x1, drawn.x1), std::max(dirty.y1, drawn.y1)};
}

void repaint_exposed(DisplayContext& display, const XExposeEvent& exposed) {
    // Every picture pixel the exposed rectangle touches, rounding outwards.
    const int n = display.scale;
    const int x0 = exposed.x / n;
    const int y0 = exposed.y / n;
    copy_to_window(display, Area{x0, y0, (exposed.x + exposed.width + n - 1) / n,
                                 (exposed.y + exposed.height + n - 1) / n});
}

void flush_display(DisplayContext& display) {
    copy_to_window(display, display.dirty);
    display.dirty = Area{};
    XFlush(display.display);
}

void clear_window(DisplayContext& display) {
    XFillRectangle(display.display, display.picture, display.copy_gc, 0, 0, picture_width,
                   picture_height);
    mark_drawn(display, 0, 0, picture_width, picture_height);
}

void on_connection_lost(void (*callback)()) {
    connection_lost = callback;
}
