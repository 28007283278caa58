// The review of the holds that were not the best (poker --review): each with the best hold of its
// deal and what it gave away, costliest first, in text and as JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/line.hpp"

struct CostlyHold {
    std::int64_t time = 0;
    std::int32_t bet = 0;
    Hand first{};
    std::uint8_t held = 0;
    std::uint8_t best = 0;  // the best hold, as the hint marks it
    std::int64_t cost = 0;  // what the hold gave away per unit bet, in units of value_denominator
};

// Notes the game's hold if it was not a best one; the line has been checked.
void add_costly_hold(std::vector<CostlyHold>& holds, const HistoryLine& line);

// The costliest first (the earlier first among equal ones), all of them or the first few.
inline constexpr std::size_t review_length = 20;
void order_costliest(std::vector<CostlyHold>& holds, bool all);

// The holds listed, with a last line saying how many there are in all.
std::string review_text(const std::vector<CostlyHold>& holds, std::size_t total);
std::string review_json(const std::vector<CostlyHold>& holds);
