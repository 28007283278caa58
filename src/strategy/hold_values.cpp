// The tables of set totals, and the values of one hand's holds on them: on any pay table's, or
// on the game's own, built once per process.
#include <algorithm>
#include <bit>
#include <memory>
#include <thread>

#include "strategy/internal.hpp"

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
    std::array<unsigned, rank_count> taken{};  // suit bits of the set's cards of each rank
    unsigned suits = 0;
    bool joker = false;
    for (int i = 0; i < largest_set; ++i) {
        if (set[i] == joker_number) {
            joker = true;
        } else {
            taken[rank_bit_of_number(set[i])] |= 1U << suit_of_number(set[i]);
            suits |= 1U << suit_of_number(set[i]);
        }
    }
    const unsigned flush_suit = (suits & (suits - 1)) == 0 ? suits : 0;
    CardMix mix;
    for (int i = 0; i < largest_set; ++i)
        mix = add_card(ranks, mix, set[i]);
    auto add = [&](int card, unsigned times) {
        const HandCategory category = mix_category(ranks, add_card(ranks, mix, card));
        if (category != HandCategory::no_win) counts[row_of(category)] += times;
    };
    // Bits set in each suit mask m, as the 4-bit field m of one word: a shift and a mask, where
    // the build has no popcount instruction.
    constexpr std::uint64_t suit_totals = [] {
        std::uint64_t word = 0;
        for (unsigned m = 0; m <= all_suits; ++m)
            word |= static_cast<std::uint64_t>(std::popcount(m)) << (4 * m);
        return word;
    }();
    for (int rank = 0; rank < rank_count; ++rank) {
        const unsigned left = all_suits & ~taken[rank];
        const unsigned plain = left & ~flush_suit;
        if (plain != 0) {
            add(card_number(std::countr_zero(plain), rank),
                static_cast<unsigned>((suit_totals >> (4 * plain)) & 0xFU));
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
        tables.counts[i] = size == largest_set ? count_four_card_set(tables.ranks, set)
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
    for (int size = largest_set; size >= 0; --size) {
        int n = 0;
        for_each_suit_class(size, [&](const SuitClass& suit_class) {
            tables.classes[class_offset[size] + n++] = suit_class;
        });
        // The sets of four cards cost the most: a second thread marks them while this one counts
        // (the counts of smaller sets need the marks of the larger ones).
        if (threads > 1 && size == largest_set) {
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

namespace {

// The hand's card numbers in ascending order, and the position each came from.
void sort_hand_cards(const Hand& hand, int* ascending, std::array<int, hand_size>& position) {
    std::array<int, hand_size> number{};
    for (int p = 0; p < hand_size; ++p) {
        number[p] = card_number(hand[p]);
        position[p] = p;
    }
    std::sort(position.begin(), position.end(),
              [&](int a, int b) { return number[a] < number[b]; });
    for (int i = 0; i < hand_size; ++i)
        ascending[i] = number[position[i]];
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
    hold_totals(tables, totals, low, ascending[hand_size - 1], sets, sums);
    // A hold over the ascending cards becomes one over the positions bit by bit: sorted & -sorted
    // is its lowest bit, and the hold without that bit is already done.
    std::array<std::uint8_t, hold_count> at_positions{};
    for (unsigned sorted = 1; sorted < hold_count; ++sorted) {
        const unsigned lowest = sorted & (0U - sorted);
        at_positions[sorted] = static_cast<std::uint8_t>(at_positions[sorted ^ lowest] |
                                                         1U << position[std::countr_zero(lowest)]);
    }
    for (unsigned sorted = 0; sorted < hold_count; ++sorted)
        values[at_positions[sorted]] = sums[sorted] * hold_shape.scale[sorted];
}

// The first hold of the highest value.
unsigned first_best(const std::array<std::int64_t, hold_count>& values) {
    unsigned best = 0;
    for (unsigned hold = 1; hold < hold_count; ++hold)
        best = values[hold] > values[best] ? hold : best;
    return best;
}

// Five different cards of the deck: a card is one when its deck index leads back to it.
bool five_different_cards(const Hand& hand) {
    std::uint64_t seen = 0;
    for (const Card card : hand) {
        const int index = index_of_card(card);
        if (index < 0 || index >= deck_size || card_of_index(index) != card) return false;
        if ((seen >> index) & 1U) return false;
        seen |= std::uint64_t{1} << index;
    }
    return true;
}

// The tables of the game's own pay table, in static storage (about 1.8 MB, zero until built),
// so that the game allocates nothing for them.
struct GameStrategy {
    SubsetTables tables;
    PayTotals totals;
};

const GameStrategy& game_strategy() {
    static GameStrategy strategy;
    // Built by the first caller; others wait for it, as for any static initialisation.
    static const bool built = [] {
        build_subset_tables(strategy.tables);
        build_pay_totals(strategy.tables, game_pay_table(), strategy.totals);
        return true;
    }();
    (void)built;
    return strategy;
}

}  // namespace

HoldValues hold_values_on(const SubsetTables& tables, const PayTotals& totals, const Hand& hand) {
    HoldValues values{};
    hand_hold_values(tables, totals, hand, values.value);
    values.best = first_best(values.value);
    values.best_count = 0;
    for (const std::int64_t value : values.value)
        values.best_count += value == values.value[values.best];
    return values;
}

void prepare_game_strategy() {
    game_strategy();
}

bool best_hold(const Hand& hand, unsigned& hold) {
    if (!five_different_cards(hand)) return false;
    const GameStrategy& strategy = game_strategy();
    std::array<std::int64_t, hold_count> values;
    hand_hold_values(strategy.tables, strategy.totals, hand, values);
    hold = first_best(values);
    return true;
}

bool game_hold_values(const Hand& hand, HoldValues& values) {
    if (!five_different_cards(hand)) return false;
    const GameStrategy& strategy = game_strategy();
    values = hold_values_on(strategy.tables, strategy.totals, hand);
    return true;
}

bool hold_cost(const Hand& hand, unsigned hold, std::int64_t& cost) {
    HoldValues values;
    if (hold >= hold_count || !game_hold_values(hand, values)) return false;
    cost = values.value[values.best] - values.value[hold];
    return true;
}

bool hold_values_under(const Hand& hand, const PayTable& pays, HoldValues& values) {
    if (!five_different_cards(hand)) return false;
    // Every entry is written before it is read: no need to clear the memory first.
    std::unique_ptr<SubsetTables> tables(new SubsetTables);
    std::unique_ptr<PayTotals> totals(new PayTotals);
    build_subset_tables(*tables, 2);
    build_pay_totals(*tables, pays, *totals);
    values = hold_values_on(*tables, *totals, hand);
    return true;
}

std::array<std::uint8_t, hold_count> holds_best_first(const HoldValues& values) {
    std::array<std::uint8_t, hold_count> order;
    for (unsigned hold = 0; hold < hold_count; ++hold)
        order[hold] = static_cast<std::uint8_t>(hold);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return values.value[a] > values.value[b]; });
    return order;
}
