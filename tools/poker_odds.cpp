// poker-odds: the exact values of a hand's 32 holds, or what a pay table returns under perfect
// play, from the game's own rules.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "strategy/strategy.hpp"

namespace {

const char usage[] =
    "Usage: poker-odds [--pays=A,B,C,D,E,F,G,H,I] [--json] [CARD CARD CARD CARD CARD]\n"
    "\n"
    "Without cards: what the pay table returns under perfect play, by final hand, with the\n"
    "return of keeping every deal and the value of one double-up gamble.\n"
    "With five cards: the 32 ways to hold them, best first, each with its exact expected\n"
    "payout per unit bet.\n"
    "\n"
    "  CARD              rank 2-9 T J Q K A and suit s h c d (as Ah, Td, 7c), or Jk for the\n"
    "                    joker; any case\n"
    "  --pays=A,...,I    the nine multipliers in the order of the game's table (Five Card,\n"
    "                    R.S.Flush, S.FLush, Four Card, Full House, Flush, Straight, Three Card,\n"
    "                    Two Pair), whole numbers from 0 to 1000000; the game's own table\n"
    "                    is 500,100,70,50,20,15,10,5,2\n"
    "  --json            the same answer as JSON\n"
    "  --help            this text\n"
    "  --version         the program's version\n";

constexpr std::int64_t largest_pay = 1000000;

[[noreturn]] void refuse(const std::string& message) {
    std::fprintf(stderr, "poker-odds: %s\n", message.c_str());
    std::exit(1);
}

// The answer counts only once written in full, as the coreutils' close_stdout has it: a full disk
// or a closed output is a failure, said in one line on standard error.
int output_status() {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && std::fclose(stdout) == 0) return 0;
    refuse(std::string("cannot write to standard output: ") + std::strerror(errno));
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

// "fraction" exact, "decimal" rounded to 12 digits.
std::string json_fraction(const Fraction& value) {
    return "{\"fraction\": \"" + fraction_text(value) +
           "\", \"decimal\": " + decimal_text(value, 12) + "}";
}

void print_table(const PayTable& pays, bool json) {
    const TableAnalysis analysis = analyse_pay_table(pays);
    std::array<Fraction, category_count + 1> share{};
    for (int c = 0; c < category_count; ++c) {
        // A table that pays nothing returns nothing, and no row has a share of it.
        if (analysis.perfect_return.numerator != 0)
            share[c] = Fraction{pays[c], 1} * analysis.probability[c] / analysis.perfect_return;
    }
    if (json) {
        std::string out = "{\"pays\": [";
        for (int c = 0; c < category_count; ++c)
            out += (c ? ", " : "") + std::to_string(pays[c]);
        out += "],\n \"categories\": [";
        for (int c = 0; c <= category_count; ++c) {
            out += c ? ",\n  " : "\n  ";
            out += "{\"name\": \"" + category_name(c) +
                   "\", \"pays\": " + std::to_string(c < category_count ? pays[c] : 0) +
                   ", \"probability\": " + json_fraction(analysis.probability[c]) +
                   ", \"share_of_return\": " + json_fraction(share[c]) + "}";
        }
        out += "],\n \"return\": " + json_fraction(analysis.perfect_return) +
               ",\n \"keep_deal_return\": " + json_fraction(analysis.keep_return) +
               ",\n \"double_up\": " + json_fraction(analysis.double_up) +
               ",\n \"deals\": " + std::to_string(deal_count) +
               ",\n \"tied_deals\": " + std::to_string(analysis.tied_deals) + "}\n";
        std::fputs(out.c_str(), stdout);
        return;
    }
    std::printf("Perfect play, for one unit bet, over all %lld deals:\n\n",
                static_cast<long long>(deal_count));
    std::printf("%-12s %8s  %-14s  %s\n", "Hand", "Pays", "Probability", "Share of return");
    for (int c = 0; c <= category_count; ++c) {
        const std::string pay = c < category_count ? std::to_string(pays[c]) : "0";
        const std::string part =
            c < category_count ? decimal_text(share[c] * Fraction{100, 1}, 4) + "%" : "";
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

// The same as the items of a JSON list, without the cards thrown away.
std::string held_json(const Hand& hand, unsigned hold) {
    std::string text;
    for (int p = 0; p < hand_size; ++p) {
        if (!(hold & (1U << p))) continue;
        text += (text.empty() ? "\"" : ", \"") + card_name(hand[p]) + "\"";
    }
    return text;
}

void print_hand(const Hand& hand, const PayTable& pays, bool json) {
    HoldValues values{};
    hold_values_under(hand, pays, values);
    const std::array<std::uint8_t, hold_count> order = holds_best_first(values);

    if (json) {
        std::string out = "{\"hand\": [" + held_json(hand, hold_count - 1) + "], \"pays\": [";
        for (int c = 0; c < category_count; ++c)
            out += (c ? ", " : "") + std::to_string(pays[c]);
        out += "],\n \"denominator\": " + std::to_string(value_denominator) +
               ", \"best_count\": " + std::to_string(values.best_count) + ",\n \"holds\": [";
        for (int i = 0; i < hold_count; ++i) {
            const unsigned hold = order[i];
            const Fraction value = make_fraction(values.value[hold], value_denominator);
            out += i ? ",\n  " : "\n  ";
            out += "{\"hold\": [" + held_json(hand, hold) +
                   "], \"numerator\": " + std::to_string(values.value[hold]) + ", \"value\": \"" +
                   fraction_text(value) + "\", \"decimal\": " + decimal_text(value, 12) + "}";
        }
        out += "]}\n";
        std::fputs(out.c_str(), stdout);
        return;
    }
    std::printf("%-16s %15s  %s\n", "Hold", "Expected payout", "exact, per unit bet");
    for (int i = 0; i < hold_count; ++i) {
        const unsigned hold = order[i];
        const Fraction value = make_fraction(values.value[hold], value_denominator);
        std::printf("%-16s %15s  %s%s\n", held_text(hand, hold).c_str(),
                    decimal_text(value, 9).c_str(), fraction_text(value).c_str(),
                    i < values.best_count ? "  (best)" : "");
    }
}

}  // namespace

int main(int argc, char** argv) {
    PayTable pays = game_pay_table();
    bool json = false;
    Hand hand{};
    int cards = 0;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::fputs(usage, stdout);
            return output_status();
        }
        if (std::strcmp(argument, "--version") == 0) {
            std::printf("poker-odds %s\n", POKER_VERSION);
            return output_status();
        }
        if (std::strcmp(argument, "--json") == 0) {
            json = true;
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
    if (cards == 0) {
        print_table(pays, json);
    } else {
        print_hand(hand, pays, json);
    }
    return output_status();
}
