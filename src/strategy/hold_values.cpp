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
        if (set[i] == joker_number) {
            joker = true;
        } else {
            taken[rank_bit_of_number(set[i])] |= 1U << suit_of_number(set[i]);
            suits |= 1U << suit_of_number(set[i]);
        }
    }
    const unsigned flush_suit = (suits & (suits - 1)) == 0 ? suits : 0;
    CardMix mix;
    for (int i = 0; i < 4; ++i)
        mix = add_card(ranks, mix, set[i]);
    auto add = [&](int card, unsigned times) {
        const HandCategory category = mix_category(ranks, add_card(ranks, mix, card));
        if (category != HandCategory::no_win) counts[row_of(category)] += times;
    };
    // Bits set in each 4-bit suit mask.
    constexpr std::uint64_t suit_totals = 0x4332322132212110ULL;
    for (int rank = 0; rank < 13; ++rank) {
        const unsigned left = 15U & ~taken[rank];
        const unsigned plain = left & ~flush_suit;
        if (plain != 0) {
            add(card_number(std::countr_zero(plain), rank),
                static_cast<unsigned>((suit_totals >> (4 * plain)) & 15U));
        }
        if (left & flush_suit) add(card_number(std::countr_zero(flush_suit), rank), 1);
    }
    if (!joker) add(joker_number, 1);
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

// Counts the hands containing each class's set, of the classes first .. last - 1 of the size.
void count_classes(SubsetTables& tables, int size, int first, int last) {
    for (int i = class_offset[size] + first; i < class_offset[size] + last; ++i) {
        int set[hand_size];
        class_cards(tables.classes[i], set);
        tables.counts[i] = size == 4 ? count_four_card_set(tables.ranks, set)
                                     : count_smaller_set(tables, set, size);
    }
}

// Marks every set of each class of the size with the class.
void mark_sets(SubsetTables& tables, int size, int classes) {
    for (int i = class_offset[size]; i < class_offset[size] + classes; ++i) {
        const OrderList& orders = class_orders(tables.classes[i]);
        for (int k = 0; k < orders.count; ++k) {
            const std::uint32_t index = renamed_set_index(tables.classes[i], orders.orders[k]);
            tables.class_of[set_offset[size] + index] = static_cast<std::uint16_t>(i);
        }
    }
}

}  // namespace

PayTable game_pay_table() {
    PayTable pays{};
    for (int c = 0; c < category_count; ++c)
        pays[c] = payout_multiplier(category_of_row(c));
    return pays;
}

void build_subset_tables(SubsetTables& tables, int threads) {
    build_rank_table(tables.ranks);
    for (int size = 4; size >= 0; --size) {
        int n = 0;
        for_each_suit_class(size, [&](const SuitClass& suit_class) {
            tables.classes[class_offset[size] + n++] = suit_class;
        });
        // The sets of four cards cost the most: a second thread marks them while this one counts
        // (the counts of smaller sets need the marks of the larger ones).
        if (threads > 1 && size == 4) {
            std::thread helper([&] { mark_sets(tables, size, n); });
            count_classes(tables, size, 0, n);
            helper.join();
        } else {
            count_classes(tables, size, 0, n);
            mark_sets(tables, size, n);
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

int card_number(Card card) {
    if (is_joker(card)) return joker_number;
    // Rank code 0 is the ace, the highest rank bit; 1 is the two, bit 0.
    return card_number(card.suit - 1, (card.rank + 12) % 13);
}

namespace {

// The hand's deck indices in ascending order, and the position each came from.
void sort_hand_cards(const Hand& hand, int* ascending, std::array<int, hand_size>& position) {
    std::array<int, hand_size> index{};
    for (int p = 0; p < hand_size; ++p) {
        index[p] = card_number(hand[p]);
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
    LowFour low;
    find_low_four(tables, totals, ascending, low);
    HandSets sets;
    std::array<std::int64_t, hold_count> sums;
    hold_totals(tables, totals, low, ascending[4], sets, sums);
    // A hold over the ascending cards becomes one over the positions bit by bit.
    std::array<std::uint8_t, hold_count> at_positions{};
    for (unsigned sorted = 1; sorted < hold_count; ++sorted) {
        const unsigned lowest = sorted & (0U - sorted);
        at_positions[sorted] = static_cast<std::uint8_t>(at_positions[sorted ^ lowest] |
                                                         1U << position[std::countr_zero(lowest)]);
    }
    for (unsigned sorted = 0; sorted < hold_count; ++sorted)
        values[at_positions[sorted]] = sums[sorted] * hold_shape.scale[sorted];
}

}  // namespace

HoldValues hold_values(const SubsetTables& tables, const PayTotals& totals, const Hand& hand) {
    HoldValues values{};
    hand_hold_values(tables, totals, hand, values.value);
    // Best first, tied holds in hold order.
    for (unsigned hold = 0; hold < hold_count; ++hold)
        values.order[hold] = static_cast<std::uint8_t>(hold);
    std::stable_sort(values.order.begin(), values.order.end(),
                     [&](int a, int b) { return values.value[a] > values.value[b]; });
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
                                              card.rank >= ace_rank && card.rank <= king_rank);
        if (!valid || (seen >> card_number(card)) & 1U) return false;
        seen |= 1ULL << card_number(card);
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
