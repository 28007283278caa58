// The strategy engine's insides, for its own sources, its tests and its benchmark: card numbers,
// the fast category, sets of cards and their suit classes, the tables, and the steps that give one
// hand's hold values. docs/strategy.md walks through them with a worked hand.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "rules/card.hpp"
#include "rules/evaluate.hpp"
#include "strategy/strategy.hpp"

// ---- Card numbers

// Cards are numbered here so that the joker comes first: card 0 is the joker, and suit s (0 to 3,
// spades, hearts, clubs, diamonds) holds cards 1 + 13 * s (its two) to 13 + 13 * s (its ace). The
// joker is then the lowest card of every set it is in. Other than the joker, a card's number is
// its deck index plus one.
inline constexpr int joker_number = 0;
constexpr int card_number(int suit, int rank_bit) {
    return 1 + rank_count * suit + rank_bit;
}
constexpr int suit_of_number(int number) {
    return (number - 1) / rank_count;
}
constexpr int rank_bit_of_number(int number) {
    return (number - 1) % rank_count;
}
constexpr int card_number(Card card) {
    return is_joker(card) ? joker_number : index_of_card(card) + 1;
}
static_assert(card_number(card_of_index(0)) == card_number(0, 0) &&
                  card_number(card_of_index(joker_index - 1)) ==
                      card_number(suit_count - 1, rank_count - 1),
              "deck indices run two to ace through the suits, as card numbers do");

// ---- Counting

// choose(n, k) for n up to the deck size and k up to five, as a table for the inner loops.
inline constexpr auto binomial = [] {
    std::array<std::array<std::uint32_t, hand_size + 1>, deck_size + 1> table{};
    for (int n = 0; n <= deck_size; ++n)
        for (int k = 0; k <= hand_size; ++k)
            table[n][k] = static_cast<std::uint32_t>(choose(n, k));
    return table;
}();

// The cards a hold draws from, and the number of draws of a hold of k cards.
inline constexpr int cards_left = deck_size - hand_size;
inline constexpr auto draw_count = [] {
    std::array<std::int64_t, hand_size + 1> counts{};
    for (int kept = 0; kept <= hand_size; ++kept)
        counts[kept] = choose(cards_left, hand_size - kept);
    return counts;
}();

// The largest subsets the tables keep: a hold of all five cards draws nothing.
inline constexpr int largest_set = hand_size - 1;

// Sets of k cards, k = 0 to 4, follow one another in one table: set i of size k is entry
// set_offset[k] + i.
inline constexpr auto set_offset = [] {
    std::array<int, largest_set + 1> offsets{};
    for (int size = 1; size <= largest_set; ++size)
        offsets[size] = offsets[size - 1] + static_cast<int>(choose(deck_size, size - 1));
    return offsets;
}();
inline constexpr int set_total =
    set_offset[largest_set] + static_cast<int>(choose(deck_size, largest_set));

// Rank masks: bit 0 the two, bit 12 the ace.
inline constexpr int rank_mask_count = 1 << rank_count;
inline constexpr unsigned all_suits = (1U << suit_count) - 1;

// ---- The fast category

// Per card number: the rank's bit, the suit's bit and the rank's 4-bit counter; the joker has
// none of them.
struct CardBits {
    std::array<std::uint16_t, deck_size> rank_bit;
    std::array<std::uint8_t, deck_size> suit_bit;
    std::array<std::uint64_t, deck_size> rank_count;
};

// A 4-bit counter per rank, all in one word, holding value.
constexpr std::uint64_t in_every_counter(std::uint64_t value) {
    std::uint64_t word = 0;
    for (int rank = 0; rank < rank_count; ++rank)
        word |= value << (4 * rank);
    return word;
}
static_assert(4 * rank_count <= 64, "a counter per rank fits in a word");

