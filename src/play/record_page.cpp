// The record page of the window: the key s while betting with nothing staked shows the player's
// lifetime figures and the credit over the last games in place of the table, read from the hand
// history; any key or click brings the table back.
#include <cstdio>

#include "play/messages.hpp"
#include "play/record.hpp"
#include "play/run.hpp"

namespace {

// The page's text is 22 cells of the 5x7 font across.
constexpr int line_cells = 22;

void set_line(RecordPage& page, int line, const char* label, const char* value) {
    char text[160];
    std::snprintf(text, sizeof text, "%-12s%10s", label, value);
    std::snprintf(page.lines[static_cast<std::size_t>(line)].data(),
                  page.lines[static_cast<std::size_t>(line)].size(), "%.*s", line_cells, text);
}

// Perfect play's return under the game's table, worked out the first time the page is shown.
const Fraction& perfect_return() {
    static const Fraction perfect = game_table_analysis().perfect_return;
    return perfect;
}

void fill_page(RecordPage& page, const Figures& figures, const RunId& this_run) {
    char value[percent_text_capacity];
    std::snprintf(value, sizeof value, "%lld", static_cast<long long>(figures.hands));
    set_line(page, 0, "Hands", value);
    format_percent(value, figures.won, figures.staked);
    set_line(page, 1, "Return", value);
    format_percent(value, perfect_return().numerator, perfect_return().denominator);
    set_line(page, 2, "Perfect play", value);
    std::snprintf(value, sizeof value, "%lld", static_cast<long long>(figures.best_holds));
    set_line(page, 3, "Best holds", value);
    format_percent(value, figures.made_value, figures.best_value);
    set_line(page, 4, "Value kept", value);
    page.columns = figures.recent_count < record_columns ? figures.recent_count : record_columns;
    const int first = figures.recent_count - page.columns;
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
    for (int column = 0; column < page.columns; ++column) {
        const PlotPoint& game = recent_game(figures, first + column);
        const auto at = static_cast<std::size_t>(column);
        page.credit[at] = game.credit;
        page.this_run[at] = game.run == this_run;
        if (column == 0 || game.credit < lowest) lowest = game.credit;
        if (column == 0 || game.credit > highest) highest = game.credit;
    }
    char text[64];
    if (page.columns == 0) {
        std::snprintf(text, sizeof text, "No games yet");
    } else {
        std::snprintf(text, sizeof text, "Credit %ld to %ld", static_cast<long>(lowest),
                      static_cast<long>(highest));
    }
    std::snprintf(page.lines[5].data(), page.lines[5].size(), "%.*s", line_cells, text);
}

}  // namespace

bool show_record_page(Run& run) {
    // Static: the figures hold the last games' ring, and nothing of the page is on the stack
    // that need not be.
    static Figures figures;
    static RecordPage page;
    figures = Figures{};
    page = RecordPage{};
    read_record(run.history->name, figures, nullptr);
    fill_page(page, figures, run.history->run);
    draw_record_page(*run.display, page);
    if (wait_button(*run.display, record_panel) == close_request) return false;
    // The table comes back as a game begins: while betting with nothing staked it shows nothing
    // else.
    Event table{};
    table.kind = EventKind::game_begun;
    table.money = Money{run.state->bet, run.state->win, run.state->credit};
    table.settled = run.settled;
    show_event(run, table);
    return true;
}
