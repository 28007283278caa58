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

    std::vector<int> slot(1 << 16, -1);  // a pattern's entry in this class, by dense number
    std::vector<unsigned> tied;
    const auto add_deal = [&](const SuitClass& deal, const int* cards, const HandSets& hand_sets,
                              const std::array<std::int64_t, hold_count>& sums) {
        std::array<std::int64_t, hold_count> values;
        // Each hold's pattern, then the broader ones it falls under.
        std::array<std::array<int, 3>, hold_count> dense;
        std::array<int, hold_count> dense_count;
        std::array<std::uint32_t, hold_count> key{};
        std::int64_t best = 0;
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            values[hold] = sums[hold] * hold_shape.scale[hold];
            best = std::max(best, values[hold]);
            PatternCode pattern = 0;
            if (hold == hold_count - 1) {
                KeptCards all;
                for (int i = 0; i < hand_size; ++i)
                    keep_card_number(all, cards[i]);
                pattern = classify(all);
            } else {
                const std::uint16_t set_class = hand_sets.set_class(hold);
                pattern = sets->pattern[set_class];
                key[hold] = sets->key[set_class];
            }
            std::array<PatternCode, 2> broader{};
            const int count = broader_patterns(pattern, broader);
            dense[hold][0] = walk.patterns.of(pattern);
            for (int b = 0; b < count; ++b)
                dense[hold][b + 1] = walk.patterns.of(broader[b]);
            dense_count[hold] = count + 1;
        }
        // Per pattern the hold of the highest ranks, and whether another of the same
        // ranks and a different value makes the suits decide.
        const int begin = static_cast<int>(walk.pattern.size());
        std::array<unsigned, 3 * hold_count> chosen;
        std::array<bool, 3 * hold_count> by_suits{};
        int entries = 0;
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            for (int d = 0; d < dense_count[hold]; ++d) {
                int& at = slot[dense[hold][d]];
                if (at < begin) {
                    at = begin + entries;
                    chosen[entries] = hold;
                    ++entries;
                    walk.pattern.push_back(static_cast<std::int16_t>(dense[hold][d]));
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
        }
        for (int e = 0; e < entries; ++e) {
            const unsigned hold = chosen[e];
            if (!by_suits[e]) {
                walk.value.push_back(values[hold] * deal.weight);
                continue;
            }
            const int line = walk.pattern[begin + e];
            tied.clear();
            for (unsigned h = 0; h < hold_count; ++h) {
                const auto& ids = dense[h];
                const bool covered = std::find(ids.begin(), ids.begin() + dense_count[h], line) !=
                                     ids.begin() + dense_count[h];
                if (covered && key[h] == key[hold]) tied.push_back(h);
            }
            walk.value.push_back(split_by_suits(deal, cards, values, tied));
        }
        walk.first.push_back(begin);
        walk.best.push_back(best * deal.weight);
        walk.weight.push_back(deal.weight);
    };
    for_each_deal(tables, totals, add_deal);
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

// A chart being improved: its lines (dense patterns, Draw five last), each line's place, and per
// class the first two lines it contains with their values, so that moving one line only looks
// at the classes that contain its pattern.
struct Search {
    const DealWalk& walk;
    std::vector<std::vector<std::int32_t>> entries;  // by pattern: the entries of it
    std::vector<std::int32_t> class_of_entry;
    std::vector<int> lines;
    std::vector<int> at;  // by pattern: its line, or absent
    struct Deciders {
        int first = 0, second = 0;  // dense patterns
        std::int64_t first_value = 0, second_value = 0;
    };
    std::vector<Deciders> deciders;

    Search(const DealWalk& walk, std::vector<int> chart)
        : walk(walk),
          entries(walk.patterns.codes.size()),
          class_of_entry(walk.pattern.size()),
          lines(std::move(chart)),
          deciders(walk.best.size()) {
        for (std::size_t c = 0; c + 1 < walk.first.size(); ++c) {
            for (int e = walk.first[c]; e < walk.first[c + 1]; ++e) {
                entries[walk.pattern[e]].push_back(e);
                class_of_entry[e] = static_cast<std::int32_t>(c);
            }
        }
        at = line_of(walk, lines);
        for (std::size_t c = 0; c < deciders.size(); ++c)
            find_deciders(static_cast<std::int32_t>(c));
    }

