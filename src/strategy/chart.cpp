// Hold patterns and their words, and where one hand falls in a chart.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "rules/evaluate.hpp"
#include "strategy/patterns.hpp"

namespace {

// What a pattern is, packed into its code: kind in bits 11 to 14, the joker in bit 10, the cards
// other than the joker in bits 7 to 9, the straights they fit in bits 4 to 6, and a rank bit or a
// category row (category_count for no win) in bits 0 to 3.
enum class Kind : std::uint8_t {
    draw_five,    // nothing kept
    joker_alone,  // the joker and nothing else
    single,       // one card other than the joker, by rank
    royal,        // one suit, ten to ace, in some straight
    straight_flush,
    flush,     // one suit, in no straight
    straight,  // different suits, in some straight
    odd,       // different suits, in no straight
    group,     // equal ranks: the category they make with the joker, and the other cards kept
    made,      // five cards of different ranks (the joker one of them): their category
};

struct Fields {
    Kind kind;
    bool joker;
    int cards;  // group: the other cards kept
    int ways;
    int low;  // single: the rank bit; group, made: the category row
};

constexpr PatternCode pack(const Fields& f) {
    return static_cast<PatternCode>(
        static_cast<unsigned>(f.kind) << 11 | static_cast<unsigned>(f.joker) << 10 |
        static_cast<unsigned>(f.cards) << 7 | static_cast<unsigned>(f.ways) << 4 |
        static_cast<unsigned>(f.low));
}

constexpr Fields unpack(PatternCode code) {
    return Fields{static_cast<Kind>(code >> 11 & 0xFU), (code >> 10 & 1U) != 0, code >> 7 & 7,
                  code >> 4 & 7, code & 0xF};
}

const char* const rank_names[rank_count] = {"Two",   "Three", "Four", "Five", "Six",
                                            "Seven", "Eight", "Nine", "Ten",  "Jack",
                                            "Queen", "King",  "Ace"};

// The chart's name of a category: the pay table's without its padding, with the straight flush
// in plain case.
PatternText category_words(int row) {
    PatternText text{};
    if (row >= category_count) {
        std::snprintf(text.data(), text.size(), "All five, no win");
        return text;
    }
    const char* name = category_of_row(row) == HandCategory::straight_flush
                           ? "S.Flush"
                           : payout_table[static_cast<std::size_t>(row)].name;
    std::snprintf(text.data(), text.size(), "%s", name);
    for (std::size_t end = std::strlen(text.data()); end > 0 && text[end - 1] == ' '; --end)
        text[end - 1] = '\0';
    return text;
}

// The category a group of equal ranks makes with the joker joining it, as the chart names it.
int group_row(int largest, int second, bool joker) {
    using enum HandCategory;
    const int joined = largest + joker;
    if (joined == 5) return row_of(five_card);
    if (joined == 4) return row_of(four_card);
    if (joined == 3) return second == 2 ? row_of(full_house) : row_of(three_card);
    return second == 2 ? row_of(two_pair) : category_count;  // a pair alone pays nothing
}

}  // namespace

std::uint32_t rank_key(const KeptCards& kept) {
    std::array<int, hand_size> ranks{};
    for (int i = 0; i < kept.count && i < hand_size; ++i)
        ranks[i] = kept.rank[i];
    return packed_descending(ranks, kept.count, 4);
}

