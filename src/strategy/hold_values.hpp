// The hint's older form of best_hold, for the hold phase until it takes best_hold's mask.
#pragma once

#include <array>
#include <cstdint>

#include "strategy/strategy.hpp"

// FIXME: goes once the hold phase calls best_hold. The first best hold as hold flags (1 held, 0
// not); false, with the flags untouched, unless the hand holds five different cards.
bool best_hold_flags(const Hand& hand, std::array<std::int8_t, hand_size>& flags);
