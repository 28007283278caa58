#include "strategy/hold_values.hpp"

#include <algorithm>
#include <bit>
#include <thread>

namespace {

// Inserts card into the ascending set of count cards, giving count + 1 ascending cards.
int insert_card(const int* ascending, int count, int card, int* into) {
    int n = 0;
    int i = 0;
    while (i < count && ascending[i] < card)
        into[n++] = ascending[i++];
    into[n++] = card;
    while (i < count)
        into[n++] = ascending[i++];
    return n;
}

// The hands that contain a set of four cards: it and each of the 49 cards left. Cards of one
// rank give the same category whatever their suit, except that the one suit every card of the
// set has (the joker aside), if there is one, may make a flush.
CategoryCounts count_four_card_set(const RankTable& ranks, const int* set) {
    CategoryCounts counts{};
    std::array<unsigned, 13> taken{};  // suit bits of the set's cards of each rank
    unsigned suits = 0;
    bool joker = false;
    for (int i = 0; i < 4; ++i) {
        if (set[i] == joker_index) {
            joker = true;
        } else {
            taken[set[i] % 13] |= 1U << (set[i] / 13);
            suits |= 1U << (set[i] / 13);
        }
    }
    const unsigned flush_suit = (suits & (suits - 1)) == 0 ? suits : 0;
    int hand[hand_size] = {set[0], set[1], set[2], set[3], 0};
    auto add = [&](int card, unsigned times) {
        hand[4] = card;
        const HandCategory category = fast_category(ranks, hand);
        if (category != no_win) counts[category] += times;
    };
    for (int rank = 0; rank < 13; ++rank) {
        const unsigned left = 15U & ~taken[rank];
        const unsigned plain = left & ~flush_suit;
        if (plain != 0) add(std::countr_zero(plain) * 13 + rank, std::popcount(plain));
        if (left & flush_suit) add(std::countr_zero(flush_suit) * 13 + rank, 1);
    }
    if (!joker) add(joker_index, 1);
    return counts;
}

// The hands that contain a smaller set, from the sets one card larger: each hand of 5 cards
// containing the k-card set contains 5 - k of those larger sets.
CategoryCounts count_smaller_set(const SubsetTables& tables, const int* set, int size) {
    std::array<std::uint64_t, category_count> sums{};
    int larger[hand_size];
    for (int card = 0, next = 0; card < deck_size; ++card) {
        if (next < size && set[next] == card) {
            ++next;
            continue;
        }
        insert_card(set, size, card, larger);
        const int entry = set_offset[size + 1] + static_cast<int>(set_index(larger, size + 1));
        const CategoryCounts& counts = tables.counts[tables.class_of[entry]];
        for (int c = 0; c < category_count; ++c)
            sums[c] += counts[c];
    }
    CategoryCounts counts{};
    for (int c = 0; c < category_count; ++c)
        counts[c] = static_cast<std::uint32_t>(sums[c] / static_cast<unsigned>(hand_size - size));
    return counts;
}

// Counts the classes first .. last - 1 of the given size and marks every set of each class.
void fill_classes(SubsetTables& tables, int size, int first, int last) {
    for (int i = class_offset[size] + first; i < class_offset[size] + last; ++i) {
        const SuitClass& suit_class = tables.classes[i];
        int set[hand_size];
        class_cards(suit_class, set);
        tables.counts[i] = size == 4 ? count_four_card_set(tables.ranks, set)
                                     : count_smaller_set(tables, set, size);
        for (int order = 0; order < 24; ++order)
            tables.class_of[set_offset[size] + renamed_set_index(suit_class, order)] =
                static_cast<std::uint16_t>(i);
    }
}

}  // namespace

PayTable game_pay_table() {
    PayTable pays{};
    for (int c = 0; c < category_count; ++c)
        pays[c] = payout_multiplier(c);
    return pays;
}

void build_subset_tables(SubsetTables& tables, int threads) {
    build_rank_table(tables.ranks);
    for (int size = 4; size >= 0; --size) {
        int n = 0;
        for_each_suit_class(size, [&](const SuitClass& suit_class) {
            tables.classes[class_offset[size] + n++] = suit_class;
        });
        // Classes of four cards cost the most: the second thread takes every other one of
        // them. Different classes mark different sets, so the threads never write the same
        // entry.
        if (threads > 1 && size == 4) {
            std::thread helper([&] { fill_classes(tables, size, n / 2, n); });
            fill_classes(tables, size, 0, n / 2);
            helper.join();
        } else {
            fill_classes(tables, size, 0, n);
        }
    }
}

