#include "record/figures.hpp"

#include <cstdio>

#include "report/json.hpp"

namespace {

std::string decimal(const Fraction& value, int digits) {
    char text[number_text_capacity];
    format_decimal(text, value, digits);
    return text;
}

std::string percent(Wide part, Wide whole) {
    char text[percent_text_capacity];
    format_percent(text, part, whole);
    return text;
}

std::string given_away(const Figures& figures) {
    return decimal(make_fraction(figures.best_value - figures.made_value, value_denominator), 2);
}

Fraction expected_hits(const Figures& figures, const TableAnalysis& table, int row) {
    return Fraction{figures.drawn, 1} * table.probability[static_cast<std::size_t>(row)];
}

std::string date_text(std::int64_t time) {
    char text[time_text_capacity];
    format_time(text, time);
    // "2024-05-01T12:34:56Z" read as "2024-05-01 12:34".
    text[10] = ' ';
    text[16] = '\0';
    return text;
}

// The payout table's name of a row without its padding.
std::string row_name(int row) {
    std::string name = payout_table[static_cast<std::size_t>(row)].name;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

}  // namespace

void add_game(Figures& figures, const HistoryLine& line) {
    const GameLog& game = line.game;
    if (figures.hands == 0 || !(line.run == recent_game(figures, figures.recent_count - 1).run)) {
        figures.runs += 1;
    } else if (game.credit_before != recent_game(figures, figures.recent_count - 1).credit) {
        figures.gaps += 1;
    }
    if (figures.hands == 0) figures.first = line.time;
    figures.last = line.time;
    figures.hands += 1;
    figures.staked += game.bet;
    figures.won += game.win;
    figures.taken += game.taken;
    if (game.taken > figures.largest_take) figures.largest_take = game.taken;
    if (game.drawn) {
        figures.drawn += 1;
        if (game.category == HandCategory::no_win) {
            figures.no_win += 1;
        } else {
            figures.categories[static_cast<std::size_t>(row_of(game.category))] += 1;
        }
        if (line.hold_value == line.best_value) figures.best_holds += 1;
        figures.made_value += Wide{line.hold_value} * game.bet;
        figures.best_value += Wide{line.best_value} * game.bet;
    }
    if (game.gamble_count > 0) {
        figures.gambles_added += game.taken - game.win;
        figures.gambles.played += game.gamble_count;
        const int listed =
            game.gamble_count < logged_gamble_capacity ? game.gamble_count : logged_gamble_capacity;
        // Past the listed gambles every one was won: only the last may lose.
        figures.gambles.won += game.gamble_count - listed;
        for (int i = 0; i < listed; ++i) {
            switch (game.gambles[static_cast<std::size_t>(i)].outcome) {
                case GambleOutcome::won:
                    figures.gambles.won += 1;
                    break;
                case GambleOutcome::lost:
                    figures.gambles.lost += 1;
                    break;
                case GambleOutcome::joker:
                    figures.gambles.joker += 1;
                    break;
            }
        }
    }
    const PlotPoint point{game.credit_after, line.run};
    if (figures.recent_count < plot_capacity) {
        figures.recent[static_cast<std::size_t>(figures.recent_count++)] = point;
    } else {
        figures.recent[static_cast<std::size_t>(figures.recent_start)] = point;
        figures.recent_start = (figures.recent_start + 1) % plot_capacity;
    }
}

const PlotPoint& recent_game(const Figures& figures, int i) {
    return figures.recent[static_cast<std::size_t>((figures.recent_start + i) % plot_capacity)];
}

int format_percent(char (&text)[percent_text_capacity], Wide part, Wide whole) {
    if (whole == 0) return std::snprintf(text, sizeof text, "-");
    char number[number_text_capacity];
    format_decimal(number, make_fraction(part * 100, whole), 2);
    return std::snprintf(text, sizeof text, "%s%%", number);
}

double played_share(const Figures& figures) {
    if (figures.best_value == 0) return 0;
    return static_cast<double>(figures.made_value) / static_cast<double>(figures.best_value);
}

TableAnalysis game_table_analysis() {
    return analyse_pay_table(game_pay_table());
}

std::string figures_text(const Figures& figures, const TableAnalysis& table) {
    char text[160];
    std::string out;
    const auto add = [&](int length) {
        if (length > 0) out.append(text, static_cast<std::size_t>(length));
    };
    const std::string perfect = decimal(table.perfect_return * Fraction{100, 1}, 2) + "%";
    if (figures.hands == 0) {
        add(std::snprintf(text, sizeof text, "No games in the history yet.\n"));
    } else {
        add(std::snprintf(text, sizeof text, "%lld hands in %lld run%s, from %s to %s UTC\n",
                          static_cast<long long>(figures.hands),
                          static_cast<long long>(figures.runs), figures.runs == 1 ? "" : "s",
                          date_text(figures.first).c_str(), date_text(figures.last).c_str()));
    }
    add(std::snprintf(text, sizeof text,
                      "Staked %lld credits, paid %lld: a return of %s, perfect play %s\n",
                      static_cast<long long>(figures.staked), static_cast<long long>(figures.won),
                      percent(figures.won, figures.staked).c_str(), perfect.c_str()));
    add(std::snprintf(text, sizeof text, "Taken %lld credits, the largest take %lld\n",
                      static_cast<long long>(figures.taken),
                      static_cast<long long>(figures.largest_take)));
    add(std::snprintf(text, sizeof text, "%-12s %10s %14s\n", "Hand", "Hits", "Perfect play"));
    for (int row = 0; row <= category_count; ++row) {
        const bool paying = row < category_count;
        add(std::snprintf(
            text, sizeof text, "%-12s %10lld %14s\n", paying ? row_name(row).c_str() : "No win",
            static_cast<long long>(paying ? figures.categories[static_cast<std::size_t>(row)]
                                          : figures.no_win),
            decimal(expected_hits(figures, table, row), 1).c_str()));
    }
    add(std::snprintf(
        text, sizeof text,
        "Gambles: %lld played, %lld won, %lld lost, %lld dealer's jokers; they "
        "added %lld credits\n",
        static_cast<long long>(figures.gambles.played), static_cast<long long>(figures.gambles.won),
        static_cast<long long>(figures.gambles.lost), static_cast<long long>(figures.gambles.joker),
        static_cast<long long>(figures.gambles_added)));
    add(std::snprintf(text, sizeof text,
                      "Best holds: %lld of %lld; the others gave away %s credits\n",
                      static_cast<long long>(figures.best_holds),
                      static_cast<long long>(figures.drawn), given_away(figures).c_str()));
    add(std::snprintf(text, sizeof text, "Share of perfect play's value: %s\n",
                      percent(figures.made_value, figures.best_value).c_str()));
    if (figures.damaged > 0 || figures.gaps > 0) {
        add(std::snprintf(text, sizeof text,
                          "Skipped %lld damaged lines; %lld lines do not follow on in their run\n",
                          static_cast<long long>(figures.damaged),
                          static_cast<long long>(figures.gaps)));
    }
    return out;
}

std::string figures_json(const Figures& figures, const TableAnalysis& table) {
    Json json;
    json_begin_object(json);
    const auto integer = [&](const char* key, std::int64_t value) {
        json_key(json, key);
        json_integer(json, value);
    };
    const auto time = [&](const char* key, std::int64_t value) {
        json_key(json, key);
        if (figures.hands == 0) {
            json_null(json);
            return;
        }
        char text[time_text_capacity];
        format_time(text, value);
        json_string(json, text);
    };
    integer("hands", figures.hands);
    integer("runs", figures.runs);
    time("first", figures.first);
    time("last", figures.last);
    integer("staked", figures.staked);
    integer("won", figures.won);
    integer("taken", figures.taken);
    json_key(json, "categories");
    json_begin_array(json);
    for (const std::int64_t count : figures.categories)
        json_integer(json, count);
    json_end_array(json);
    integer("no_win", figures.no_win);
    json_key(json, "expected");
    json_begin_array(json);
    for (int row = 0; row < category_count; ++row)
        json_number_text(json, decimal(expected_hits(figures, table, row), 6));
    json_end_array(json);
    integer("drawn", figures.drawn);
    integer("largest_take", figures.largest_take);
    json_key(json, "gambles");
    json_begin_object(json);
    integer("played", figures.gambles.played);
    integer("won", figures.gambles.won);
    integer("lost", figures.gambles.lost);
    integer("joker", figures.gambles.joker);
    integer("added", figures.gambles_added);
    json_end_object(json);
    integer("best_holds", figures.best_holds);
    json_key(json, "given_away");
    json_number_text(
        json,
        decimal(make_fraction(figures.best_value - figures.made_value, value_denominator), 6));
    json_key(json, "played_share");
    json_number(json, played_share(figures));
    json_key(json, "return");
    json_number_text(
        json, figures.staked == 0 ? "0" : decimal(make_fraction(figures.won, figures.staked), 6));
    json_key(json, "perfect_return");
    json_number_text(json, decimal(table.perfect_return, 6));
    integer("damaged", figures.damaged);
    integer("gaps", figures.gaps);
    json_end_object(json);
    return json_finish(json);
}
