#include "record/line.hpp"

#include <array>
#include <cstdio>
#include <cstring>

#include "rules/gamble.hpp"
#include "rules/money.hpp"
#include "strategy/strategy.hpp"

namespace {

constexpr int field_count = 16;

// The category's word in the line, by row of payout_table, then the word of no win.
constexpr std::array<std::string_view, category_count + 1> category_words{
    "five-card", "royal-flush", "straight-flush", "four-card", "full-house",
    "flush",     "straight",    "three-card",     "two-pair",  "none"};

constexpr std::array<std::string_view, 4> end_words{"played", "close", "signal", "server"};
constexpr std::array<std::string_view, 3> outcome_words{"won", "lost", "joker"};

std::string_view category_word(HandCategory category) {
    return category == HandCategory::no_win
               ? category_words[category_count]
               : category_words[static_cast<std::size_t>(row_of(category))];
}

// Text put together in a fixed buffer; what does not fit is cut, and the length says so.
struct Writer {
    char* text;
    std::size_t capacity;
    std::size_t length = 0;

    void add(std::string_view part) {
        const std::size_t room = length < capacity ? capacity - length : 0;
        std::memcpy(text + length, part.data(), part.size() < room ? part.size() : room);
        length += part.size();
    }
    void add(std::int64_t number) {
        char digits[24];
        std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(number));
        add(std::string_view(digits));
    }
    void add_cards(const Hand& hand, unsigned positions) {
        add(cards_text(hand, positions).data());
    }
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back: the civil
// calendar counted in eras of 400 years, which repeat exactly.
constexpr std::int64_t days_from_civil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t year_of_era = year - era * 400;
    const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t day_of_era =
        year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

constexpr Civil civil_from_days(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t day_of_era = days - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
    const int day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
    const int month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    return {year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

static_assert(days_from_civil(2000, 3, 1) == 11017);
static_assert(civil_from_days(11017).year == 2000 && civil_from_days(11017).month == 3);

// A whole number of digits alone, within the limits; false for anything else.
bool parse_number(std::string_view text, std::int64_t lowest, std::int64_t highest,
                  std::int64_t& number) {
    if (text.empty() || text.size() > 18) return false;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < lowest || value > highest) return false;
    number = value;
    return true;
}

bool parse_int32(std::string_view text, std::int32_t& number) {
    std::int64_t value = 0;
    if (!parse_number(text, 0, 0x7FFFFFFF, value)) return false;
    number = static_cast<std::int32_t>(value);
    return true;
}

template <std::size_t size>
bool parse_word(std::string_view text, const std::array<std::string_view, size>& words,
                int& index) {
    for (std::size_t i = 0; i < size; ++i) {
        if (text == words[i]) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

// The hold's cards, which must be cards of the deal in the deal's order, as the mask of their
// positions.
bool parse_held(std::string_view text, const Hand& first, std::uint8_t& held) {
    Hand cards{};
    const int count = parse_cards(text, cards.data(), hand_size);
    if (count < 0) return false;
    held = 0;
    int position = 0;
    for (int i = 0; i < count; ++i) {
        while (position < hand_size &&
               !(first[static_cast<std::size_t>(position)] == cards[static_cast<std::size_t>(i)]))
            ++position;
        if (position == hand_size) return false;
        held = static_cast<std::uint8_t>(held | 1U << position++);
    }
    return true;
}

// "7h 9d won", "Jk joker", "Qs 3h lost", separated by commas, and "+N" for gambles not listed.
bool parse_gambles(std::string_view text, GameLog& game) {
    game.gamble_count = 0;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (item.starts_with('+')) {
            std::int64_t more = 0;
            if (!text.empty() || game.gamble_count != logged_gamble_capacity ||
                !parse_number(item.substr(1), 1, 1 << 30, more)) {
                return false;
            }
            game.gamble_count += static_cast<int>(more);
            return true;
        }
        if (game.gamble_count == logged_gamble_capacity) return false;
        GambleLog& gamble = game.gambles[static_cast<std::size_t>(game.gamble_count++)];
        const std::size_t last_blank = item.rfind(' ');
        if (last_blank == std::string_view::npos) return false;
        int outcome = 0;
        if (!parse_word(item.substr(last_blank + 1), outcome_words, outcome)) return false;
        gamble.outcome = static_cast<GambleOutcome>(outcome);
        std::array<Card, 2> cards{no_card, no_card};
        const int count = parse_cards(item.substr(0, last_blank), cards.data(), 2);
        if (count != (gamble.outcome == GambleOutcome::joker ? 1 : 2)) return false;
        gamble.dealer = cards[0];
        gamble.picked = cards[1];
    }
    return true;
}

bool distinct(const Card* cards, int count) {
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            if (cards[i] == cards[j]) return false;
        }
    }
    return true;
}

bool has_card(const Hand& hand, Card card) {
    for (const Card held : hand) {
        if (held == card) return true;
    }
    return false;
}

// The draw kept the held cards where they were and replaced the others from the rest of the deck.
bool draw_is_consistent(const GameLog& game) {
    if (!distinct(game.final.data(), hand_size)) return false;
    for (int p = 0; p < hand_size; ++p) {
        const auto at = static_cast<std::size_t>(p);
        const bool kept = (game.held >> p & 1U) != 0;
        if (kept ? !(game.final[at] == game.first[at]) : has_card(game.first, game.final[at])) {
            return false;
        }
    }
    return game.category == evaluate_hand(game.final) &&
           game.win == saturating_mul(payout_multiplier(game.category), game.bet);
}

// Each gamble settled as the rules say, and only the last may have lost the win.
bool gambles_are_consistent(const GameLog& game) {
    const int listed =
        game.gamble_count < logged_gamble_capacity ? game.gamble_count : logged_gamble_capacity;
    if (game.gamble_count > 0 && game.win == 0) return false;
    for (int i = 0; i < listed; ++i) {
        const GambleLog& gamble = game.gambles[static_cast<std::size_t>(i)];
        if (gamble.outcome == GambleOutcome::lost && i + 1 != game.gamble_count) return false;
        if (gamble.outcome == GambleOutcome::joker) {
            if (!is_joker(gamble.dealer)) return false;
            continue;
        }
        if (is_joker(gamble.dealer) || dealer_card_redealt(gamble.dealer) ||
            gamble.picked == gamble.dealer) {
            return false;
        }
        const bool won = gamble_factor(gamble.dealer, gamble.picked) != 0;
        if (won != (gamble.outcome == GambleOutcome::won)) return false;
    }
    return true;
}

bool last_gamble_lost(const GameLog& game) {
    return game.gamble_count > 0 && game.gamble_count <= logged_gamble_capacity &&
           game.gambles[static_cast<std::size_t>(game.gamble_count - 1)].outcome ==
               GambleOutcome::lost;
}

// A played game took what the gambles left; one ended early took that or nothing. Past the listed
// gambles the amount cannot be followed.
bool taken_is_consistent(const GameLog& game, GameEnd end) {
    if (game.gamble_count > logged_gamble_capacity) return true;
    const std::int32_t left = win_after_gambles(game);
    if (end == GameEnd::played) return game.taken == left;
    return game.taken == 0 || game.taken == left;
}

}  // namespace