void build_pay_totals(const SubsetTables& tables, const PayTable& pays, PayTotals& totals) {
    totals.pays = pays;
    for (int i = 0; i < class_total; ++i) {
        std::int64_t total = 0;
        for (int c = 0; c < category_count; ++c)
            total += pays[c] * tables.counts[i][c];
        totals.total[i] = total;
    }
}

int deck_index(Card card) {
    if (is_joker(card)) return joker_index;
    // Deck indices run two to king, then ace, within a suit.
    const int rank = card.rank == 13 ? ace_rank : card.rank;
    return (card.suit - 1) * 13 + (rank + 12) % 13;
}

namespace {

// The hand's deck indices in ascending order, and the position each came from.
void sort_hand_cards(const Hand& hand, int* ascending, std::array<int, hand_size>& position) {
    std::array<int, hand_size> index{};
    for (int p = 0; p < hand_size; ++p) {
        index[p] = deck_index(hand[p]);
        position[p] = p;
    }
    std::sort(position.begin(), position.end(), [&](int a, int b) { return index[a] < index[b]; });
    for (int i = 0; i < hand_size; ++i)
        ascending[i] = index[position[i]];
}

// The values by hold over the hand's own positions.
void hand_hold_values(const SubsetTables& tables, const PayTotals& totals, const Hand& hand,
                      std::array<std::int64_t, hold_count>& values) {
    int ascending[hand_size];
    std::array<int, hand_size> position;
    sort_hand_cards(hand, ascending, position);
    HandSets sets;
    find_hand_sets(tables, ascending, sets);
    std::array<std::int64_t, hold_count> sums;
    hold_totals(totals, sets, sums);
    for (unsigned sorted = 0; sorted < hold_count; ++sorted) {
        unsigned hold = 0;
        for (int i = 0; i < hand_size; ++i)
            if (sorted & (1U << i)) hold |= 1U << position[i];
        values[hold] = sums[sorted] * hold_shape.scale[sorted];
    }
}

}  // namespace

HoldValues hold_values(const SubsetTables& tables, const PayTotals& totals, const Hand& hand) {
    HoldValues values{};
    hand_hold_values(tables, totals, hand, values.value);
    // Best first; an insertion sort keeps tied holds in hold order and allocates nothing.
    for (int n = 0; n < hold_count; ++n) {
        int at = n;
        while (at > 0 && values.value[values.order[at - 1]] < values.value[n]) {
            values.order[at] = values.order[at - 1];
            --at;
        }
        values.order[at] = static_cast<std::uint8_t>(n);
    }
    values.best_count = 1;
    while (values.best_count < hold_count &&
           values.value[values.order[values.best_count]] == values.value[values.order[0]])
        ++values.best_count;
    return values;
}

unsigned first_best_hold(const SubsetTables& tables, const PayTotals& totals, const Hand& hand) {
    std::array<std::int64_t, hold_count> values;
    hand_hold_values(tables, totals, hand, values);
    unsigned best = 0;
    for (unsigned hold = 1; hold < hold_count; ++hold)
        best = values[hold] > values[best] ? hold : best;
    return best;
}

bool best_hold_flags(const Hand& hand, std::array<std::int8_t, hand_size>& flags) {
    unsigned long long seen = 0;
    for (const Card card : hand) {
        const bool valid = is_joker(card) || (card.suit >= 1 && card.suit <= 4 &&
                                              card.rank >= ace_rank && card.rank <= 13);
        if (!valid || (seen >> deck_index(card)) & 1U) return false;
        seen |= 1ULL << deck_index(card);
    }
    // Built once, in place: the hold phase allocates nothing.
    static SubsetTables tables;
    static PayTotals totals;
    static const bool built = [] {
        build_subset_tables(tables);
        build_pay_totals(tables, game_pay_table(), totals);
        return true;
    }();
    (void)built;
    const unsigned hold = first_best_hold(tables, totals, hand);
    for (int p = 0; p < hand_size; ++p)
        flags[p] = (hold >> p) & 1U ? 1 : 0;
    return true;
}
