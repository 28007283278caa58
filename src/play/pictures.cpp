// What each event of the game looks like: the pictures, messages, colours and pauses.
#include <cstdio>

#include "play/messages.hpp"
#include "play/run.hpp"
#include "strategy/chart.hpp"

namespace {

// The gamble's table shows "[S]" under all four cards until the dealer's card stands.
constexpr unsigned every_pick = 0b11110;

void say(Run& run, const char* foreground, const char* background, const char* message) {
    set_colors(*run.display, foreground, background);
    show_message(*run.display, message);
}

// A message made up here, padded to the whole line like the fixed ones.
void say_padded(Run& run, const char* foreground, const char* background, const char* text) {
    MessageLine line;
    pad_message(line, text);
    say(run, foreground, background, line);
}

// What a hold held back gives away, in bets with two decimals.
void show_held_back(Run& run, const ExactAmount& cost) {
    char amount[amount_text_capacity];
    format_hundredths(amount, cost, run.cost_denominator);
    MessageLine line;
    held_back_line(line, amount);
    say(run, "blue", "white", line);
}

// The trainer's tally of the run, shown for two seconds when the player ends it with End.
void show_tally(Run& run, const Trainer& trainer) {
    char amount[amount_text_capacity];
    format_hundredths(amount, trainer.given_away, run.cost_denominator);
    char text[64];
    std::snprintf(text, sizeof text, tally_format, static_cast<int>(trainer.hands),
                  static_cast<int>(trainer.best_holds), amount);
    say_padded(run, "black", "white", text);
    pause_seconds(run, 2);
}

void draw_cards(Run& run, const Event& event) {
    for (int position = 0; position < hand_size; ++position) {
        if ((event.positions >> position & 1U) == 0) continue;
        const Card card = event.cards[static_cast<std::size_t>(position)];
        draw_card_face(*run.display, position, card.suit, card.rank);
    }
    flush_display(*run.display);
}

void draw_money(Run& run, const Money& money) {
    draw_scores(*run.display, money.bet, money.win, money.credit);
}

// The result line of a paying hand, black on yellow.
void show_result(Run& run, const Event& event) {
    char text[result_text_capacity];
    format_result(text, event.category, event.money.bet);
    say(run, "black", "yellow", text);
}

}  // namespace

void show_event(Run& run, const Event& event) {
    DisplayContext& display = *run.display;
    // The cards of the deal come after a pause in which ending still gives the bet back; every
    // other event counts from its first picture.
    if (event.kind != EventKind::dealt) run.settled = event.settled;
    switch (event.kind) {
        case EventKind::game_begun:
            draw_table(display, event.money.bet, event.money.win, event.money.credit);
            say(run, "black", "white", press_bet_message);
            break;
        case EventKind::staked:
            draw_money(run, event.money);
            flush_display(display);
            break;
        case EventKind::dealt:
            say(run, "black", "white", good_luck_message);
            pause_seconds(run, 1);
            run.settled = event.settled;
            draw_cards(run, event);
            run.game_unrecorded = true;
            say(run, "black", "white", select_cards_message);
            pause_seconds(run, 1);
            break;
        case EventKind::marked:
            draw_hold_panel(display, event.positions);
            flush_display(display);
            break;
        case EventKind::held_back:
            show_held_back(run, event.cost);
            break;
        case EventKind::hint_named:
            say_padded(run, "blue", "white", pattern_text(event.pattern).data());
            flush_display(display);
            break;
        case EventKind::drawn:
            // The cards to be replaced turn face down for a second first.
            for (int position = 0; position < hand_size; ++position) {
                if (event.positions >> position & 1U) draw_card_back(display, position);
            }
            flush_display(display);
            pause_seconds(run, 1);
            draw_cards(run, event);
            break;
        case EventKind::scored:
            if (event.category == HandCategory::no_win) {
                say(run, "blue", "white", you_lost_message);
            } else {
                show_result(run, event);
                draw_money(run, event.money);
            }
            flush_display(display);
            pause_seconds(run, 2);
            break;
        case EventKind::gamble_begun:
            clear_window(display);
            for (int position = 0; position < hand_size; ++position)
                draw_card_back(display, position);
            draw_double_panel(display);
            draw_pick_panel(display, every_pick);
            draw_money(run, event.money);
            break;
        case EventKind::dealer_dealt:
            draw_cards(run, event);
            break;
        case EventKind::pick_asked:
            say(run, "black", "white", select_bigger_message);
            draw_pick_panel(display, 0);
            flush_display(display);
            pause_seconds(run, 1);
            break;
        case EventKind::picked:
            draw_pick_panel(display, event.positions);
            break;
        case EventKind::revealed:
            draw_cards(run, event);
            pause_seconds(run, 2);
            break;
        case EventKind::dealer_joker:
        case EventKind::gamble_won:
            say(run, "black", "yellow",
                event.kind == EventKind::dealer_joker ? lucky_win_message : you_win_message);
            flush_display(display);
            pause_seconds(run, 1);
            break;
        case EventKind::gamble_lost:
            say(run, "blue", "white", you_lost_message);
            flush_display(display);
            pause_seconds(run, 1);
            break;
        case EventKind::game_over:
            // Said in the window too, for a player who started the game from a menu and never
            // sees standard output.
            say(run, "blue", "white", game_over_message);
            pause_seconds(run, 2);
            break;
        case EventKind::ended:
            if (run.state->trainer.on) show_tally(run, run.state->trainer);
            break;
        case EventKind::taken:
            break;
    }
}

void print_run_end(const Run& run, std::int32_t credit) {
    if (is_game_over(credit)) {
        std::puts("****           ****");
        std::puts("**** Game Over ****");
        std::puts("****           ****");
    }
    const Trainer& trainer = run.state->trainer;
    if (trainer.on) {
        char amount[amount_text_capacity];
        format_hundredths(amount, trainer.given_away, run.cost_denominator);
        std::printf(trainer_summary_format, static_cast<int>(trainer.hands),
                    static_cast<int>(trainer.best_holds),
                    static_cast<int>(trainer.hands - trainer.best_holds), amount);
    }
    std::fflush(stdout);
}

void show_offer(Run& run, const GameState& state) {
    draw_double_panel(*run.display);
    draw_scores(*run.display, state.bet, state.win, state.credit);
    say(run, "black", "white", offer_message);
    flush_display(*run.display);
    pause_seconds(run, 1);
}
