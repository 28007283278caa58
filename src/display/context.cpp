// The window and its drawing context: the connection and its error handlers, the window with its
// hints and the properties a desktop reads, the picture it shows at any window size (enlarged
// with XRender above scale 1), the two text contexts and their font, colours by name, bitmaps and
// flushing.
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

// The X library's request macros, for make_bitmap; the header's min and max macros would stand in
// for the standard library's.
#include <X11/Xlibint.h>
#undef min
#undef max

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
    // "5x7" is opened without first asking whether the server has it (see open_window): a
    // refusal only means that text comes from the program's own glyphs.
    if (watched != nullptr && connection == watched->display && error->request_code == X_OpenFont &&
        error->error_code == BadName) {
        watched->font_missing = true;
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
        // Not a number, infinity and NaN keep scale 1; a huge number of dots is still the
        // largest scale, bounded before rounding so that it cannot overflow.
        const double dpi = std::strtod(value.addr, nullptr);
        if (std::isfinite(dpi) && dpi > 0) {
            const double steps = std::min(dpi / 96, static_cast<double>(max_scale));
            scale = std::clamp(static_cast<int>(std::lround(steps)), 1, max_scale);
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
void set_enlargement(DisplayContext& display, int scale) {
    XTransform transform{};
    transform.matrix[0][0] = XDoubleToFixed(1);
    transform.matrix[1][1] = XDoubleToFixed(1);
    transform.matrix[2][2] = XDoubleToFixed(scale);
    XRenderSetPictureTransform(display.display, display.render_source, &transform);
}

void start_enlarging(DisplayContext& display, const XRenderPictFormat* format) {
    Display* const connection = display.display;
    auto* const visual_format = const_cast<XRenderPictFormat*>(format);
    display.render_source =
        XRenderCreatePicture(connection, display.picture, visual_format, 0, nullptr);
    display.render_window =
        XRenderCreatePicture(connection, display.window, visual_format, 0, nullptr);
    set_enlargement(display, display.shown.scale);
    XRenderSetPictureFilter(connection, display.render_source, FilterNearest, nullptr, 0);
}

// Whether the picture can be shown enlarged. The server is asked about RENDER only the first time
// a scale above 1 is wanted: two round trips that a window kept at scale 1 never makes.
bool can_enlarge(DisplayContext& display) {
    if (!display.render_asked) {
        display.render_asked = true;
        if (const XRenderPictFormat* format = render_format(display.display)) {
            start_enlarging(display, format);
        }
    }
    return display.render_window != 0;
}

// Copies an area of the picture, clipped to it, to its place in the window: plainly at scale 1,
// enlarged above.
void copy_to_window(DisplayContext& display, Area area) {
    area = Area{std::max(area.x0, 0), std::max(area.y0, 0), std::min(area.x1, picture_width),
                std::min(area.y1, picture_height)};
    if (display.window_gone || area.x1 <= area.x0 || area.y1 <= area.y0) return;
    const auto width = static_cast<unsigned>(area.x1 - area.x0);
    const auto height = static_cast<unsigned>(area.y1 - area.y0);
    const Placement& at = display.shown;
    const int n = at.scale;
    if (display.render_window == 0) {
        XCopyArea(display.display, display.picture, display.window, display.copy_gc, area.x0,
                  area.y0, width, height, at.x + area.x0, at.y + area.y0);
        return;
    }
    XRenderComposite(display.display, PictOpSrc, display.render_source, None, display.render_window,
                     area.x0 * n, area.y0 * n, 0, 0, at.x + area.x0 * n, at.y + area.y0 * n,
                     width * static_cast<unsigned>(n), height * static_cast<unsigned>(n));
}

// The whole window in one go: the white margin round the picture, then the picture, each window
// pixel painted once, so no half-drawn window is ever seen between the two.
void show_whole_window(DisplayContext& display) {
    display.show_whole_window = false;
    if (display.window_gone) return;
    const Placement& at = display.shown;
    const int right = at.x + picture_width * at.scale;
    const int bottom = at.y + picture_height * at.scale;
    const int width = display.window_width;
    const int height = display.window_height;
    const XRectangle margin[] = {
        {0, 0, static_cast<unsigned short>(width), static_cast<unsigned short>(at.y)},
        {0, static_cast<short>(bottom), static_cast<unsigned short>(width),
         static_cast<unsigned short>(std::max(height - bottom, 0))},
        {0, static_cast<short>(at.y), static_cast<unsigned short>(at.x),
         static_cast<unsigned short>(bottom - at.y)},
        {static_cast<short>(right), static_cast<short>(at.y),
         static_cast<unsigned short>(std::max(width - right, 0)),
         static_cast<unsigned short>(bottom - at.y)},
    };
    XFillRectangles(display.display, display.window, display.copy_gc,
                    const_cast<XRectangle*>(margin), 4);
    copy_to_window(display, Area{0, 0, picture_width, picture_height});
}

// The properties by which a desktop knows the window: its class (matched with the menu entry),
// host, process, UTF-8 name and a colour icon from the same bits and colours as the installed PNG
// (black ink on white paper, centred on a transparent 64 by 64 square).
void set_identity(DisplayContext& display) {
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
    XChangeProperty(connection, window, atom(display, WindowAtom::net_wm_name),
                    atom(display, WindowAtom::utf8_string), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(window_title),
                    static_cast<int>(std::strlen(window_title)));
    const long pid = getpid();
    XChangeProperty(connection, window, atom(display, WindowAtom::net_wm_pid), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);

    // _NET_WM_ICON is the side twice, then one ARGB value a pixel.
    constexpr int side = square_side(icon_width, icon_height);
    static std::array<SquarePixel, side * side> canvas;
    unpack_square(icon_bits, icon_width, icon_height, canvas);
    static std::array<long, 2 + side * side> icon;
    icon[0] = side;
    icon[1] = side;
    for (std::size_t at = 0; at < canvas.size(); ++at) {
        const SquarePixel pixel = canvas[at];
        icon[2 + at] = pixel == SquarePixel::outside ? 0
                       : pixel == SquarePixel::ink   ? 0xff000000
                                                     : 0xffffffff;
    }
    XChangeProperty(connection, window, atom(display, WindowAtom::net_wm_icon), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                    static_cast<int>(icon.size()));
}

// Gives both text contexts "5x7" once the server has answered its opening; where it refused,
// text comes from the program's own glyphs.
void use_text_font(DisplayContext& display) {
    Display* const connection = display.display;
    if (display.font_missing) {
        display.text_font = 0;
        display.wide_font = 0;
        display.font_strip = make_bitmap(display, text_glyph_strip.data(),
                                         text_glyph_width * text_glyph_count, text_glyph_height);
        return;
    }
    XSetFont(connection, display.text_gc, display.text_font);
    XSetFont(connection, display.wide_gc, display.wide_font);
}

// On a TrueColor visual the pixel of a colour is its channels, scaled to the visual's masks. The
// colours the game names have every channel fully on or off in the X colour database, so their
// pixels are the masks of the channels that are on, exactly what the server's lookup returns,
// without its round trip. False for another visual or another name: the server looks those up.
struct PrimaryColour {
    const char* name;
    bool red;
    bool green;
    bool blue;
};
constexpr PrimaryColour primary_colours[] = {
    {"black", false, false, false}, {"white", true, true, true},  {"red", true, false, false},
    {"yellow", true, true, false},  {"blue", false, false, true},
};

bool computed_pixel(Display* connection, const char* name, unsigned long& pixel) {
    const Visual* visual = DefaultVisual(connection, 0);
    if (visual->c_class != TrueColor) return false;
    for (const PrimaryColour& colour : primary_colours) {
        if (std::strcmp(colour.name, name) != 0) continue;
        pixel = (colour.red ? visual->red_mask : 0) | (colour.green ? visual->green_mask : 0) |
                (colour.blue ? visual->blue_mask : 0);
        return true;
    }
    return false;
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

Placement place_picture(int window_width, int window_height, int largest_scale) {
    const int fits = std::min(window_width / picture_width, window_height / picture_height);
    const int scale = std::max(1, std::min(fits, largest_scale));
    return Placement{scale, std::max(0, (window_width - picture_width * scale) / 2),
                     std::max(0, (window_height - picture_height * scale) / 2)};
}

bool to_picture(const Placement& placement, int& x, int& y) {
    if (x < placement.x || y < placement.y) return false;
    x = (x - placement.x) / placement.scale;
    y = (y - placement.y) / placement.scale;
    return x < picture_width && y < picture_height;
}

namespace {

// The names of the atoms, in the order of WindowAtom.
const char* const atom_names[] = {
    "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_NAME",  "UTF8_STRING",
    "_NET_WM_PID",  "_NET_WM_ICON",     "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN",
};
static_assert(std::size(atom_names) == window_atom_count, "every atom has its name");

void connect(DisplayContext& display) {
    display.display = XOpenDisplay(display.display_name);
    if (display.display == nullptr) fail_to_open(display.display_name);
    watch_errors(display);
    // Screen 0, not the default screen: the root, the colormap and the window all come from it.
    display.colormap = DefaultColormap(display.display, 0);
}

// Settles the scale the window starts at, from the desktop where none was given, and returns the
// XRender format that enlarges it, or nullptr at scale 1. Without RENDER the scale falls to 1.
const XRenderPictFormat* settle_scale(DisplayContext& display) {
    if (display.scale <= 0) display.scale = desktop_scale(display.display);
    if (display.scale == 1) return nullptr;
    display.render_asked = true;
    const XRenderPictFormat* format = render_format(display.display);
    if (format == nullptr) {
        std::fprintf(stderr, "the X server has no RENDER extension: the window is not enlarged\n");
        display.scale = 1;
    }
    return format;
}

// The window, the picture's size at the starting scale, with a black border on white.
void make_window(DisplayContext& display) {
    Display* const connection = display.display;
    const int width = picture_width * display.scale;
    const int height = picture_height * display.scale;
    display.window_width = width;
    display.window_height = height;
    display.shown = Placement{display.scale, 0, 0};

    display.window = XCreateSimpleWindow(connection, RootWindow(connection, 0), 0, 0, width, height,
                                         border_width, alloc_color(display, "black"),
                                         alloc_color(display, "white"));
    XStoreName(connection, display.window, window_title);
    XSetIconName(connection, display.window, window_title);

    display.attributes.backing_store = Always;
    XChangeWindowAttributes(connection, display.window, CWBackingStore, &display.attributes);

    // StructureNotify brings the window's destruction by another client.
    XSelectInput(connection, display.window,
                 KeyPressMask | ButtonPressMask | ExposureMask | StructureNotifyMask);
}

// What the window manager reads before it maps the window: the icon, the keyboard and the sizes.
void set_hints(DisplayContext& display) {
    Display* const connection = display.display;
    display.icon_pixmap = make_bitmap(display, icon_bits.data(), icon_width, icon_height);
    // The whole bitmap is opaque, as in the installed PNG; without a mask some panels show a box.
    static std::array<unsigned char, icon_width * icon_height / 8> opaque;
    opaque.fill(0xff);
    display.icon_mask = make_bitmap(display, opaque.data(), icon_width, icon_height);
    XWMHints wm_hints{};
    // With the input hint the window manager gives the window the keyboard.
    wm_hints.flags = InputHint | IconPixmapHint | IconPositionHint | IconMaskHint;
    wm_hints.input = True;
    wm_hints.icon_pixmap = display.icon_pixmap;
    wm_hints.icon_mask = display.icon_mask;
    wm_hints.icon_x = 0;
    wm_hints.icon_y = 0;
    XSetWMHints(connection, display.window, &wm_hints);

    // The window takes any size; managers that honour these hints offer whole scales only,
    // rounding a size asked for down to the steps. There is no aspect hint: a manager may meet
    // one by growing the other side past the size asked for, even past the screen, where the
    // lower buttons could not be reached.
    XSizeHints size_hints{};
    size_hints.flags = PMinSize | PResizeInc | PBaseSize;
    size_hints.min_width = picture_width;
    size_hints.min_height = picture_height;
    size_hints.width_inc = picture_width;
    size_hints.height_inc = picture_height;
    XSetWMNormalHints(connection, display.window, &size_hints);
}

// Opens "5x7" and interns the atoms. The font is opened without asking whether the server has
// it: a server that lacks it answers with an error, which comes back before the atoms' replies,
// so the one round trip brings both (see on_x_error).
void load_font_and_atoms(DisplayContext& display) {
    Display* const connection = display.display;
    display.text_font = XLoadFont(connection, text_font_name);
    display.wide_font = XLoadFont(connection, text_font_name);
    XInternAtoms(connection, const_cast<char**>(atom_names), static_cast<int>(window_atom_count),
                 False, display.atoms.data());
    // An error for the font came before the atoms' replies; this makes sure it reached on_x_error.
    XEventsQueued(connection, QueuedAfterReading);
}

// The picture the window shows, white, with the context that fills and copies it; enlarged
// through XRender when a format was found for a starting scale above 1.
void make_picture(DisplayContext& display, const XRenderPictFormat* format) {
    Display* const connection = display.display;
    display.picture = XCreatePixmap(connection, display.window, picture_width, picture_height,
                                    static_cast<unsigned>(DefaultDepth(connection, 0)));
    // No copy or plane copy of the game asks for exposure events: the picture is never hidden.
    XGCValues values{};
    values.graphics_exposures = False;
    values.foreground = alloc_color(display, "white");
    display.copy_gc =
        XCreateGC(connection, display.picture, GCGraphicsExposures | GCForeground, &values);
    XFillRectangle(connection, display.picture, display.copy_gc, 0, 0, picture_width,
                   picture_height);
    if (format != nullptr) start_enlarging(display, format);
}

// The two contexts text is drawn with, in "5x7" or the program's own glyphs.
void make_text_contexts(DisplayContext& display) {
    XGCValues values{};
    values.graphics_exposures = False;
    display.text_gc = XCreateGC(display.display, display.window, GCGraphicsExposures, &values);
    display.wide_gc = XCreateGC(display.display, display.window, GCGraphicsExposures, &values);
    use_text_font(display);
}

}  // namespace

void open_window(DisplayContext& display) {
    connect(display);
    // Black and white are asked for first: on a screen whose colours the server looks up, every
    // later use of them is answered from the colour cache.
    alloc_color(display, "black");
    alloc_color(display, "white");
    const XRenderPictFormat* format = settle_scale(display);
    make_window(display);
    set_hints(display);
    load_font_and_atoms(display);
    // Taking part in WM_DELETE_WINDOW lets the window manager's close button ask the game to end
    // (and save) instead of cutting the connection.
    Atom protocols[] = {atom(display, WindowAtom::wm_delete_window)};
    XSetWMProtocols(display.display, display.window, protocols, 1);
    set_identity(display);
    make_picture(display, format);
    XMapWindow(display.display, display.window);
    make_text_contexts(display);
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
    if (!computed_pixel(display.display, name, pixel) &&
        XAllocNamedColor(display.display, display.colormap, name, &screen, &exact) != 0) {
        pixel = screen.pixel;
    }
    remember_pixel(display, name, pixel);
    return pixel;
}

void set_colors(DisplayContext& display, const char* foreground, const char* background) {
    XSetForeground(display.display, display.text_gc, alloc_color(display, foreground));
    XSetBackground(display.display, display.text_gc, alloc_color(display, background));
}

// The requests of XCreateBitmapFromData, but made so that the X library does not pass the bitmap
// to the cursor library, which would ask the server about RENDER (two round trips) the first time:
// XCreatePixmap would, so the pixmap is made with the library's own request macro, and XPutImage
// would for an image put whole at the origin, so the bits go in two bands.
Pixmap make_bitmap(DisplayContext& display, const unsigned char* bits, int width, int height) {
    Display* const dpy = display.display;  // the name the request macros use
    LockDisplay(dpy);
    xCreatePixmapReq* request = nullptr;
    GetReq(CreatePixmap, request);
    // An identifier is taken under the lock, which makes the next one ready.
    const Pixmap bitmap = XAllocID(dpy);
    request->pid = static_cast<CARD32>(bitmap);
    request->drawable = static_cast<CARD32>(RootWindow(dpy, 0));
    request->width = static_cast<CARD16>(width);
    request->height = static_cast<CARD16>(height);
    request->depth = 1;
    UnlockDisplay(dpy);
    SyncHandle();

    XImage image{};
    image.width = width;
    image.height = height;
    image.format = XYPixmap;
    image.data = const_cast<char*>(reinterpret_cast<const char*>(bits));
    image.byte_order = LSBFirst;
    image.bitmap_unit = 8;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 8;
    image.depth = 1;
    image.bytes_per_line = (width + 7) / 8;
    image.bits_per_pixel = 1;
    const GC gc = XCreateGC(dpy, bitmap, 0, nullptr);
    const int top = height / 2;
    const auto band_width = static_cast<unsigned>(width);
    XPutImage(dpy, bitmap, gc, &image, 0, 0, 0, 0, band_width, static_cast<unsigned>(top));
    XPutImage(dpy, bitmap, gc, &image, 0, top, 0, top, band_width,
              static_cast<unsigned>(height - top));
    XFreeGC(dpy, gc);
    return bitmap;
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
    // The whole window goes out at the next flush anyway.
    if (display.show_whole_window) return;
    // Every picture pixel the exposed rectangle touches, rounding outwards; the server has
    // painted the exposed margin in the window's white background already.
    const Placement& at = display.shown;
    const int n = at.scale;
    const int x = exposed.x - at.x;
    const int y = exposed.y - at.y;
    copy_to_window(display, Area{x / n, y / n, (x + exposed.width + n - 1) / n,
                                 (y + exposed.height + n - 1) / n});
}

void resize_window(DisplayContext& display, int width, int height) {
    if (width == display.window_width && height == display.window_height) return;
    display.window_width = width;
    display.window_height = height;
    Placement placement = place_picture(width, height, max_scale);
    if (placement.scale > 1 && !can_enlarge(display)) placement = place_picture(width, height, 1);
    if (display.render_source != 0 && placement.scale != display.shown.scale) {
        set_enlargement(display, placement.scale);
    }
    display.shown = placement;
    display.show_whole_window = true;
}

void toggle_fullscreen(DisplayContext& display) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = display.window;
    event.xclient.message_type = atom(display, WindowAtom::net_wm_state);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // _NET_WM_STATE_TOGGLE
    event.xclient.data.l[1] = static_cast<long>(atom(display, WindowAtom::net_wm_state_fullscreen));
    event.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(display.display, RootWindow(display.display, 0), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void flush_display(DisplayContext& display) {
    if (display.show_whole_window) {
        show_whole_window(display);
    } else {
        copy_to_window(display, display.dirty);
    }
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
