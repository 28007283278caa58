// poker-odds: the exact values of a hand's 32 holds, or what a pay table returns under perfect
// play, from the game's own rules.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "report/json.hpp"
#include "report/output.hpp"
#include "strategy/chart.hpp"
#include "strategy/strategy.hpp"

namespace {

const char usage[] =
    "Usage: poker-odds [--pays=A,B,C,D,E,F,G,H,I] [--json] [CARD CARD CARD CARD CARD]\n"
    "       poker-odds [--pays=A,B,C,D,E,F,G,H,I] [--json] --chart\n"
    "\n"
    "Without cards: what the pay table returns under perfect play, by final hand, with the\n"
    "return of keeping every deal and the value of one double-up gamble.\n"
    "With five cards: the 32 ways to hold them, best first, each with its exact expected\n"
    "payout per unit bet, and the line of the strategy chart the hand falls on.\n"
    "With --chart: the strategy chart for the pay table, one pattern a line (hold the first\n"
    "line the hand contains), with what following it returns, exactly.\n"
    "\n"
    "  CARD              rank 2-9 T J Q K A and suit s h c d (as Ah, Td, 7c), or Jk for the\n"
    "                    joker; any case\n"
    "  --pays=A,...,I    the nine multipliers in the order of the game's table (Five Card,\n"
    "                    R.S.Flush, S.FLush, Four Card, Full House, Flush, Straight, Three Card,\n"
    "                    Two Pair), whole numbers from 0 to 1000000; the game's own table\n"
    "                    is 500,100,70,50,20,15,10,5,2\n"
    "  --chart           the strategy chart\n"
    "  --json            the same answer as JSON\n"
    "  --help            this text\n"
    "  --version         the program's version\n";

constexpr std::int64_t largest_pay = 1000000;

[[noreturn]] void refuse(const std::string& message) {
    std::fprintf(stderr, "poker-odds: %s\n", message.c_str());
    std::exit(1);
}

// A card as the game writes it: "Ah", "Td", "Jk".
std::string card_name(Card card) {
    return card_text(card).data();
}

PayTable parse_pays(const char* list) {
    PayTable pays{};
    if (*list == '\0') refuse("--pays needs nine numbers separated by commas, 0 given");
    int count = 0;
    const char* item = list;
    for (;;) {
        const char* end = std::strchr(item, ',');
        const std::string text = end ? std::string(item, end) : std::string(item);
        if (!text.empty() && text[0] == '-' && text.size() > 1 &&
            std::strspn(text.c_str() + 1, "0123456789") == text.size() - 1) {
            refuse("pay '" + text + "' is negative; pays are whole numbers from 0 to 1000000");
        }
        if (text.empty() || std::strspn(text.c_str(), "0123456789") != text.size()) {
            refuse("pay '" + text + "' is not a whole number from 0 to 1000000");
        }
        std::int64_t value = 0;
        for (char digit : text) {
            value = value * 10 + (digit - '0');
            if (value > largest_pay) refuse("pay '" + text + "' is above 1000000");
        }
        if (count < category_count) pays[count] = value;
        ++count;
        if (!end) break;
        item = end + 1;
    }
    if (count != category_count) {
        refuse("--pays needs nine numbers separated by commas, " + std::to_string(count) +
               " given");
    }
    return pays;
}

// The payout table's name of a category without its padding.
std::string category_name(int category) {
    if (category == category_count) return "No win";
    std::string name = payout_table[static_cast<std::size_t>(category)].name;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

std::string fraction_text(const Fraction& value) {
    char text[number_text_capacity];
    format_fraction(text, value);
    return text;
}

std::string decimal_text(const Fraction& value, int digits) {
    char text[number_text_capacity];
    format_decimal(text, value, digits);
    return text;
}

// What a pay table returns, worked out once for either printer.
struct TableReport {
    TableAnalysis analysis;
    // Each row's share of the return; none when the table pays nothing.
    std::array<Fraction, category_count + 1> share{};
};

TableReport table_report(const PayTable& pays) {
    TableReport report{analyse_pay_table(pays), {}};
    const TableAnalysis& analysis = report.analysis;
    for (int c = 0; c < category_count; ++c) {
        if (analysis.perfect_return.numerator != 0)
            report.share[c] =
                Fraction{pays[c], 1} * analysis.probability[c] / analysis.perfect_return;
    }
    return report;
}

// A fraction for scripts: "fraction" exact, "decimal" rounded to 12 digits.
void json_fraction(Json& json, const Fraction& value) {
    json_begin_object(json);
    json_key(json, "fraction");
    json_string(json, fraction_text(value));
    json_key(json, "decimal");
    json_number_text(json, decimal_text(value, 12));
    json_end_object(json);
}

void json_pays(Json& json, const PayTable& pays) {
    json_key(json, "pays");
    json_begin_array(json);
    for (const std::int64_t pay : pays)
        json_integer(json, pay);
    json_end_array(json);
}

void print_table_json(const TableReport& report) {
    const TableAnalysis& analysis = report.analysis;
    Json json;
    json_begin_object(json);
    json_pays(json, analysis.pays);
    json_key(json, "categories");
    json_begin_array(json);
    for (int c = 0; c <= category_count; ++c) {
        json_begin_object(json);
        json_key(json, "name");
        json_string(json, category_name(c));
        json_key(json, "pays");
        json_integer(json, c < category_count ? analysis.pays[c] : 0);
        json_key(json, "probability");
        json_fraction(json, analysis.probability[c]);
        json_key(json, "share_of_return");
        json_fraction(json, report.share[c]);
        json_end_object(json);
    }
    json_end_array(json);
    json_key(json, "return");
    json_fraction(json, analysis.perfect_return);
    json_key(json, "keep_deal_return");
    json_fraction(json, analysis.keep_return);
    json_key(json, "double_up");
    json_fraction(json, analysis.double_up);
    json_key(json, "deals");
    json_integer(json, deal_count);
    json_key(json, "tied_deals");
    json_integer(json, analysis.tied_deals);
    json_end_object(json);
    std::fputs(json_finish(json).c_str(), stdout);
}

void print_table_text(const TableReport& report) {
    const TableAnalysis& analysis = report.analysis;
    std::printf("Perfect play, for one unit bet, over all %lld deals:\n\n",
                static_cast<long long>(deal_count));
    std::printf("%-12s %8s  %-14s  %s\n", "Hand", "Pays", "Probability", "Share of return");
    for (int c = 0; c <= category_count; ++c) {
        const std::string pay = c < category_count ? std::to_string(analysis.pays[c]) : "0";
        const std::string part =
            c < category_count ? decimal_text(report.share[c] * Fraction{100, 1}, 4) + "%" : "";
        std::printf("%-12s %8s  %-14s  %s\n", category_name(c).c_str(), pay.c_str(),
                    decimal_text(analysis.probability[c], 12).c_str(), part.c_str());
    }
    const Fraction percent{100, 1};
    std::printf("\nReturn under perfect play: %s = %s (%s%%)\n",
                fraction_text(analysis.perfect_return).c_str(),
                decimal_text(analysis.perfect_return, 12).c_str(),
                decimal_text(analysis.perfect_return * percent, 6).c_str());
    std::printf("Return keeping every deal: %s = %s (%s%%)\n",
                fraction_text(analysis.keep_return).c_str(),
                decimal_text(analysis.keep_return, 12).c_str(),
                decimal_text(analysis.keep_return * percent, 6).c_str());
    std::printf("One double-up gamble:      %s = %s per unit staked\n",
                fraction_text(analysis.double_up).c_str(),
                decimal_text(analysis.double_up, 12).c_str());
    std::printf("Deals whose best hold ties with another: %lld\n",
                static_cast<long long>(analysis.tied_deals));
}

// The cards a hold keeps, in the hand's order, with "--" for each card thrown away.
std::string held_text(const Hand& hand, unsigned hold) {
    std::string text;
    for (int p = 0; p < hand_size; ++p) {
        if (p) text += ' ';
        text += hold & (1U << p) ? card_name(hand[p]) : "--";
    }
    return text;
}

// The cards a hold keeps as a JSON array, in the hand's order.
void json_held(Json& json, const Hand& hand, unsigned hold) {
    json_begin_array(json);
    for (int p = 0; p < hand_size; ++p) {
        if (hold & (1U << p)) json_string(json, card_name(hand[p]));
    }
    json_end_array(json);
}

// A hand's 32 holds, worked out once for either printer.
struct HandReport {
    Hand hand;
    PayTable pays;
    HoldValues values;
    std::array<std::uint8_t, hold_count> order;  // best first
    ChartPlace place;
    PatternCode pattern;
};

// The game's own chart is compiled in; another pay table's is derived here.
Chart chart_of(const PayTable& pays) {
    return pays == game_pay_table() ? game_chart() : derive_chart(pays).chart;
}

HandReport hand_report(const Hand& hand, const PayTable& pays) {
    HandReport report{hand, pays, {}, {}, {}, {}};
    hold_values_under(hand, pays, report.values);
    report.order = holds_best_first(report.values);
    const Chart chart = chart_of(pays);
    // Every chart ends with Draw five, which every hand contains.
    place_in_chart(chart, hand, report.place);
    report.pattern = chart.lines[static_cast<std::size_t>(report.place.line)];
    return report;
}

void print_hand_json(const HandReport& report) {
    Json json;
    json_begin_object(json);
    json_key(json, "hand");
    json_held(json, report.hand, hold_count - 1);
    json_pays(json, report.pays);
    json_key(json, "denominator");
    json_integer(json, value_denominator);
    json_key(json, "best_count");
    json_integer(json, report.values.best_count);
    json_key(json, "holds");
    json_begin_array(json);
    for (const unsigned hold : report.order) {
        const Fraction value = make_fraction(report.values.value[hold], value_denominator);
        json_begin_object(json);
        json_key(json, "hold");
        json_held(json, report.hand, hold);
        json_key(json, "numerator");
        json_integer(json, report.values.value[hold]);
        json_key(json, "value");
        json_string(json, fraction_text(value));
        json_key(json, "decimal");
        json_number_text(json, decimal_text(value, 12));
        json_end_object(json);
    }
    json_end_array(json);
    json_key(json, "chart");
    json_begin_object(json);
    json_key(json, "line");
    json_integer(json, report.place.line + 1);
    json_key(json, "pattern");
    json_string(json, pattern_text(report.pattern).data());
    json_key(json, "hold");
    json_string(json, cards_text(report.hand, report.place.hold).data());
    json_end_object(json);
    json_end_object(json);
    std::fputs(json_finish(json).c_str(), stdout);
}

void print_hand_text(const HandReport& report) {
    std::printf("%-16s %15s  %s\n", "Hold", "Expected payout", "exact, per unit bet");
    for (int i = 0; i < hold_count; ++i) {
        const unsigned hold = report.order[i];
        const Fraction value = make_fraction(report.values.value[hold], value_denominator);
        std::printf("%-16s %15s  %s%s\n", held_text(report.hand, hold).c_str(),
                    decimal_text(value, 9).c_str(), fraction_text(value).c_str(),
                    i < report.values.best_count ? "  (best)" : "");
    }
    std::printf("\nChart line %d, %s: hold %s\n", report.place.line + 1,
                pattern_text(report.pattern).data(),
                held_text(report.hand, report.place.hold).c_str());
}

// The chart of a pay table and what it returns: the game's own as compiled in, another
// derived.
ChartReport chart_report(const PayTable& pays) {
    return pays == game_pay_table() ? check_chart(pays, game_chart()) : derive_chart(pays);
}

std::string wide_text(Wide value) {
    char text[number_text_capacity];
    format_wide(text, value);
    return text;
}

// What a line loses against perfect play: bets per deal, over the deals it decides, and over
// every deal dealt.
Fraction lost_per_deal(const ChartLineReport& line, std::int64_t deals) {
    if (deals == 0) return Fraction{0, 1};
    return make_fraction(line.lost, static_cast<Wide>(deals) * value_denominator);
}

void print_chart_json(const ChartReport& report) {
    Json json;
    json_begin_object(json);
    json_key(json, "lines");
    json_begin_array(json);
    for (const ChartLineReport& line : report.lines) {
        json_begin_object(json);
        json_key(json, "pattern");
        json_string(json, pattern_text(line.pattern).data());
        json_key(json, "deals");
        json_integer(json, line.deals);
        json_key(json, "loss");
        json_number_text(json, decimal_text(lost_per_deal(line, line.deals), 12));
        json_end_object(json);
    }
    json_end_array(json);
    for (const auto& [key, value] : {std::pair{"chart_return", report.chart_return},
                                     std::pair{"perfect_return", report.perfect_return}}) {
        json_key(json, key);
        json_begin_array(json);
        json_number_text(json, wide_text(value.numerator));
        json_number_text(json, wide_text(value.denominator));
        json_end_array(json);
    }
    json_end_object(json);
    std::fputs(json_finish(json).c_str(), stdout);
}

void print_chart_text(const ChartReport& report) {
    std::printf(
        "Hold the first line the hand contains. Loss: bets given away\n"
        "against perfect play per deal the line decides, and per deal dealt.\n\n");
    std::printf("%4s  %-23s %8s  %9s  %9s\n", "Line", "Pattern", "Deals", "Loss", "Of all");
    for (std::size_t i = 0; i < report.lines.size(); ++i) {
        const ChartLineReport& line = report.lines[i];
        std::printf("%4zu  %-23s %8lld  %9s  %9s\n", i + 1, pattern_text(line.pattern).data(),
                    static_cast<long long>(line.deals),
                    decimal_text(lost_per_deal(line, line.deals), 6).c_str(),
                    decimal_text(lost_per_deal(line, deal_count), 6).c_str());
    }
    const Fraction share = report.perfect_return.numerator == 0
                               ? Fraction{1, 1}
                               : report.chart_return / report.perfect_return;
    std::printf("\nchart: %zu lines, returns %s = %s (%s%% of perfect play)\n", report.lines.size(),
                fraction_text(report.chart_return).c_str(),
                decimal_text(report.chart_return, 6).c_str(),
                decimal_text(share * Fraction{100, 1}, 3).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    PayTable pays = game_pay_table();
    bool json = false;
    bool chart = false;
    Hand hand{};
    int cards = 0;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::fputs(usage, stdout);
            return output_status("poker-odds: ");
        }
        if (std::strcmp(argument, "--version") == 0) {
            std::printf("poker-odds %s\n", POKER_VERSION);
            return output_status("poker-odds: ");
        }
        if (std::strcmp(argument, "--json") == 0) {
            json = true;
        } else if (std::strcmp(argument, "--chart") == 0) {
            chart = true;
        } else if (std::strncmp(argument, "--pays=", 7) == 0) {
            pays = parse_pays(argument + 7);
        } else if (argument[0] == '-') {
            refuse(std::string("unknown option '") + argument + "' (see --help)");
        } else {
            Card card{};
            if (!parse_card(argument, card)) {
                refuse(std::string("'") + argument +
                       "' is not a card: ranks are 2-9 T J Q K A, suits s h c d, Jk the joker");
            }
            for (int k = 0; k < cards && k < hand_size; ++k) {
                if (hand[k] == card) refuse("the card " + card_name(card) + " is given twice");
            }
            if (cards < hand_size) hand[cards] = card;
            ++cards;
        }
    }
    if (cards != 0 && cards != hand_size) {
        refuse("a hand is five cards, " + std::to_string(cards) + " given");
    }
    if (chart && cards != 0) refuse("--chart takes no cards");
    if (chart) {
        const ChartReport report = chart_report(pays);
        json ? print_chart_json(report) : print_chart_text(report);
    } else if (cards == 0) {
        const TableReport report = table_report(pays);
        json ? print_table_json(report) : print_table_text(report);
    } else {
        const HandReport report = hand_report(hand, pays);
        json ? print_hand_json(report) : print_hand_text(report);
    }
    return output_status("poker-odds: ");
}
