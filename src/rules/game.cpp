#include "rules/game.hpp"

#include <cassert>

#include "rules/gamble.hpp"
#include "rules/money.hpp"

namespace {

constexpr unsigned pick_positions = every_position & ~1U;  // the four cards beside the dealer's

// Notes an event with the money and the settlement as they stand now, so the state must already
// be what the event reports.
Event& report(Events& events, const GameState& state, EventKind kind) {
    assert(events.count < static_cast<int>(events.list.size()));
    Event& event = events.list[static_cast<std::size_t>(events.count++)];
    event = Event{};
    event.kind = kind;
    event.money = Money{state.bet, state.win, state.credit};
    event.settled = settled_credit(state);
    return event;
}

// Deals a card to each position of the mask, from the left, and reports them.
void deal_positions(GameState& state, unsigned positions, const Sources& sources, Events& events,
                    EventKind kind) {
    for (int p = 0; p < hand_size; ++p) {
        if (positions & (1U << p)) deal_position(state, p, sources.draw);
    }
    Event& event = report(events, state, kind);
    event.positions = static_cast<std::uint8_t>(positions);
    event.cards = state.hand;
}

// A run begins with a game, and after a game is lost or its win taken the next one begins, while
// credit remains.
void next_game(GameState& state, Events& events) {
    if (state.credit > 0) {
        state.bet = 0;
        state.win = 0;
        reset_game(state);
        state.phase = Phase::betting;
        report(events, state, EventKind::game_begun);
        return;
    }
    state.phase = Phase::broke;
    if (is_game_over(state.credit)) report(events, state, EventKind::game_over);
}

// The game is over, with what went into the credit.
void settle_log(GameState& state, std::int32_t taken) {
    state.log.settled = true;
    state.log.taken = taken;
    state.log.credit_after = state.credit;
}

void log_gamble(GameLog& log, Card dealer, Card picked, GambleOutcome outcome) {
    if (log.gamble_count < logged_gamble_capacity) {
        log.gambles[static_cast<std::size_t>(log.gamble_count)] =
            GambleLog{dealer, picked, outcome};
    }
    log.gamble_count += 1;
}

// The five cards of the game; from the first card shown the bet is played for. The game's log
// starts here, with the credit as it was before the bet left it.
void deal_game(GameState& state, const Sources& sources, Events& events) {
    state.phase = Phase::holding;
    deal_positions(state, every_position, sources, events, EventKind::dealt);
    state.log = GameLog{};
    state.log.dealt = true;
    state.log.credit_before = saturating_add(state.credit, state.bet);
    state.log.bet = state.bet;
    state.log.first = state.hand;
}

void bet_input(GameState& state, Input input, const Sources& sources, Events& events) {
    switch (input) {
        case Input::bet:
            // With no credit left a Bet stakes nothing, but it is still reported.
            if (state.credit > 0) {
                state.bet = saturating_add(state.bet, 1);
                state.credit -= 1;
            }
            report(events, state, EventKind::staked);
            break;
        case Input::deal:
            // Deal needs a stake; without one it is ignored.
            if (state.bet > 0) deal_game(state, sources, events);
            break;
        case Input::end:
            // End with a stake deals as Deal does; without one it ends the run.
            if (state.bet > 0) {
                deal_game(state, sources, events);
            } else {
                state.phase = Phase::ended;
                report(events, state, EventKind::ended);
            }
            break;
        default:
            break;
    }
}

void mark_holds(GameState& state, unsigned held, Events& events) {
    // New marks are a new hold for the trainer to judge.
    state.trainer.warned = false;
    for (int p = 0; p < hand_size; ++p)
        state.hold[static_cast<std::size_t>(p)] = (held >> p & 1U) != 0;
    report(events, state, EventKind::marked).positions = static_cast<std::uint8_t>(held);
}

// The cards not held are replaced from the rest of the same deck, and the final hand is paid.
void draw_and_score(GameState& state, const Sources& sources, Events& events) {
    GameLog& log = state.log;
    log.held = static_cast<std::uint8_t>(hold_mask(state));
    deal_positions(state, every_position & ~hold_mask(state), sources, events, EventKind::drawn);
    const HandCategory category = evaluate_hand(state.hand);
    log.drawn = true;
    log.final = state.hand;
    log.category = category;
    if (category == HandCategory::no_win) {
        settle_log(state, 0);
        report(events, state, EventKind::scored);
        next_game(state, events);
        return;
    }
    // The bet left the credit when it was staked; the win reaches it only through Take.
    state.win = saturating_mul(payout_multiplier(category), state.bet);
    log.win = state.win;
    state.phase = Phase::on_offer;
    report(events, state, EventKind::scored).category = category;
}

// With the trainer on, a hold worth less than the best hold of the hand is held back once: the
// player hears what it gives away, and Deal again draws it as marked. A hold that is drawn counts
// in the trainer's tally.
bool trainer_holds_back(GameState& state, const Sources& sources, Events& events) {
    Trainer& trainer = state.trainer;
    std::int64_t cost = 0;
    if (!trainer.on || sources.hold_cost == nullptr ||
        !sources.hold_cost(state.hand, hold_mask(state), cost)) {
        return false;
    }
    if (cost > 0 && !trainer.warned) {
        trainer.warned = true;
        add_times(report(events, state, EventKind::held_back).cost, cost, 1,
                  sources.cost_denominator);
        return true;
    }
    trainer.warned = false;
    trainer.hands += 1;
    if (cost == 0) trainer.best_holds += 1;
    add_times(trainer.given_away, cost, state.bet, sources.cost_denominator);
    return false;
}

void hold_input(GameState& state, Input input, const Sources& sources, Events& events) {
    if (input >= Input::hold_1 && input <= Input::hold_5) {
        mark_holds(state, hold_mask(state) ^ (1U << input_position(input)), events);
    } else if (input == Input::hint) {
        // The hint marks the best hold as pressing its buttons would; a hand the advice cannot
        // judge keeps its marks.
        unsigned best = 0;
        if (sources.best_hold != nullptr && sources.best_hold(state.hand, best)) {
            mark_holds(state, best, events);
            // The trainer says which line of the chart the hold stands for, so that the player
            // learns the rule and not only the cards.
            if (state.trainer.on && sources.hold_pattern != nullptr) {
                report(events, state, EventKind::hint_named).pattern =
                    sources.hold_pattern(state.hand, best);
            }
        }
    } else if (input == Input::deal) {
        if (!trainer_holds_back(state, sources, events)) draw_and_score(state, sources, events);
    }
}

void win_gamble(GameState& state, int factor, Events& events, EventKind kind) {
    state.win = saturating_mul(state.win, factor);
    state.phase = Phase::on_offer;
    report(events, state, kind).factor = static_cast<std::int8_t>(factor);
}

// A fresh deck, and the dealer's card at position 0; an ace is set aside and dealt again. The
// dealer's joker settles the gamble at once.
void begin_gamble(GameState& state, const Sources& sources, Events& events) {
    reset_game(state);
    state.phase = Phase::gambling;
    report(events, state, EventKind::gamble_begun);
    Card dealer{};
    do {
        dealer = deal_position(state, 0, sources.draw);
        Event& event = report(events, state, EventKind::dealer_dealt);
        event.positions = 1;
        event.cards[0] = dealer;
    } while (dealer_card_redealt(dealer));
    if (is_joker(dealer)) {
        log_gamble(state.log, dealer, no_card, GambleOutcome::joker);
        win_gamble(state, gamble_factor(dealer, no_card), events, EventKind::dealer_joker);
    } else {
        report(events, state, EventKind::pick_asked);
    }
}

void offer_input(GameState& state, Input input, const Sources& sources, Events& events) {
    if (input == Input::take) {
        state.credit = saturating_add(state.credit, state.win);
        settle_log(state, state.win);
        state.win = 0;
        report(events, state, EventKind::taken);
        next_game(state, events);
    } else if (input == Input::double_up) {
        begin_gamble(state, sources, events);
    }
}

void gamble_input(GameState& state, Input input, const Sources& sources, Events& events) {
    if (input >= Input::pick_2 && input <= Input::pick_5) {
        // The pick may change any number of times before Deal.
        state.pick = static_cast<std::int8_t>(input_position(input));
        report(events, state, EventKind::picked).positions =
            static_cast<std::uint8_t>(1U << state.pick);
        return;
    }
    // Deal reveals the four cards once one is picked; before that it is ignored.
    if (input != Input::deal || state.pick == 0) return;
    deal_positions(state, pick_positions, sources, events, EventKind::revealed);
    const Card dealer = state.hand[0];
    const Card picked = state.hand[static_cast<std::size_t>(state.pick)];
    const int factor = gamble_factor(dealer, picked);
    log_gamble(state.log, dealer, picked, factor != 0 ? GambleOutcome::won : GambleOutcome::lost);
    if (factor != 0) {
        win_gamble(state, factor, events, EventKind::gamble_won);
        return;
    }
    state.win = 0;
    settle_log(state, 0);
    report(events, state, EventKind::gamble_lost);
    next_game(state, events);
}

}  // namespace

