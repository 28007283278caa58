#include "play/play.hpp"
#include "strategy/hold_values.hpp"

void apply_hint(DisplayContext& display, GameState& state) {
    std::array<std::int8_t, hand_size> flags{};
    if (!best_hold_flags(state.hand, flags)) return;
    state.hold = flags;
    draw_hold_panel(display, state);
    flush_display(display);
}