std::int32_t win_after_gambles(const GameLog& game) {
    if (last_gamble_lost(game)) return 0;
    std::int32_t win = game.win;
    const int listed =
        game.gamble_count < logged_gamble_capacity ? game.gamble_count : logged_gamble_capacity;
    for (int i = 0; i < listed; ++i) {
        const GambleLog& gamble = game.gambles[static_cast<std::size_t>(i)];
        win = saturating_mul(win, gamble_factor(gamble.dealer, gamble.picked));
    }
    return win;
}

int format_time(char (&text)[time_text_capacity], std::int64_t time) {
    const std::int64_t days = (time >= 0 ? time : time - 86399) / 86400;
    const std::int64_t seconds = time - days * 86400;
    const Civil date = civil_from_days(days);
    return std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ",
                         static_cast<long long>(date.year), date.month, date.day,
                         static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                         static_cast<int>(seconds % 60));
}

bool parse_time(std::string_view text, std::int64_t& time) {
    // Every character is where "2024-05-01T12:34:56Z" has it, digits where it has digits.
    constexpr std::string_view pattern = "0000-00-00T00:00:00Z";
    if (text.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == '0' ? !digit : text[i] != pattern[i]) return false;
    }
    const auto number = [&](std::size_t at, std::size_t count) {
        int value = 0;
        for (std::size_t i = at; i < at + count; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
        return false;
    }
    const std::int64_t days = days_from_civil(year, month, day);
    if (civil_from_days(days).day != day) return false;  // no 31st of April
    time = days * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

int format_history_line(char (&text)[history_line_capacity], const HistoryLine& line) {
    const GameLog& game = line.game;
    Writer out{text, sizeof text - 1};
    char time[time_text_capacity];
    format_time(time, line.time);
    out.add(time);
    out.add("\t");
    out.add(line.run.start);
    out.add("-");
    out.add(line.run.process);
    out.add(line.trainer ? "\ttrainer\t" : "\tnormal\t");
    out.add(game.bet);
    out.add("\t");
    out.add_cards(game.first, every_position);
    out.add("\t");
    if (game.drawn) {
        out.add_cards(game.first, game.held);
        out.add("\t");
        out.add_cards(game.final, every_position);
        out.add("\t");
        out.add(category_word(game.category));
    } else {
        out.add("\t\t");
    }
    out.add("\t");
    out.add(game.win);
    out.add("\t");
    const int listed =
        game.gamble_count < logged_gamble_capacity ? game.gamble_count : logged_gamble_capacity;
    for (int i = 0; i < listed; ++i) {
        const GambleLog& gamble = game.gambles[static_cast<std::size_t>(i)];
        if (i > 0) out.add(",");
        out.add(card_text(gamble.dealer).data());
        if (gamble.outcome != GambleOutcome::joker) {
            out.add(" ");
            out.add(card_text(gamble.picked).data());
        }
        out.add(" ");
        out.add(outcome_words[static_cast<std::size_t>(gamble.outcome)]);
    }
    if (game.gamble_count > listed) {
        out.add(",+");
        out.add(game.gamble_count - listed);
    }
    for (const std::int64_t amount : {std::int64_t{game.taken}, std::int64_t{game.credit_before},
                                      std::int64_t{game.credit_after}}) {
        out.add("\t");
        out.add(amount);
    }
    out.add("\t");
    out.add(end_words[static_cast<std::size_t>(line.end)]);
    if (line.end != GameEnd::played) out.add(game.taken > 0 ? ":taken" : ":lost");
    out.add("\t");
    if (game.drawn) {
        out.add(line.hold_value);
        out.add("\t");
        out.add(line.best_value);
    } else {
        out.add("\t");
    }
    out.add("\n");
    const std::size_t length = out.length < sizeof text - 1 ? out.length : sizeof text - 1;
    text[length] = '\0';
    return static_cast<int>(length);
}

bool parse_history_line(std::string_view text, HistoryLine& line) {
    std::array<std::string_view, field_count> fields{};
    for (int i = 0; i < field_count; ++i) {
        const std::size_t tab = text.find('\t');
        if ((tab == std::string_view::npos) != (i == field_count - 1)) return false;
        fields[static_cast<std::size_t>(i)] = text.substr(0, tab);
        if (tab != std::string_view::npos) text.remove_prefix(tab + 1);
    }
    line = HistoryLine{};
    GameLog& game = line.game;
    game.dealt = true;
    game.settled = true;
    const std::string_view run = fields[1];
    const std::size_t dash = run.find('-');
    if (!parse_time(fields[0], line.time) || dash == std::string_view::npos ||
        !parse_number(run.substr(0, dash), 0, std::int64_t{1} << 40, line.run.start) ||
        !parse_number(run.substr(dash + 1), 1, 0x7FFFFFFF, line.run.process)) {
        return false;
    }
    if (fields[2] != "normal" && fields[2] != "trainer") return false;
    line.trainer = fields[2] == "trainer";
    if (!parse_int32(fields[3], game.bet) ||
        parse_cards(fields[4], game.first.data(), hand_size) != hand_size) {
        return false;
    }
    game.drawn = !fields[6].empty();
    int category = category_count;
    if (game.drawn) {
        if (!parse_held(fields[5], game.first, game.held) ||
            parse_cards(fields[6], game.final.data(), hand_size) != hand_size ||
            !parse_word(fields[7], category_words, category)) {
            return false;
        }
        game.category =
            category == category_count ? HandCategory::no_win : category_of_row(category);
    } else if (!fields[5].empty() || !fields[7].empty()) {
        return false;
    }
    if (!parse_int32(fields[8], game.win) || !parse_gambles(fields[9], game) ||
        !parse_int32(fields[10], game.taken) || !parse_int32(fields[11], game.credit_before) ||
        !parse_int32(fields[12], game.credit_after)) {
        return false;
    }
    const std::string_view end = fields[13];
    const std::size_t colon = end.find(':');
    int end_index = 0;
    if (!parse_word(end.substr(0, colon), end_words, end_index)) return false;
    line.end = static_cast<GameEnd>(end_index);
    const std::string_view settled =
        colon == std::string_view::npos ? std::string_view{} : end.substr(colon + 1);
    if (line.end == GameEnd::played ? colon != std::string_view::npos
                                    : settled != (game.taken > 0 ? "taken" : "lost")) {
        return false;
    }
    if (!game.drawn) return fields[14].empty() && fields[15].empty();
    return parse_number(fields[14], 0, std::int64_t{1} << 40, line.hold_value) &&
           parse_number(fields[15], 0, std::int64_t{1} << 40, line.best_value);
}

bool line_is_consistent(HistoryLine& line) {
    const GameLog& game = line.game;
    if (game.bet < 1 || game.bet > game.credit_before || !distinct(game.first.data(), hand_size)) {
        return false;
    }
    if (game.drawn ? !draw_is_consistent(game)
                   : game.win != 0 || game.gamble_count != 0 || line.end == GameEnd::played) {
        return false;
    }
    if (!gambles_are_consistent(game) || !taken_is_consistent(game, line.end) ||
        game.credit_after != saturating_add(game.credit_before - game.bet, game.taken)) {
        return false;
    }
    if (!game.drawn) return line.hold_value == 0 && line.best_value == 0;
    HoldValues values{};
    if (!game_hold_values(game.first, values)) return false;
    line.best_hold = static_cast<std::uint8_t>(values.best);
    return line.hold_value == values.value[game.held] &&
           line.best_value == values.value[values.best];
}

LineKind read_history_text(std::string_view text, bool complete, HistoryLine& line) {
    if (complete && (text.empty() || text.starts_with('#'))) return LineKind::comment;
    return complete && parse_history_line(text, line) && line_is_consistent(line)
               ? LineKind::game
               : LineKind::damaged;
}