// The category of every hand whose cards other than the joker all differ in rank, by joker and
// flush ((joker * 2 + flush) * rank_mask_count + rank mask). It is filled from evaluate_hand
// itself, and the whole evaluator is checked against evaluate_hand on every hand of the deck.
inline constexpr int distinct_kinds = 2 * 2;
struct RankTable {
    CardBits bits;
    std::array<HandCategory, distinct_kinds * rank_mask_count> distinct;
    std::array<std::uint8_t, rank_mask_count> rank_total;  // bits set in each mask, as a table
};

void build_rank_table(RankTable& table);

// A group of equal ranks decides the category alone: flushes and straights need five different
// ranks. The joker joins the largest group.
constexpr HandCategory group_category(int joker, int distinct, int largest) {
    const int cards = hand_size - joker;
    using enum HandCategory;
    if (joker == 0) {
        if (distinct == 2) return largest == 4 ? four_card : full_house;
        if (distinct == 3) return largest == 3 ? three_card : two_pair;
        return no_win;  // one pair
    }
    if (distinct == 1) return five_card;                              // with four of a kind
    if (distinct == 2) return largest == 3 ? four_card : full_house;  // with three, or two pair
    return distinct == cards - 1 ? three_card : no_win;               // with one pair
}

// What the category needs of some cards: their rank mask, suit mask, rank counters and the joker.
struct CardMix {
    unsigned ranks = 0;
    unsigned suits = 0;
    std::uint64_t counts = 0;
    int joker = 0;
};

inline CardMix add_card(const RankTable& table, CardMix mix, int card) {
    mix.joker |= card == joker_number;
    mix.ranks |= table.bits.rank_bit[card];
    mix.suits |= table.bits.suit_bit[card];
    mix.counts += table.bits.rank_count[card];
    return mix;
}

// The category of five different cards.
inline HandCategory mix_category(const RankTable& table, const CardMix& mix) {
    const int distinct = table.rank_total[mix.ranks];
    if (distinct == hand_size - mix.joker) {
        // One suit bit set: x & (x - 1) clears the lowest bit and leaves nothing.
        const int flush = (mix.suits & (mix.suits - 1)) == 0;
        return table.distinct[(mix.joker * 2 + flush) * rank_mask_count + mix.ranks];
    }
    // A counter of 4 carries into its top bit when 4 is added, and one of 3 or more when 5 is
    // (4 + 5 = 9 still stays within the counter).
    constexpr std::uint64_t top_bits = in_every_counter(8);
    int largest = 2;
    if ((mix.counts + in_every_counter(4)) & top_bits) {
        largest = 4;
    } else if ((mix.counts + in_every_counter(5)) & top_bits) {
        largest = 3;
    }
    return group_category(mix.joker, distinct, largest);
}

// The five card numbers must differ.
inline HandCategory fast_category(const RankTable& table, const int* cards) {
    CardMix mix;
    for (int i = 0; i < hand_size; ++i)
        mix = add_card(table, mix, cards[i]);
    return mix_category(table, mix);
}

// ---- Sets of cards and their suit classes

// The sets of each size sorted by their highest card, then the next, and so on: the set of the
// ascending card numbers c0 < c1 < ... has the index choose(c0, 1) + choose(c1, 2) + ...
inline std::uint32_t set_index(const int* ascending, int count) {
    std::uint32_t index = 0;
    for (int i = 0; i < count; ++i)
        index += binomial[ascending[i]][i + 1];
    return index;
}

// The orders of the four suits: suit s receives what suit order[s] had.
inline constexpr int suit_order_count = 1 * 2 * 3 * 4;
inline constexpr auto suit_orders = [] {
    std::array<std::array<std::uint8_t, suit_count>, suit_order_count> orders{};
    int n = 0;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b)
            for (int c = 0; c < 4; ++c)
                for (int d = 0; d < 4; ++d)
                    if (a != b && a != c && a != d && b != c && b != d && c != d)
                        orders[n++] = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b),
                                       static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(d)};
    return orders;
}();