    // Every class contains Draw five, the last line, so each has a first line; the second is
    // absent for a class decided by Draw five.
    void find_deciders(std::int32_t c) {
        Deciders d{0, 0, 0, 0};
        int first = absent;
        int second = absent;
        for (int e = walk.first[c]; e < walk.first[c + 1]; ++e) {
            const int line = at[walk.pattern[e]];
            if (line < first) {
                second = first;
                d.second = d.first;
                d.second_value = d.first_value;
                first = line;
                d.first = walk.pattern[e];
                d.first_value = walk.value[e];
            } else if (line < second) {
                second = line;
                d.second = walk.pattern[e];
                d.second_value = walk.value[e];
            }
        }
        deciders[c] = d;
    }

    void changed(int pattern) {
        at = line_of(walk, lines);
        for (const std::int32_t e : entries[pattern])
            find_deciders(class_of_entry[e]);
    }

    // Moves the line at index from to the place where the chart returns most, or out of the
    // chart if it loses wherever it stands; returns whether the chart gained. Draw five, the
    // last line, stays last.
    bool move_to_best_place(std::size_t from) {
        const int moved = lines[from];
        const std::size_t others = lines.size() - 1;
        // gain[i]: what the line adds over the deals whose first other line is line i of the
        // others.
        std::vector<Wide> gain(others + 1, 0);
        for (const std::int32_t e : entries[moved]) {
            const Deciders& d = deciders[class_of_entry[e]];
            const bool first = d.first == moved;
            const int line = at[first ? d.second : d.first];
            const std::size_t place = static_cast<std::size_t>(line) - (line > at[moved]);
            gain[std::min(place, others)] +=
                walk.value[e] - (first ? d.second_value : d.first_value);
        }
        // Placed before line i, it decides the deals whose first other line is i or later.
        Wide running = 0;
        Wide best_gain = 0;
        std::size_t best_place = others;
        Wide here = 0;
        for (std::size_t i = others + 1; i-- > 0;) {
            running += gain[i];
            if (i == from) here = running;
            if (i < others && running > best_gain) {
                best_gain = running;
                best_place = i;
            }
        }
        if (best_gain <= here) return false;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(from));
        if (best_place < others)
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(best_place), moved);
        changed(moved);
        return true;
    }

    // Each line in turn goes where the chart returns most, until no move gains.
    void settle() {
        for (int pass = 0; pass < 8; ++pass) {
            bool moved = false;
            for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
                const int line = lines[i];
                if (move_to_best_place(i)) {
                    moved = true;
                    // The line now at i has not been looked at yet, unless it is the moved one.
                    if (lines[i] != line) --i;
                }
            }
            if (!moved) break;
        }
    }

    // The line worth least, by what its deals lose when the next line they contain decides
    // them; lines.size() - 1 (Draw five) if there is no other.
    std::pair<std::size_t, Wide> least_worth() const {
        std::vector<Wide> worth(lines.size(), 0);
        for (const Deciders& d : deciders)
            if (at[d.first] + 1 < static_cast<int>(lines.size()))
                worth[at[d.first]] += d.first_value - d.second_value;
        std::size_t least = lines.size() - 1;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (least + 1 == lines.size() || worth[i] < worth[least]) least = i;
        return {least, worth[least]};
    }

    void remove(std::size_t line) {
        const int pattern = lines[line];
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
        changed(pattern);
    }
};

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
    for (std::size_t c = 0; c + 1 < walk.first.size(); ++c) {
        for (int e = walk.first[c]; e < walk.first[c + 1]; ++e) {
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

    Search search(walk, std::move(lines));
    search.settle();
    // The line worth least goes while the chart is too long or a line adds nothing.
    for (;;) {
        const auto [least, worth] = search.least_worth();
        const bool too_long = static_cast<int>(search.lines.size()) > max_lines;
        if (least + 1 == search.lines.size() || (!too_long && worth > 0)) break;
        search.remove(least);
        search.settle();
    }
    return check_lines(walk, search.lines);
}