PatternCode classify(const KeptCards& kept) {
    const int n = kept.count;
    if (n == 0) return pack({kept.joker ? Kind::joker_alone : Kind::draw_five, false, 0, 0, 0});
    std::array<int, rank_count> same{};
    unsigned ranks = 0;
    unsigned suits = 0;
    for (int i = 0; i < n; ++i) {
        same[kept.rank[i]] += 1;
        ranks |= 1U << kept.rank[i];
        suits |= 1U << kept.suit[i];
    }
    const int distinct = std::popcount(ranks);
    if (distinct < n) {
        // Equal ranks: the largest group and the second decide; the joker joins the largest.
        int largest = 0;
        int second = 0;
        for (const int count : same) {
            if (count > largest) {
                second = largest;
                largest = count;
            } else if (count > second) {
                second = count;
            }
        }
        if (second < 2) second = 0;
        const int others = n - largest - second;
        return pack({Kind::group, false, others, 0, group_row(largest, second, kept.joker)});
    }
    if (n + kept.joker == hand_size) {
        Hand hand{};
        for (int i = 0; i < n && i < hand_size - kept.joker; ++i)
            hand[i] = card_of_index(kept.suit[i] * rank_count + kept.rank[i]);
        if (kept.joker) hand[n] = joker_card;
        const HandCategory category = evaluate_hand(hand);
        return pack({Kind::made, false, 0, 0,
                     category == HandCategory::no_win ? category_count : row_of(category)});
    }
    if (n == 1) return pack({Kind::single, kept.joker, 0, 0, kept.rank[0]});
    const bool suited = (suits & (suits - 1)) == 0;
    const int ways = straight_ways(ranks);
    // A royal's cards are all ten or higher.
    const bool royal_ranks = (ranks & ((1U << ten_rank_bit) - 1)) == 0;
    Kind kind = Kind::odd;
    if (suited && ways > 0) {
        kind = royal_ranks ? Kind::royal : Kind::straight_flush;
    } else if (suited) {
        kind = Kind::flush;
    } else if (ways > 0) {
        kind = Kind::straight;
    }
    return pack({kind, kept.joker, n, ways, 0});
}

PatternText pattern_text(PatternCode pattern) {
    const Fields f = unpack(pattern);
    PatternText text{};
    const char* const joker = f.joker ? "Jk+" : "";
    const char* drawn = nullptr;
    switch (f.kind) {
        case Kind::draw_five:
            std::snprintf(text.data(), text.size(), "Draw five");
            return text;
        case Kind::joker_alone:
            std::snprintf(text.data(), text.size(), "Joker alone");
            return text;
        case Kind::single:
            std::snprintf(text.data(), text.size(), f.joker ? "Jk+%s" : "%s alone",
                          rank_names[f.low % rank_count]);
            return text;
        case Kind::group:
            if (f.cards == 0) {
                std::snprintf(text.data(), text.size(), "%s",
                              f.low == category_count ? "Pair" : category_words(f.low).data());
            } else {
                // The longest, "Three Card + 2 others", fits; the wider buffer lets the
                // compiler see that nothing is cut.
                char words[64];
                std::snprintf(words, sizeof words, "%s + %d other%s",
                              f.low == category_count ? "Pair" : category_words(f.low).data(),
                              f.cards, f.cards > 1 ? "s" : "");
                std::snprintf(text.data(), text.size(), "%.*s", pattern_text_length, words);
            }
            return text;
        case Kind::made:
            return category_words(f.low);
        case Kind::flush:
            std::snprintf(text.data(), text.size(), "%s%d to flush", joker, f.cards);
            return text;
        case Kind::odd:
            std::snprintf(text.data(), text.size(), "%s%d odd cards", joker, f.cards);
            return text;
        case Kind::royal:
            drawn = "royal";
            break;
        case Kind::straight_flush:
            drawn = "S.Flush";
            break;
        case Kind::straight:
            drawn = "straight";
            break;
    }
    if (f.ways == 0) {
        std::snprintf(text.data(), text.size(), "%s%d to a %s", joker, f.cards, drawn);
    } else {
        std::snprintf(text.data(), text.size(), "%s%d to %d-way %s", joker, f.cards, f.ways, drawn);
    }
    return text;
}