// How many sets of each size, 0 to 5, the suit orders leave unchanged, summed over the orders. An
// order moves each rank's cards round the cycles of its suits, and a set it leaves unchanged is a
// union of whole card cycles; the joker stays put. So the sets it leaves unchanged, counted by
// size, are the coefficients of the product over its card cycles of (1 + x^length).
inline constexpr auto sets_left_unchanged = [] {
    std::array<std::int64_t, hand_size + 1> sums{};
    for (const auto& order : suit_orders) {
        std::array<std::int64_t, hand_size + 1> product{1};
        // Multiplies by 1 + x^length, dropping the powers above the largest size.
        auto times = [&product](int length) {
            for (int power = hand_size; power >= length; --power)
                product[power] += product[power - length];
        };
        times(1);  // the joker
        std::array<bool, suit_count> seen{};
        for (int suit = 0; suit < suit_count; ++suit) {
            int length = 0;
            for (int s = suit; !seen[s]; s = order[s], ++length)
                seen[s] = true;
            if (length == 0) continue;
            for (int rank = 0; rank < rank_count; ++rank)
                times(length);
        }
        for (int size = 0; size <= hand_size; ++size)
            sums[size] += product[size];
    }
    return sums;
}();

// Classes of sets of each size, 0 to 5, by Burnside's lemma: the number of classes is the average
// over the suit orders of the number of sets each leaves unchanged.
inline constexpr auto suit_class_count = [] {
    std::array<int, hand_size + 1> counts{};
    for (int size = 0; size <= hand_size; ++size)
        counts[size] = static_cast<int>(sets_left_unchanged[size] / suit_order_count);
    return counts;
}();
static_assert(
    [] {
        for (const std::int64_t sum : sets_left_unchanged)
            if (sum % suit_order_count != 0) return false;
        return true;
    }(),
    "Burnside's sums divide by the number of suit orders");
static_assert(suit_class_count[1] == rank_count + 1,
              "a single card's class is its rank or the joker");

// Classes of sets of up to four cards likewise follow one another: class i of size k is entry
// class_offset[k] + i.
inline constexpr auto class_offset = [] {
    std::array<int, largest_set + 1> offsets{};
    for (int size = 1; size <= largest_set; ++size)
        offsets[size] = offsets[size - 1] + suit_class_count[size - 1];
    return offsets;
}();
inline constexpr int class_total = class_offset[largest_set] + suit_class_count[largest_set];
static_assert(class_total <= 1 << 16, "a class entry fits in 16 bits");

// A class of card sets: suit s of the representative holds the ranks of masks[s] (bit 0 the two,
// bit 12 the ace), and the joker if joker is set. Renaming the suits gives the other sets of the
// class; weight counts them.
struct SuitClass {
    std::array<std::uint16_t, suit_count> masks;
    std::uint8_t joker;
    std::uint8_t weight;
};

// The representative's card numbers, ascending; returns how many.
inline int class_cards(const SuitClass& suit_class, int* cards) {
    int count = 0;
    if (suit_class.joker) cards[count++] = joker_number;
    for (int s = 0; s < suit_count; ++s) {
        // bits & (bits - 1) drops the lowest rank, the one just taken.
        for (unsigned bits = suit_class.masks[s]; bits != 0; bits &= bits - 1)
            cards[count++] = card_number(s, std::countr_zero(bits));
    }
    return count;
}

// Orders that give different sets: equal masks sit next to each other in a class, and of the
// orders that only swap equal masks the one that keeps them in their own order stands for all.
// distinct_orders[p] lists them for the pattern p of equal neighbours (bit j: masks[j] equals
// masks[j + 1]).
struct OrderList {
    std::array<std::uint8_t, suit_order_count> orders;
    int count;
};
inline constexpr auto distinct_orders = [] {
    std::array<OrderList, 1 << (suit_count - 1)> lists{};
    for (int pattern = 0; pattern < 1 << (suit_count - 1); ++pattern) {
        for (int order = 0; order < suit_order_count; ++order) {
            std::array<int, suit_count> slot{};  // the suit each mask goes to
            for (int s = 0; s < suit_count; ++s)
                slot[suit_orders[order][s]] = s;
            bool kept = true;
            for (int j = 0; j + 1 < suit_count; ++j)
                if ((pattern >> j) & 1 && slot[j] > slot[j + 1]) kept = false;
            if (kept)
                lists[pattern].orders[lists[pattern].count++] = static_cast<std::uint8_t>(order);
        }
    }
    return lists;
}();

