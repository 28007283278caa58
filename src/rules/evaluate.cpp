#include "rules/evaluate.hpp"

#include <cstdio>
#include <utility>

namespace {

// The joker is free until it fills a gap in a straight.
int straight_count(const Hand& hand, int first) {
    bool joker_free = first == 1;
    int count = 0;
    for (int p = first; p < hand_size - 1; ++p) {
        const int gap = hand[p + 1].rank - hand[p].rank;
        if (gap == 1) {
            count += 1;
        } else if (gap == 2 && joker_free) {
            // The joker fills the missing rank.
            count += 2;
            joker_free = false;
        } else {
            break;
        }
    }
    // Three steps and an unused joker: the joker extends the run at one end.
    if (count == 3 && joker_free) count = 4;
    return count;
}

// Moves the joker to position 0, recodes aces as high aces and sorts the other cards by rank,
// ascending. Returns 1 if the hand holds the joker, else 0.
int sort_hand(Hand& hand) {
    int joker = 0;
    for (int p = 0; p < hand_size; ++p) {
        if (hand[p].suit == joker_suit) {
            std::swap(hand[p], hand[0]);
            joker = 1;
            break;
        }
    }
    // For evaluation the ace ranks above the king.
    for (Card& card : hand) {
        if (card.rank == ace_rank) card.rank = high_ace_rank;
    }
    for (int i = joker; i < hand_size - 1; ++i) {
        for (int k = i + 1; k < hand_size; ++k) {
            if (hand[k].rank < hand[i].rank) std::swap(hand[k], hand[i]);
        }
    }
    return joker;
}

}  // namespace

HandCategory evaluate_hand(const Hand& dealt) {
    Hand hand = dealt;
    const int joker = sort_hand(hand);

    bool flush = true;
    for (int p = joker; p < hand_size - 1; ++p) {
        if (hand[p].suit != hand[p + 1].suit) flush = false;
    }

    const bool straight = straight_count(hand, joker) == 4;
    // With the joker as the ace, ten to king qualifies; with the joker as the ten, jack to ace.
    const bool royal = straight && (hand[joker].rank == ten_rank || hand[joker].rank == jack_rank);

    // The first equal pair starts group one; an equal pair of another rank starts group two.
    int group_one = -1;
    int group_two = -1;
    int group_one_rank = -1;
    for (int p = joker; p < hand_size - 1; ++p) {
        if (hand[p].rank != hand[p + 1].rank) continue;
        if (group_one < 0) {
            group_one = 2;
            group_one_rank = hand[p].rank;
        } else if (hand[p].rank == group_one_rank) {
            group_one += 1;
        } else if (group_two < 0) {
            group_two = 2;
        } else {
            group_two += 1;
        }
    }
    // The joker joins the first group; with no pair at all that makes a group of 0.
    const int g1 = group_one + joker;
    const int g2 = group_two;

    if (g1 == 5) return HandCategory::five_card;
    if (straight && flush && royal) return HandCategory::royal_flush;
    if (straight && flush) return HandCategory::straight_flush;
    if (g1 == 4) return HandCategory::four_card;
    if ((g1 == 3 && g2 == 2) || (g1 == 2 && g2 == 3)) return HandCategory::full_house;
    if (flush) return HandCategory::flush;
    if (straight) return HandCategory::straight;
    if (g1 == 3) return HandCategory::three_card;
    if (g1 == 2 && g2 == 2) return HandCategory::two_pair;
    return HandCategory::no_win;
}

std::int32_t payout_multiplier(HandCategory category) {
    return category == HandCategory::no_win ? 0 : payout_table[row_of(category)].multiplier;
}

int format_result(char (&text)[result_text_capacity], HandCategory category, std::int32_t bet) {
    if (category == HandCategory::no_win) {
        text[0] = '\0';
        return 0;
    }
    const PayoutRow& row = payout_table[row_of(category)];
    return std::snprintf(text, sizeof text, "%-12s %-3d * %03d", row.name,
                         static_cast<int>(row.multiplier), static_cast<int>(bet));
}
