// A chart's exact return over every deal, and a chart derived from the exact values of every
// deal: the deals are walked once by suit class, and each class keeps, per pattern it contains,
// the value of the hold the chart would keep; any ordering of the patterns is then a short sum.
#include <algorithm>
#include <memory>
#include <vector>

#include "strategy/internal.hpp"
#include "strategy/patterns.hpp"

namespace {

// The patterns met in the walk, numbered densely in the order met.
struct PatternIndex {
    std::vector<std::int16_t> dense = std::vector<std::int16_t>(1 << 16, -1);
    std::vector<PatternCode> codes;

    int of(PatternCode code) {
        if (dense[code] < 0) {
            dense[code] = static_cast<std::int16_t>(codes.size());
            codes.push_back(code);
        }
        return dense[code];
    }
};

// Every class of deals with, for each pattern it contains, what the chart's hold of that pattern
// returns over the class's deals (its value times the deals, in units of 1 / value_denominator),
// and the best hold's.
struct DealWalk {
    PatternIndex patterns;
    std::vector<std::int32_t> first;  // class c's entries are first[c] to first[c + 1] - 1
    std::vector<std::int16_t> pattern;
    std::vector<std::int64_t> value;
    std::vector<std::int64_t> best;
    std::vector<std::uint8_t> weight;
};

// The pattern and tie key of every set of up to four cards, by class: both ignore the suits'
// names.
struct SetPatterns {
    std::array<PatternCode, class_total> pattern;
    std::array<std::uint32_t, class_total> key;
};

void find_set_patterns(const SubsetTables& tables, SetPatterns& sets) {
    for (int i = 0; i < class_total; ++i) {
        int cards[hand_size];
        const int count = class_cards(tables.classes[i], cards);
        KeptCards kept;
        for (int k = 0; k < count; ++k)
            keep_card_number(kept, cards[k]);
        sets.pattern[i] = classify(kept);
        sets.key[i] = rank_key(kept);
    }
}

// Holds of one pattern with the same ranks: the tie rule then looks at the suits, which a
// renaming changes, so each deal of the class is taken in turn. Returns the chosen holds' values
// summed over the class's deals.
std::int64_t split_by_suits(const SuitClass& deal, const int* cards,
                            const std::array<std::int64_t, hold_count>& values,
                            const std::vector<unsigned>& holds) {
    const OrderList& orders = class_orders(deal);
    std::int64_t total = 0;
    for (int k = 0; k < orders.count; ++k) {
        // Suit s of this deal holds what the representative's suit order[s] has.
        const auto& order = suit_orders[orders.orders[k]];
        std::array<int, suit_count> renamed{};
        for (int s = 0; s < suit_count; ++s)
            renamed[order[s]] = s;
        std::uint32_t chosen_key = 0;
        std::int64_t chosen = 0;
        for (const unsigned hold : holds) {
            KeptCards kept;
            for (int i = 0; i < hand_size; ++i)
                if (hold >> i & 1U) keep_card_number(kept, cards[i]);
            // Above 0, so that the first hold is taken.
            const std::uint32_t key = suit_key(kept, renamed) + 1;
            if (key > chosen_key) {
                chosen_key = key;
                chosen = values[hold];
            }
        }
        total += chosen;
    }
    return total;
}

void walk_deals(const SubsetTables& tables, const PayTotals& totals, DealWalk& walk) {
    auto sets = std::make_unique<SetPatterns>();
    find_set_patterns(tables, *sets);
    // Draw five is pattern 0, in every deal.
    walk.patterns.of(classify(KeptCards{}));
    walk.first.reserve(suit_class_count[hand_size] + 1);
    walk.best.reserve(suit_class_count[hand_size]);
    walk.weight.reserve(suit_class_count[hand_size]);
    walk.pattern.reserve(std::size_t{24} * suit_class_count[hand_size]);
    walk.value.reserve(std::size_t{24} * suit_class_count[hand_size]);

    LowFour low;
    low.cards = {-1, -1, -1, -1};
    HandSets hand_sets;
    std::array<std::int64_t, hold_count> sums;
    std::vector<int> slot(1 << 16, -1);  // a pattern's entry in this class, by dense number
    std::vector<unsigned> tied;
    for_each_suit_class(hand_size, [&](const SuitClass& deal) {
        int cards[hand_size];
        class_cards(deal, cards);
        if (cards[0] != low.cards[0] || cards[1] != low.cards[1] || cards[2] != low.cards[2] ||
            cards[3] != low.cards[3])
            find_low_four(tables, totals, cards, low);
        hold_totals(tables, totals, low, cards[4], hand_sets, sums);
        std::array<std::int64_t, hold_count> values;
        std::array<int, hold_count> dense;
        std::array<std::uint32_t, hold_count> key{};
        std::int64_t best = 0;
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            values[hold] = sums[hold] * hold_shape.scale[hold];
            best = std::max(best, values[hold]);
            if (hold == hold_count - 1) {
                KeptCards all;
                for (const int card : cards)
                    keep_card_number(all, card);
                dense[hold] = walk.patterns.of(classify(all));
            } else {
                const std::uint16_t set_class = hand_sets.set_class(hold);
                dense[hold] = walk.patterns.of(sets->pattern[set_class]);
                key[hold] = sets->key[set_class];
            }
        }
        // Per pattern the hold of the highest ranks, and whether another of the same ranks and a
        // different value makes the suits decide.
        const int begin = static_cast<int>(walk.pattern.size());
        std::array<unsigned, hold_count> chosen;
        std::array<bool, hold_count> by_suits{};
        int entries = 0;
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            int& at = slot[dense[hold]];
            if (at < begin) {
                at = begin + entries;
                chosen[entries] = hold;
                ++entries;
                walk.pattern.push_back(static_cast<std::int16_t>(dense[hold]));
                continue;
            }
            const unsigned other = chosen[at - begin];
            if (key[hold] > key[other]) {
                chosen[at - begin] = hold;
                by_suits[at - begin] = false;
            } else if (key[hold] == key[other] && values[hold] != values[other]) {
                by_suits[at - begin] = true;
            }
        }
        for (int e = 0; e < entries; ++e) {
            const unsigned hold = chosen[e];
            if (!by_suits[e]) {
                walk.value.push_back(values[hold] * deal.weight);
                continue;
            }
            tied.clear();
            for (unsigned h = 0; h < hold_count; ++h)
                if (dense[h] == dense[hold] && key[h] == key[hold]) tied.push_back(h);
            walk.value.push_back(split_by_suits(deal, cards, values, tied));
        }
        walk.first.push_back(begin);
        walk.best.push_back(best * deal.weight);
        walk.weight.push_back(deal.weight);
    });
    walk.first.push_back(static_cast<std::int32_t>(walk.pattern.size()));
}