inline const OrderList& class_orders(const SuitClass& suit_class) {
    const auto& m = suit_class.masks;
    return distinct_orders[(m[0] == m[1]) | (m[1] == m[2]) << 1 | (m[2] == m[3]) << 2];
}

// The index of the set that suit order o makes of the class: suit s receives masks[o[s]].
inline std::uint32_t renamed_set_index(const SuitClass& suit_class, int order) {
    const std::array<std::uint8_t, suit_count>& o = suit_orders[order];
    std::uint32_t index = 0;
    int i = suit_class.joker;  // the joker, card 0, adds choose(0, 1) = 0
    for (int s = 0; s < suit_count; ++s) {
        for (unsigned bits = suit_class.masks[o[s]]; bits != 0; bits &= bits - 1)
            index += binomial[card_number(s, std::countr_zero(bits))][++i];
    }
    return index;
}

namespace suit_class_detail {

// Rank masks by number of ranks: masks[first[n]] to masks[first[n + 1] - 1] have n bits, in
// the order of their lowest rank, then the next, and so on. Classes come with the last mask
// changing fastest, and so with their highest card changing fastest: neighbouring classes share
// their four lowest cards more often than not.
inline constexpr int mask_total = [] {
    int total = 0;
    for (int size = 0; size <= hand_size; ++size)
        total += static_cast<int>(choose(rank_count, size));
    return total;
}();
inline constexpr auto masks_by_size = [] {
    struct Lists {
        std::array<std::uint16_t, mask_total> masks{};
        std::array<int, hand_size + 2> first{};
    } lists;
    // The order of the lowest rank first is the order of the bit-reversed masks.
    auto reversed = [](unsigned m) {
        unsigned r = 0;
        for (int b = 0; b < rank_count; ++b)
            if (m & (1U << b)) r |= 1U << (rank_count - 1 - b);
        return r;
    };
    int n = 0;
    for (int size = 0; size <= hand_size; ++size) {
        lists.first[size] = n;
        for (unsigned r = rank_mask_count; r-- > 0;)
            if (std::popcount(r) == size)
                lists.masks[n++] = static_cast<std::uint16_t>(reversed(r));
    }
    lists.first[hand_size + 1] = n;
    return lists;
}();

// Suit s takes a mask of at most as many ranks as suit s - 1, and of the same size no earlier
// in the list, so each multiset of four masks comes once. run counts the suits before s equal to
// suit s - 1, for the weight.
struct Walk {
    SuitClass suit_class;
    int item;  // choices of the first suit's mask so far, dealt out round the parts
    int part;
    int parts;
};

template <class Visit>
void choose_masks(Walk& walk, int s, int left, int previous_size, int previous_at, int divisor,
                  int run, Visit& visit) {
    if (s == suit_count) {
        if (left == 0) {
            walk.suit_class.weight = static_cast<std::uint8_t>(suit_order_count / divisor);
            visit(walk.suit_class);
        }
        return;
    }
    const int largest = left < previous_size ? left : previous_size;
    // The remaining suits together hold at most (suit_count - s) * largest ranks.
    for (int size = largest; size >= 0 && size * (suit_count - s) >= left; --size) {
        const int begin = size == previous_size ? previous_at : masks_by_size.first[size];
        for (int at = begin; at < masks_by_size.first[size + 1]; ++at) {
            if (s == 0 && walk.item++ % walk.parts != walk.part) continue;
            walk.suit_class.masks[s] = masks_by_size.masks[at];
            const int same = at == previous_at ? run + 1 : 1;
            choose_masks(walk, s + 1, left - size, size, at, divisor * same, same, visit);
        }
    }
}

}  // namespace suit_class_detail

