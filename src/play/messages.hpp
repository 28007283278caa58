// The game's messages on the message line. All but the first are padded with blanks to the line's
// 23 characters, so that each covers the one before it completely; the first follows a cleared
// window.
#pragma once

inline constexpr const char* press_bet_message = "Press Bet or Deal";
inline constexpr const char* good_luck_message = "***** Good Luck !! ****";
inline constexpr const char* select_cards_message = "Select Cards           ";
inline constexpr const char* you_lost_message = "***** You Lost !! *****";
inline constexpr const char* offer_message = "Double Up-Take Score ? ";
inline constexpr const char* lucky_win_message = "**** Luckey Win !! ****";
inline constexpr const char* select_bigger_message = "Select Bigger Card     ";
inline constexpr const char* you_win_message = "***** You Win  !! *****";
inline constexpr const char* game_over_message = "***** Game Over !! ****";