// The chart as line numbers by dense pattern: absent patterns come after every line.
constexpr int absent = 1 << 20;

std::vector<int> line_of(const DealWalk& walk, const std::vector<int>& lines) {
    std::vector<int> at(walk.patterns.codes.size(), absent);
    for (std::size_t i = 0; i < lines.size(); ++i)
        at[lines[i]] = static_cast<int>(i);
    return at;
}

// Every deal played by the chart of these lines (dense patterns).
ChartReport check_lines(const DealWalk& walk, const std::vector<int>& lines) {
    const std::vector<int> at = line_of(walk, lines);
    ChartReport report;
    report.lines.resize(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        report.chart.lines.push_back(walk.patterns.codes[lines[i]]);
        report.lines[i] = ChartLineReport{walk.patterns.codes[lines[i]], 0, 0};
    }
    Wide played = 0;
    Wide best = 0;
    const std::size_t classes = walk.best.size();
    for (std::size_t c = 0; c < classes; ++c) {
        int decider = absent;
        std::int64_t value = 0;
        for (int e = walk.first[c]; e < walk.first[c + 1]; ++e) {
            if (at[walk.pattern[e]] < decider) {
                decider = at[walk.pattern[e]];
                value = walk.value[e];
            }
        }
        // A chart without Draw five may leave a deal undecided: it then draws five.
        if (decider == absent) value = walk.value[walk.first[c]];
        played += value;
        best += walk.best[c];
        if (decider == absent) continue;
        report.lines[decider].deals += walk.weight[c];
        report.lines[decider].lost += walk.best[c] - value;
    }
    const Wide all = static_cast<Wide>(deal_count) * value_denominator;
    report.chart_return = make_fraction(played, all);
    report.perfect_return = make_fraction(best, all);
    return report;
}

// For each class, its entries of one pattern: the class and the entry.
std::vector<std::vector<std::int32_t>> classes_by_pattern(const DealWalk& walk) {
    std::vector<std::vector<std::int32_t>> found(walk.patterns.codes.size());
    for (std::size_t c = 0; c + 1 < walk.first.size(); ++c)
        for (int e = walk.first[c]; e < walk.first[c + 1]; ++e)
            found[walk.pattern[e]].push_back(static_cast<std::int32_t>(e));
    return found;
}