// Calls visit(const SuitClass&) once for each class of sets of the given size (0 to 5), the
// classes without the joker first. With parts above 1, only the classes of this part: the parts
// together visit each class once.
template <class Visit>
void for_each_suit_class(int size, Visit&& visit, int part = 0, int parts = 1) {
    suit_class_detail::Walk walk{{}, 0, part, parts};
    for (int joker = 0; joker < 2 && joker <= size; ++joker) {
        walk.suit_class.joker = static_cast<std::uint8_t>(joker);
        suit_class_detail::choose_masks(walk, 0, size - joker, hand_size + 1, -1, 1, 0, visit);
    }
}

// ---- The tables

using CategoryCounts = std::array<std::uint32_t, category_count>;

// For every set of up to four cards, how many five-card hands of the deck contain it, by final
// category. Independent of the pay table; about 1.6 MB.
struct SubsetTables {
    std::array<std::uint16_t, set_total> class_of;  // the class of each set (a class entry)
    std::array<SuitClass, class_total> classes;
    std::array<CategoryCounts, class_total> counts;
    RankTable ranks;
};

// Fills the tables; threads (1 or 2) share the largest step.
void build_subset_tables(SubsetTables& tables, int threads = 1);

// The pay summed over the hands that contain each class's set, for one pay table.
struct PayTotals {
    PayTable pays;
    std::array<std::int64_t, class_total> total;
};

void build_pay_totals(const SubsetTables& tables, const PayTable& pays, PayTotals& totals);

// ---- One hand's hold values

// The holds of the four lowest cards of a hand (bit i keeps the ith lowest), and the bit that
// adds the fifth.
inline constexpr unsigned low_hold_count = 1U << largest_set;
inline constexpr unsigned fifth_bit = low_hold_count;

// Per hold: how many cards it keeps, the highest of them, and the factor that turns its pay total
// into units of 1 / value_denominator.
struct HoldShape {
    std::array<std::uint8_t, hold_count> kept;
    std::array<std::uint8_t, hold_count> highest;
    std::array<std::int64_t, hold_count> scale;
};
inline constexpr HoldShape hold_shape = [] {
    HoldShape shape{};
    for (unsigned hold = 0; hold < hold_count; ++hold) {
        shape.kept[hold] = static_cast<std::uint8_t>(std::popcount(hold));
        shape.highest[hold] = static_cast<std::uint8_t>(hold == 0 ? 0 : std::bit_width(hold) - 1);
        shape.scale[hold] = value_denominator / draw_count[shape.kept[hold]];
    }
    return shape;
}();
static_assert(
    [] {
        for (const std::int64_t draws : draw_count)
            if (value_denominator % draws != 0) return false;
        return true;
    }(),
    "every number of draws divides the value denominator");

// Turns totals over the sets containing each subset into totals over the sets containing it but
// none of the other cards: for each card in turn, takes away the sets that contain it too. The
// bits are constants so that the compiler lays the steps out without a branch.
template <std::size_t count>
inline void keep_only(std::array<std::int64_t, count>& totals) {
    auto take_away = [&totals](unsigned bit) {
#pragma GCC unroll 32
        for (unsigned u = 0; u < count; ++u) {
            if ((u & bit) == 0) totals[u] -= totals[u | bit];
        }
    };
#pragma GCC unroll 5
    for (unsigned bit = 1; bit < count; bit <<= 1)
        take_away(bit);
}

// What the holds of a hand share with every hand of the same four lowest cards: for each subset
// of those four (bit i keeps the ith lowest card), the index and class of its set, and its pay
// totals over the draws that keep exactly it of the four.
struct LowFour {
    std::array<int, largest_set> cards;
    CardMix mix;
    std::array<std::uint32_t, low_hold_count> index;
    std::array<std::uint16_t, low_hold_count> set_class;
    std::array<std::int64_t, low_hold_count> totals;
};