Events start_run(GameState& state, std::int32_t credit, bool trainer) {
    state = GameState{};
    state.credit = credit;
    state.trainer.on = trainer;
    Events events;
    next_game(state, events);
    return events;
}

Events apply_input(GameState& state, Input input, const Sources& sources) {
    Events events;
    switch (state.phase) {
        case Phase::betting:
            bet_input(state, input, sources, events);
            break;
        case Phase::holding:
            hold_input(state, input, sources, events);
            break;
        case Phase::on_offer:
            offer_input(state, input, sources, events);
            break;
        case Phase::gambling:
            gamble_input(state, input, sources, events);
            break;
        case Phase::ended:
        case Phase::broke:
            break;
    }
    return events;
}

std::int32_t settled_credit(const GameState& state) {
    switch (state.phase) {
        case Phase::betting:
            return saturating_add(state.credit, state.bet);
        case Phase::on_offer:
            return saturating_add(state.credit, state.win);
        default:
            return state.credit;
    }
}

GameLog early_end_log(const GameState& state, std::int32_t settled) {
    GameLog log = state.log;
    log.settled = true;
    // From the deal to the settlement the credit stands where the bet left it, so an end that
    // leaves more took the win on offer.
    log.taken = settled != state.credit ? state.win : 0;
    log.credit_after = settled;
    return log;
}

unsigned hold_mask(const GameState& state) {
    unsigned mask = 0;
    for (int p = 0; p < hand_size; ++p) {
        if (state.hold[static_cast<std::size_t>(p)]) mask |= 1U << p;
    }
    return mask;
}
