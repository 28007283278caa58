// The hands of the rules as card literals with their categories, by kind of hand: the evaluation
// tests check them, the strategy tests check the holds of each.
#pragma once

#include "rules/evaluate.hpp"

struct HandCase {
    const char* hand;
    HandCategory category;
};

namespace hand_cases {
using enum HandCategory;

// One hand a line, as clang-format would pack them otherwise.
// clang-format off
inline constexpr HandCase group_hands[] = {
    {"Jk Kh Ks Kc Kd", five_card},  // joker with four kings: five of a kind
    {"Kh Jk Ks Kc 2d", four_card},  // joker with three kings
    {"Kh Ks Kc Kd 2d", four_card},
    {"2h 2s 2c 2d Jk", five_card},
    {"Ah As Ac Ad Jk", five_card},
    {"3h 3s 3c 9d 9h", full_house},
    {"9h 9s 3c 3d 3h", full_house},  // the pair sorts first: group one 2, group two 3
    {"Jk 9s 9c 3d 3h", full_house},  // the joker with two pair
    {"Jk 9s 9c 9d 3h", four_card},  // the joker with three of a kind
    {"4h 4s 4c 9d Qh", three_card},
    {"Jk 4s 4c 9d Qh", three_card},  // the joker with one pair
    {"4h 4s Ac Ad Qh", two_pair},
    {"4h 4s Ac 9d Qh", no_win},  // a single pair pays nothing
    {"Jk 4s 8c Td Qh", no_win},  // the joker alone pays nothing
};

inline constexpr HandCase straight_hands[] = {
    {"Ts Js Qs Ks As", royal_flush},
    {"Jk Ts Js Qs Ks", royal_flush},  // the joker as the ace
    {"Jk Js Qs Ks As", royal_flush},  // the joker as the ten
    {"Jk Ts Qs Ks As", royal_flush},  // the joker fills the jack
    {"Jk Th Jh Qh Ah", royal_flush},
    {"9d Td Jd Qd Kd", straight_flush},
    {"Jk 5c 7c 8c 9c", straight_flush},  // the gap may sit between any two neighbours
    {"Jk 5c 6c 8c 9c", straight_flush},
    {"2h 3h 4h 5h 6h", straight_flush},
    {"Jk 5h 6s 8c 9d", straight},
    {"Jk 5h 6s 7c 9d", straight},
    {"Jk 5h 7s 9c Td", no_win},  // two gaps
    {"Ah 2s 3c 4d 5h", no_win},  // the ace counts only high
    {"Jk 2s 3c 4d 5h", straight},       // the joker counts as the six
    {"Th Js Qc Kd Ah", straight},
    {"9h Ts Jc Qd Kh", straight},
    {"Jk Th Js Qc Ad", straight},
    {"Jk Qh Ks Ac 2d", no_win},  // no wrap past the ace
};

inline constexpr HandCase flush_hands[] = {
    {"2h 5h 9h Jh Ah", flush},
    {"Jk 2d 5d 9d Kd", flush},
    {"2h 5h 9h Jh As", no_win},
    {"Jk 2d 5d 9d Kh", no_win},
    {"Jk 2d 3d 9d Kd", flush},
};
// clang-format on
}  // namespace hand_cases

using hand_cases::flush_hands;
using hand_cases::group_hands;
using hand_cases::straight_hands;
