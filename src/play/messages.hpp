// The game's messages on the message line. All but the first are padded with blanks to the line's
// 23 characters, so that each covers the one before it completely; the first follows a cleared
// window. The lines made up during play are written here too.
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
inline constexpr int message_length = 23;

// The trainer's words: what a hold held back gives away (the short form where the long one does
// not fit the line), the tally of a trainer run in the window at End, and on standard output at
// the end of a trainer run.
inline constexpr const char* held_back_format = "Best holds +%s a bet";
inline constexpr const char* held_back_short_format = "Best holds +%s";
inline constexpr const char* tally_format = "%d hands %d best -%s";
inline constexpr const char* trainer_summary_format =
    "trainer: %d hands, %d best holds, %d others gave away %s credits\n";

// A whole message line, with room for the terminating zero.
using MessageLine = char[message_length + 1];

// A message made up during play, padded with blanks to the whole line like the fixed ones; what
// does not fit the line is left out.
void pad_message(MessageLine& line, const char* text);

// The line of a hold held back that gives amount away (bets with two decimals, "0.55"): the long
// form where it fits the line, else the short one.
void held_back_line(MessageLine& line, const char* amount);
