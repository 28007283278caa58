// Sets of cards and their classes under renaming the suits: the combinatorial index of a set, the
// suit orders, the class counts by Burnside's lemma and the walk over the classes of each size.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "strategy/numbers.hpp"

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