inline void find_low_four(const SubsetTables& tables, const PayTotals& totals, const int* cards,
                          LowFour& low) {
    // Each subset adds its highest card to the subset without it.
    low.index[0] = 0;
#pragma GCC unroll 16
    for (unsigned u = 1; u < low_hold_count; ++u) {
        const int kept = hold_shape.kept[u];
        const int highest = hold_shape.highest[u];
        low.index[u] = low.index[u ^ (1U << highest)] + binomial[cards[highest]][kept];
    }
#pragma GCC unroll 16
    for (unsigned u = 0; u < low_hold_count; ++u) {
        low.set_class[u] = tables.class_of[set_offset[hold_shape.kept[u]] + low.index[u]];
        low.totals[u] = totals.total[low.set_class[u]];
    }
    keep_only(low.totals);
    low.mix = CardMix{};
    for (int i = 0; i < largest_set; ++i) {
        low.cards[i] = cards[i];
        low.mix = add_card(tables.ranks, low.mix, cards[i]);
    }
}

// What the holds of a hand keep: the class of each hold's cards (all but the whole hand) and the
// category of the whole hand. Bit i of a hold keeps the ith lowest card.
struct HandSets {
    const LowFour* low;
    // Hold fifth_bit + u: the subset u of the four and the fifth card.
    std::array<std::uint16_t, low_hold_count - 1> with_fifth_class;
    HandCategory dealt;

    std::uint16_t set_class(unsigned hold) const {
        return hold & fifth_bit ? with_fifth_class[hold & (fifth_bit - 1)] : low->set_class[hold];
    }
};

// For the hand of the four lowest cards and a higher fifth: each hold's pay summed over its
// draws, counting the hands that contain the hold but none of the cards thrown away.
inline void hold_totals(const SubsetTables& tables, const PayTotals& totals, const LowFour& low,
                        int fifth, HandSets& sets, std::array<std::int64_t, hold_count>& sums) {
    sets.low = &low;
    sets.dealt = mix_category(tables.ranks, add_card(tables.ranks, low.mix, fifth));
    // The sets with the fifth card: a subset of the four, and the fifth as its highest card.
    std::array<std::int64_t, low_hold_count> with_fifth;
#pragma GCC unroll 16
    for (unsigned u = 0; u + 1 < low_hold_count; ++u) {
        const int kept = hold_shape.kept[u] + 1;
        const std::uint16_t set_class =
            tables.class_of[set_offset[kept] + low.index[u] + binomial[fifth][kept]];
        sets.with_fifth_class[u] = set_class;
        with_fifth[u] = totals.total[set_class];
    }
    // The whole hand is its own one draw.
    with_fifth[low_hold_count - 1] =
        sets.dealt == HandCategory::no_win ? 0 : totals.pays[row_of(sets.dealt)];
    keep_only(with_fifth);
    // A hold with the fifth card draws from what it keeps; one without it loses the draws that
    // bring the fifth card back.
#pragma GCC unroll 16
    for (unsigned u = 0; u < low_hold_count; ++u) {
        sums[u | fifth_bit] = with_fifth[u];
        sums[u] = low.totals[u] - with_fifth[u];
    }
}

// The values of a hand's holds on tables already built. The hand's five cards must differ.
HoldValues hold_values(const SubsetTables& tables, const PayTotals& totals, const Hand& hand);

// ---- What a pay table returns

// On tables already built for the pay table, or from nothing; threads is 1 or 2.
TableAnalysis analyse_pay_table(const SubsetTables& tables, const PayTotals& totals, int threads);
TableAnalysis analyse_pay_table(const PayTable& pays, int threads);

// ---- The figures docs/strategy.md quotes

static_assert(value_denominator == 8561520 && deal_count == 2869685);
static_assert(set_total == 317683 && class_total == 20308);
static_assert(suit_class_count[4] == 18187 && suit_class_count[5] == 150891);
