// The record page: the player's lifetime figures as text, and the credit over the last games as
// a plot of one pixel column a game.
#include <algorithm>

#include "display/context.hpp"

namespace {

constexpr int first_baseline = 10;
constexpr int line_spacing = 10;
// The plot fills the picture below the text, each column rising from the bottom row as far as
// its credit reaches between the lowest and the highest credit shown.
constexpr int plot_top = first_baseline + line_spacing * (record_line_count - 1) + 6;
constexpr int plot_bottom = picture_height - 2;
constexpr int plot_height = plot_bottom - plot_top + 1;

int column_height(std::int32_t credit, std::int32_t lowest, std::int32_t highest) {
    if (highest == lowest) return plot_height / 2;
    const std::int64_t above = std::int64_t{credit} - lowest;
    return 1 + static_cast<int>(above * (plot_height - 1) / (std::int64_t{highest} - lowest));
}

}  // namespace

void draw_record_page(DisplayContext& display, const RecordPage& page) {
    clear_window(display);
    set_colors(display, "black", "white");
    for (int line = 0; line < record_line_count; ++line) {
        draw_text(display, 1, first_baseline + line_spacing * line,
                  page.lines[static_cast<std::size_t>(line)].data());
    }
    const int columns = std::clamp(page.columns, 0, record_columns);
    if (columns > 0) {
        const auto shown = page.credit.begin() + columns;
        const std::int32_t lowest = *std::min_element(page.credit.begin(), shown);
        const std::int32_t highest = *std::max_element(page.credit.begin(), shown);
        // Solid fills: the cards leave the context stippled, and set it so again themselves. One
        // colour at a time, since a colour may cost a round trip to the server.
        XSetFillStyle(display.display, display.text_gc, FillSolid);
        for (const bool this_run : {false, true}) {
            set_colors(display, this_run ? "red" : "blue", "white");
            for (int x = 0; x < columns; ++x) {
                const auto at = static_cast<std::size_t>(x);
                if (page.this_run[at] != this_run) continue;
                const int height = column_height(page.credit[at], lowest, highest);
                XFillRectangle(display.display, display.picture, display.text_gc, x,
                               plot_bottom + 1 - height, 1, static_cast<unsigned>(height));
            }
        }
        mark_drawn(display, 0, plot_top, columns, plot_height);
    }
    flush_display(display);
}