// Moves the line at index from to the place where the chart returns most, counting each
// deal that contains its pattern, or out of the chart; returns whether the chart gained. The last
// line, Draw five, stays last.
bool move_to_best_place(const DealWalk& walk, const std::vector<std::int32_t>& entries,
                        const std::vector<std::int32_t>& class_of_entry, std::vector<int>& lines,
                        std::size_t from) {
    const int moved = lines[from];
    std::vector<int> others = lines;
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(from));
    const std::vector<int> at = line_of(walk, others);
    // gain[i]: what the line adds over the deals whose first other line is line i.
    std::vector<Wide> gain(others.size() + 1, 0);
    for (const std::int32_t e : entries) {
        const std::int32_t c = class_of_entry[e];
        int decider = absent;
        std::int64_t value = 0;
        for (int f = walk.first[c]; f < walk.first[c + 1]; ++f) {
            if (at[walk.pattern[f]] < decider) {
                decider = at[walk.pattern[f]];
                value = walk.value[f];
            }
        }
        gain[std::min<std::size_t>(static_cast<std::size_t>(decider), others.size())] +=
            walk.value[e] - value;
    }
    // Placed before line i, it decides the deals whose first other line is i or later.
    Wide running = 0;
    Wide best_gain = 0;
    std::size_t best_place = others.size();
    Wide here = 0;
    for (std::size_t i = others.size() + 1; i-- > 0;) {
        running += gain[i];
        if (i == from) here = running;
        if (i < others.size() && running > best_gain) {
            best_gain = running;
            best_place = i;
        }
    }
    if (best_gain <= here) return false;
    // A line that loses wherever it stands leaves the chart.
    if (best_place < others.size())
        others.insert(others.begin() + static_cast<std::ptrdiff_t>(best_place), moved);
    lines = std::move(others);
    return true;
}

// What each line adds: the deals it decides played by the line below instead.
std::vector<Wide> line_worth(const DealWalk& walk, const std::vector<int>& lines) {
    const std::vector<int> at = line_of(walk, lines);
    std::vector<Wide> worth(lines.size(), 0);
    for (std::size_t c = 0; c + 1 < walk.first.size(); ++c) {
        int first = absent;
        int second = absent;
        std::int64_t first_value = 0;
        std::int64_t second_value = 0;
        for (int e = walk.first[c]; e < walk.first[c + 1]; ++e) {
            const int line = at[walk.pattern[e]];
            if (line < first) {
                second = first;
                second_value = first_value;
                first = line;
                first_value = walk.value[e];
            } else if (line < second) {
                second = line;
                second_value = walk.value[e];
            }
        }
        if (first != absent && second != absent) worth[first] += first_value - second_value;
    }
    return worth;
}

struct WalkedTables {
    std::unique_ptr<SubsetTables> tables{new SubsetTables};
    std::unique_ptr<PayTotals> totals{new PayTotals};
    DealWalk walk;

    explicit WalkedTables(const PayTable& pays) {
        build_subset_tables(*tables, 2);
        build_pay_totals(*tables, pays, *totals);
        walk_deals(*tables, *totals, walk);
    }
};

}  // namespace

ChartReport check_chart(const PayTable& pays, const Chart& chart) {
    WalkedTables walked(pays);
    std::vector<int> lines;
    for (const PatternCode code : chart.lines)
        lines.push_back(walked.walk.patterns.of(code));
    return check_lines(walked.walk, lines);
}

ChartReport derive_chart(const PayTable& pays, int max_lines) {
    WalkedTables walked(pays);
    const DealWalk& walk = walked.walk;
    const std::size_t count = walk.patterns.codes.size();

    // The patterns of best holds, first ordered by what they return on the deals where they are
    // best, the richest first; Draw five closes the chart.
    std::vector<Wide> when_best(count, 0);
    std::vector<std::int64_t> deals_best(count, 0);
    std::vector<std::int32_t> class_of_entry(walk.pattern.size());
    for (std::size_t c = 0; c + 1 < walk.first.size(); ++c) {
        for (int e = walk.first[c]; e < walk.first[c + 1]; ++e) {
            class_of_entry[e] = static_cast<std::int32_t>(c);
            if (walk.value[e] != walk.best[c]) continue;
            when_best[walk.pattern[e]] += walk.value[e];
            deals_best[walk.pattern[e]] += walk.weight[c];
        }
    }
    std::vector<int> lines;
    for (std::size_t p = 1; p < count; ++p)
        if (deals_best[p] > 0) lines.push_back(static_cast<int>(p));
    std::sort(lines.begin(), lines.end(), [&](int a, int b) {
        return when_best[a] * deals_best[b] > when_best[b] * deals_best[a];
    });
    lines.push_back(0);

    const std::vector<std::vector<std::int32_t>> entries = classes_by_pattern(walk);
    // Each line in turn goes where the chart returns most, until no move gains.
    auto settle = [&] {
        for (int pass = 0; pass < 8; ++pass) {
            bool moved = false;
            for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
                const int line = lines[i];
                if (move_to_best_place(walk, entries[line], class_of_entry, lines, i)) {
                    moved = true;
                    // The line now at i has not been looked at yet, unless it is the moved one.
                    if (lines[i] != line) --i;
                }
            }
            if (!moved) break;
        }
    };
    settle();
    // The line worth least goes while the chart is too long or a line adds nothing.
    for (;;) {
        const std::vector<Wide> worth = line_worth(walk, lines);
        std::size_t least = 0;
        for (std::size_t i = 1; i + 1 < lines.size(); ++i)
            if (worth[i] < worth[least]) least = i;
        if (lines.size() <= 1 || (static_cast<int>(lines.size()) <= max_lines && worth[least] > 0))
            break;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(least));
        settle();
    }
    return check_lines(walk, lines);
}
