#include "record/review.hpp"

#include <algorithm>
#include <cstdio>

#include "report/json.hpp"
#include "strategy/strategy.hpp"

namespace {

// The cost in bets, rounded to the given number of decimals.
std::string cost_text(const CostlyHold& hold, int digits) {
    char text[number_text_capacity];
    format_decimal(text, make_fraction(hold.cost, value_denominator), digits);
    return text;
}

std::string cards(const Hand& hand, unsigned positions) {
    return cards_text(hand, positions).data();
}

}  // namespace

void add_costly_hold(std::vector<CostlyHold>& holds, const HistoryLine& line) {
    const GameLog& game = line.game;
    if (!game.drawn || line.hold_value == line.best_value) return;
    holds.push_back(CostlyHold{line.time, game.bet, game.first, game.held, line.best_hold,
                               line.best_value - line.hold_value});
}

void order_costliest(std::vector<CostlyHold>& holds, bool all) {
    const auto costlier = [](const CostlyHold& a, const CostlyHold& b) { return a.cost > b.cost; };
    if (all || holds.size() <= review_length) {
        std::stable_sort(holds.begin(), holds.end(), costlier);
        return;
    }
    // Among equal costs the earlier game comes first, as the stable sort has it.
    const auto earlier_among_equals = [](const CostlyHold& a, const CostlyHold& b) {
        return a.cost != b.cost ? a.cost > b.cost : a.time < b.time;
    };
    std::partial_sort(holds.begin(), holds.begin() + review_length, holds.end(),
                      earlier_among_equals);
    holds.resize(review_length);
}

std::string review_text(const std::vector<CostlyHold>& holds, std::size_t total) {
    std::string out;
    char text[160];
    if (!holds.empty()) {
        std::snprintf(text, sizeof text, "%-16s %5s  %-14s  %-14s  %-14s  %s\n", "When (UTC)",
                      "Bet", "Dealt", "Held", "Best hold", "Gave away");
        out += text;
    }
    for (const CostlyHold& hold : holds) {
        char time[time_text_capacity];
        format_time(time, hold.time);
        time[10] = ' ';
        time[16] = '\0';
        std::snprintf(text, sizeof text, "%-16s %5ld  %-14s  %-14s  %-14s  %s bets\n", time,
                      static_cast<long>(hold.bet), cards(hold.first, every_position).c_str(),
                      cards(hold.first, hold.held).c_str(), cards(hold.first, hold.best).c_str(),
                      cost_text(hold, 2).c_str());
        out += text;
    }
    if (total == 0) {
        out += "Every hold in the history was a best hold.\n";
    } else {
        std::snprintf(text, sizeof text, "%zu of %zu holds that were not the best%s\n",
                      holds.size(), total,
                      holds.size() < total ? ", the costliest (--all for every one)" : "");
        out += text;
    }
    return out;
}

std::string review_json(const std::vector<CostlyHold>& holds) {
    Json json;
    json_begin_array(json);
    for (const CostlyHold& hold : holds) {
        json_begin_object(json);
        char time[time_text_capacity];
        format_time(time, hold.time);
        json_key(json, "time");
        json_string(json, time);
        json_key(json, "bet");
        json_integer(json, hold.bet);
        json_key(json, "dealt");
        json_string(json, cards(hold.first, every_position));
        json_key(json, "held");
        json_string(json, cards(hold.first, hold.held));
        json_key(json, "best");
        json_string(json, cards(hold.first, hold.best));
        json_key(json, "cost");
        json_number_text(json, cost_text(hold, 6));
        json_end_object(json);
    }
    json_end_array(json);
    return json_finish(json);
}
