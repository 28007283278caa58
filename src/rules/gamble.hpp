// The double-up gamble's outcome: what the dealer's card and the card picked make of the win.
#pragma once

#include "rules/card.hpp"

// A dealer's ace is never played against: it is set aside and the dealer's card dealt again.
constexpr bool dealer_card_redealt(Card dealer) {
    return is_ace(dealer);
}

// The factor the win is multiplied by: 3 when the dealer's card is the joker (no card is picked),
// else 2 when the picked card is not lower than the dealer's and 0 when it is. The dealer's card
// counts its rank (two to king: it is never an ace); the picked card counts aces above kings and
// the joker above all. A tie goes to the player.
constexpr int gamble_factor(Card dealer, Card picked) {
    if (is_joker(dealer)) return 3;
    const int picked_value = is_joker(picked) ? high_ace_rank + 1
                             : is_ace(picked) ? high_ace_rank
                                              : picked.rank;
    return picked_value < dealer.rank ? 0 : 2;
}