bool parse_pattern(std::string_view text, PatternCode& pattern) {
    // Every code whose fields are in range, by its words, listed once: a few thousand.
    static const std::vector<std::pair<std::string, PatternCode>> words = [] {
        std::vector<std::pair<std::string, PatternCode>> list;
        for (unsigned kind = 0; kind <= static_cast<unsigned>(Kind::made); ++kind) {
            for (unsigned rest = 0; rest < 1U << 11; ++rest) {
                const PatternCode code = static_cast<PatternCode>(kind << 11 | rest);
                const Fields f = unpack(code);
                if (f.ways > hand_size || f.cards > hand_size - 1 || f.low > rank_count - 1)
                    continue;
                // Groups make the categories of equal ranks (or a pair), five different cards
                // the straights and flushes (or no win).
                using enum HandCategory;
                const bool five_row = f.low == row_of(royal_flush) ||
                                      f.low == row_of(straight_flush) || f.low == row_of(flush) ||
                                      f.low == row_of(straight);
                if (f.kind == Kind::group && (f.low > category_count || five_row)) continue;
                if (f.kind == Kind::made && !five_row && f.low != category_count) continue;
                list.emplace_back(pattern_text(code).data(), code);
            }
        }
        // The first code of each text stands for it: fields its words do not show are 0.
        std::stable_sort(list.begin(), list.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        return list;
    }();
    const auto found = std::lower_bound(words.begin(), words.end(), text,
                                        [](const std::pair<std::string, PatternCode>& a,
                                           std::string_view b) { return a.first < b; });
    if (found == words.end() || found->first != text) return false;
    pattern = found->second;
    return true;
}

int broader_patterns(PatternCode pattern, std::array<PatternCode, 2>& broader) {
    Fields f = unpack(pattern);
    if (f.ways == 0) return 0;
    f.ways = 0;
    switch (f.kind) {
        case Kind::royal:
            broader[0] = pack(f);
            f.kind = Kind::straight_flush;
            broader[1] = pack(f);
            return 2;
        case Kind::straight_flush:
        case Kind::straight:
            broader[0] = pack(f);
            return 1;
        default:
            return 0;
    }
}

bool pattern_covers(PatternCode line, PatternCode pattern) {
    std::array<PatternCode, 2> broader{};
    const int count = broader_patterns(pattern, broader);
    return line == pattern || (count > 0 && line == broader[0]) ||
           (count > 1 && line == broader[1]);
}

PatternCode hold_pattern(const Hand& hand, unsigned hold) {
    KeptCards kept;
    for (int p = 0; p < hand_size; ++p)
        if (hold >> p & 1U) keep_card_number(kept, card_number(hand[p]));
    return classify(kept);
}

bool place_in_chart(const Chart& chart, const Hand& hand, ChartPlace& place) {
    bool different = true;
    for (int p = 0; p < hand_size; ++p)
        for (int q = p + 1; q < hand_size; ++q)
            different = different && !(hand[p] == hand[q]);
    for (const Card card : hand) {
        const int index = index_of_card(card);
        different = different && index >= 0 && index < deck_size && card_of_index(index) == card;
    }
    if (!different) return false;
    std::array<PatternCode, hold_count> patterns;
    for (unsigned hold = 0; hold < hold_count; ++hold)
        patterns[hold] = hold_pattern(hand, hold);
    for (std::size_t line = 0; line < chart.lines.size(); ++line) {
        // Of the holds of the line, the highest cards, then the first suits.
        bool found = false;
        unsigned chosen = 0;
        auto order_key = [&](unsigned hold) {
            KeptCards kept;
            for (int p = 0; p < hand_size; ++p)
                if (hold >> p & 1U) keep_card_number(kept, card_number(hand[p]));
            return std::pair{rank_key(kept), suit_key(kept, suits_as_dealt)};
        };
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            if (!pattern_covers(chart.lines[line], patterns[hold])) continue;
            if (!found || order_key(hold) > order_key(chosen)) chosen = hold;
            found = true;
        }
        if (found) {
            place = ChartPlace{static_cast<int>(line), chosen};
            return true;
        }
    }
    return false;
}
