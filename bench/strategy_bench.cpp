// Strategy speeds, printed as medians of repeated runs: the whole pay table from nothing, the
// tables alone and the walk over the deals alone, each with one and two threads; one hand's 32
// values with and without the tables, and ranked as poker-odds shows them; the hint, the game's
// hold values and the trainer's check as the game calls them; the strategy chart derived and
// checked beside the table's own analysis, a hand placed in it and the trainer's pattern of the
// hint; and the tables' memory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "random_hands.hpp"
#include "strategy/chart.hpp"
#include "strategy/internal.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void print_times(const char* what, const std::vector<double>& times, const char* unit) {
    std::printf("%-52s median %9.3f %s  (min %.3f, max %.3f, %zu runs)\n", what, median(times),
                unit, *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), times.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    const PayTable pays = game_pay_table();

    // The first call of the hint or the trainer's check builds their tables in static storage (a
    // trainer run builds them at its start instead).
    const std::vector<Hand> hands = random_hands(4096);
    unsigned hint = 0;
    Clock::time_point start = Clock::now();
    std::int64_t held = best_hold(hands[0], hint);
    const double first_hint = milliseconds_since(start);

    // One and two threads take turns run by run, so that load from elsewhere on the machine falls
    // on both alike.
    auto print_threads = [](const char* what, const std::vector<double>(&times)[2]) {
        for (int threads = 1; threads <= 2; ++threads) {
            char line[64];
            std::snprintf(line, sizeof line, "%s, %d thread%s", what, threads,
                          threads > 1 ? "s" : "");
            print_times(line, times[threads - 1], "ms");
        }
    };
    auto tables = std::make_unique<SubsetTables>();
    auto totals = std::make_unique<PayTotals>();
    {
        std::vector<double> whole[2];
        std::vector<double> alone[2];
        std::vector<double> deals[2];
        for (int run = 0; run < runs; ++run) {
            for (int threads = 1; threads <= 2; ++threads) {
                start = Clock::now();
                held += analyse_pay_table(pays, threads).tied_deals;
                whole[threads - 1].push_back(milliseconds_since(start));

                auto fresh = std::make_unique<SubsetTables>();
                start = Clock::now();
                build_subset_tables(*fresh, threads);
                build_pay_totals(*fresh, pays, *totals);
                alone[threads - 1].push_back(milliseconds_since(start));

                start = Clock::now();
                held += analyse_pay_table(*fresh, *totals, threads).tied_deals;
                deals[threads - 1].push_back(milliseconds_since(start));
            }
        }
        print_threads("whole table from nothing", whole);
        print_threads("tables alone (already allocated)", alone);
        print_threads("deals alone (tables built)", deals);
    }
    build_subset_tables(*tables);
    build_pay_totals(*tables, pays, *totals);

    {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            for (const Hand& hand : hands)
                held += hold_values_on(*tables, *totals, hand).best;
            times.push_back(milliseconds_since(start) * 1e6 / static_cast<double>(hands.size()));
        }
        print_times("one hand's 32 values, tables built", times, "ns");
    }
    {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            for (const Hand& hand : hands)
                held += holds_best_first(hold_values_on(*tables, *totals, hand))[1];
            times.push_back(milliseconds_since(start) * 1e6 / static_cast<double>(hands.size()));
        }
        print_times("the same ranked best first (poker-odds)", times, "ns");
    }
    {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            auto fresh_tables = std::make_unique<SubsetTables>();
            auto fresh_totals = std::make_unique<PayTotals>();
            build_subset_tables(*fresh_tables);
            build_pay_totals(*fresh_tables, pays, *fresh_totals);
            held += hold_values_on(*fresh_tables, *fresh_totals, hands[run % hands.size()]).best;
            times.push_back(milliseconds_since(start));
        }
        print_times("one hand's 32 values from nothing", times, "ms");
    }
    {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            for (const Hand& hand : hands)
                held += best_hold(hand, hint) + hint;
            times.push_back(milliseconds_since(start) * 1e6 / static_cast<double>(hands.size()));
        }
        std::printf("%-52s %9.3f ms\n", "hint or trainer's check, first call (builds tables)",
                    first_hint);
        print_times("hint, each later call", times, "ns");
    }
    {
        std::vector<double> times;
        HoldValues values{};
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            for (const Hand& hand : hands)
                held += game_hold_values(hand, values) + values.value[run % hold_count];
            times.push_back(milliseconds_since(start) * 1e6 / static_cast<double>(hands.size()));
        }
        print_times("game's hold values, each later call", times, "ns");
    }
    {
        // The check of a Deal in a trainer run: what the marked hold gives away.
        std::vector<double> times;
        std::int64_t cost = 0;
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            for (const Hand& hand : hands)
                held += hold_cost(hand, static_cast<unsigned>(run) % hold_count, cost) + cost;
            times.push_back(milliseconds_since(start) * 1e6 / static_cast<double>(hands.size()));
        }
        print_times("trainer's check of a hold, each later call", times, "ns");
    }

    {
        // The chart beside the table's own analysis: derived and checked from nothing, as
        // poker-odds --chart does for another pay table, and the game's compiled chart checked.
        std::vector<double> table;
        std::vector<double> derived;
        std::vector<double> checked;
        for (int run = 0; run < std::min(runs, 5); ++run) {
            start = Clock::now();
            held += analyse_pay_table(pays).tied_deals;
            table.push_back(milliseconds_since(start));
            start = Clock::now();
            held += static_cast<std::int64_t>(derive_chart(pays).lines.size());
            derived.push_back(milliseconds_since(start));
            start = Clock::now();
            held += static_cast<std::int64_t>(check_chart(pays, game_chart()).lines.size());
            checked.push_back(milliseconds_since(start));
        }
        print_times("whole table from nothing (2 threads), beside:", table, "ms");
        print_times("chart derived and checked from nothing", derived, "ms");
        print_times("game's chart checked from nothing", checked, "ms");
    }
    {
        // One hand placed in the game's compiled chart, as poker-odds HAND does.
        std::vector<double> times;
        ChartPlace place{};
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            for (const Hand& hand : hands)
                held += place_in_chart(game_chart(), hand, place) + place.line;
            times.push_back(milliseconds_since(start) * 1e6 / static_cast<double>(hands.size()));
        }
        print_times("one hand placed in the game's chart", times, "ns");
    }
    {
        // The trainer's h: the best hold's pattern named.
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            start = Clock::now();
            for (const Hand& hand : hands)
                held += best_hold(hand, hint) + hold_pattern(hand, hint);
            times.push_back(milliseconds_since(start) * 1e6 / static_cast<double>(hands.size()));
        }
        print_times("hint with its pattern named (trainer's h)", times, "ns");
    }

    // The analysis adds, per thread, one signed weight per class for the final categories.
    const double subset_bytes = sizeof(SubsetTables);
    const double total_bytes = sizeof(PayTotals);
    const double weight_bytes = 2.0 * class_total * sizeof(std::int64_t);
    std::printf(
        "memory: subset tables %.2f MB, pay totals %.2f MB, category weights of two "
        "threads %.2f MB; total %.2f MB\n",
        subset_bytes / 1e6, total_bytes / 1e6, weight_bytes / 1e6,
        (subset_bytes + total_bytes + weight_bytes) / 1e6);
    return held == -1 ? 1 : 0;
}
