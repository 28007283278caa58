// The rank table behind the fast category, filled from evaluate_hand.
#include "strategy/internal.hpp"

void build_rank_table(RankTable& table) {
    table.bits.rank_bit[joker_number] = 0;
    table.bits.suit_bit[joker_number] = 0;
    table.bits.rank_count[joker_number] = 0;
    for (int c = 1; c < deck_size; ++c) {
        table.bits.rank_bit[c] = static_cast<std::uint16_t>(1U << rank_bit_of_number(c));
        table.bits.suit_bit[c] = static_cast<std::uint8_t>(1U << suit_of_number(c));
        table.bits.rank_count[c] = std::uint64_t{1} << (4 * rank_bit_of_number(c));
    }
    // Each mask of four or five ranks is evaluated once all in spades (a flush) and once with its
    // highest card in hearts. Deck index r is the spade of rank bit r, 13 + r the heart.
    for (unsigned ranks = 0; ranks < rank_mask_count; ++ranks) {
        const int count = std::popcount(ranks);
        table.rank_total[ranks] = static_cast<std::uint8_t>(count);
        if (count != hand_size - 1 && count != hand_size) continue;
        const int joker = hand_size - count;
        for (int flush = 0; flush < 2; ++flush) {
            Hand hand{};
            int p = 0;
            if (joker) hand[p++] = joker_card;
            for (int r = 0; r < rank_count; ++r) {
                if (ranks & (1U << r)) hand[p++] = card_of_index(r);
            }
            if (!flush) {
                const int highest = std::bit_width(ranks) - 1;
                hand[hand_size - 1] = card_of_index(rank_count + highest);
            }
            table.distinct[(joker * 2 + flush) * rank_mask_count + ranks] = evaluate_hand(hand);
        }
    }
}
