// Sets of up to five cards: their index among the sets of their size, and their classes under
// a renaming of the four suits, each listed once with the number of sets it stands for.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "rules/card.hpp"
#include "strategy/fast_evaluate.hpp"

// choose(n, k) for n up to the deck size and k up to five.
inline constexpr auto binomial = [] {
    std::array<std::array<std::uint32_t, hand_size + 1>, deck_size + 1> table{};
    for (int n = 0; n <= deck_size; ++n) {
        table[n][0] = 1;
        for (int k = 1; k <= hand_size && k <= n; ++k)
            table[n][k] = table[n - 1][k - 1] + (k < n ? table[n - 1][k] : 0);
    }
    return table;
}();

// The sets of each size sorted by their highest card, then the next, and so on: the set of the
// ascending card numbers c0 < c1 < ... has the index choose(c0, 1) + choose(c1, 2) + ...
inline std::uint32_t set_index(const int* ascending, int count) {
    std::uint32_t index = 0;
    for (int i = 0; i < count; ++i)
        index += binomial[ascending[i]][i + 1];
    return index;
}

// A class of card sets: suit s of the representative holds the ranks of masks[s] (bit 0 the two,
// bit 12 the ace), and the joker if joker is set. Renaming the suits gives the other sets of the
// class; weight counts them.
struct SuitClass {
    std::array<std::uint16_t, 4> masks;
    std::uint8_t joker;
    std::uint8_t weight;
};

// Classes of sets of each size, 0 to 5.
inline constexpr std::array<int, hand_size + 1> suit_class_count{1, 14, 182, 1924, 18187, 150891};

// The representative's card numbers, ascending; returns how many.
inline int class_cards(const SuitClass& suit_class, int* cards) {
    int count = 0;
    if (suit_class.joker) cards[count++] = joker_number;
    for (int s = 0; s < 4; ++s) {
        for (unsigned bits = suit_class.masks[s]; bits != 0; bits &= bits - 1)
            cards[count++] = card_number(s, std::countr_zero(bits));
    }
    return count;
}

// The 24 orders of the four suits.
inline constexpr auto suit_orders = [] {
    std::array<std::array<std::uint8_t, 4>, 24> orders{};
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

// Orders that give different sets: equal masks sit next to each other in a class, and of the
// orders that only swap equal masks the one that keeps them in their own order stands for all.
// distinct_orders[p] lists them for the pattern p of equal neighbours (bit j: masks[j] equals
// masks[j + 1]).
struct OrderList {
    std::array<std::uint8_t, 24> orders;
    int count;
};
inline constexpr auto distinct_orders = [] {
    std::array<OrderList, 8> lists{};
    for (int pattern = 0; pattern < 8; ++pattern) {
        for (int order = 0; order < 24; ++order) {
            std::array<int, 4> slot{};  // the suit each mask goes to
            for (int s = 0; s < 4; ++s)
                slot[suit_orders[order][s]] = s;
            bool kept = true;
            for (int j = 0; j < 3; ++j)
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
    const std::array<std::uint8_t, 4>& o = suit_orders[order];
    std::uint32_t index = 0;
    int i = suit_class.joker;  // the joker, card 0, adds choose(0, 1) = 0
    for (int s = 0; s < 4; ++s) {
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
inline constexpr int mask_total = 1 + 13 + 78 + 286 + 715 + 1287;
inline constexpr auto masks_by_size = [] {
    struct Lists {
        std::array<std::uint16_t, mask_total> masks{};
        std::array<int, hand_size + 2> first{};
    } lists;
    // The order of the lowest rank first is the order of the bit-reversed masks.
    auto reversed = [](unsigned m) {
        unsigned r = 0;
        for (int b = 0; b < 13; ++b)
            if (m & (1U << b)) r |= 1U << (12 - b);
        return r;
    };
    int n = 0;
    for (int size = 0; size <= hand_size; ++size) {
        lists.first[size] = n;
        for (unsigned r = 8192; r-- > 0;)
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
    if (s == 4) {
        if (left == 0) {
            walk.suit_class.weight = static_cast<std::uint8_t>(24 / divisor);
            visit(walk.suit_class);
        }
        return;
    }
    const int largest = left < previous_size ? left : previous_size;
    // The remaining suits together hold at most (4 - s) * largest ranks.
    for (int size = largest; size >= 0 && size * (4 - s) >= left; --size) {
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
