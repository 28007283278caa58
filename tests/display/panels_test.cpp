// The button panels: their labels, and which presses the click wait answers.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/labels.hpp"
#include "table.hpp"

namespace {

struct Label {
    int x;
    int y;  // baseline
    const char* text;
};

// The labels of the right column's four buttons, top to bottom.
std::vector<Label> right_column(const char* first, const char* second, const char* third,
                                const char* fourth) {
    return {{100, 125, first}, {100, 145, second}, {100, 165, third}, {100, 185, fourth}};
}

// The labels of a card panel: a character a hand position, 'H' held, 'S' picked, '.' neither and
// ' ' no button; then Deal, which every card panel has.
std::vector<Label> card_panel_labels(const char* marks) {
    std::vector<Label> labels;
    for (int position = 0; position < 5; ++position) {
        const LabelPlace at = card_label(position);
        if (marks[position] == 'H') labels.push_back({at.x, at.baseline, "[H]"});
        if (marks[position] == 'S') labels.push_back({at.x, at.baseline, "[S]"});
        if (marks[position] == '.') labels.push_back({at.x, at.baseline, "[ ]"});
    }
    labels.push_back({100, 145, "[Deal  ]"});
    return labels;
}

TEST_F(Table, PanelsShowTheirLabelsAndFlushThemselves) {
    struct Case {
        const char* name;
        std::function<void()> draw;
        std::vector<Label> labels;
    };
    const std::vector<Case> cases = {
        {"main", [&] { draw_main_panel(context); },
         right_column("[Bet   ]", "[Deal  ]", "[      ]", "[End   ]")},
        {"double", [&] { draw_double_panel(context); },
         right_column("[Bet   ]", "[Deal  ]", "[Double]", "[Take  ]")},
        {"hold 1 0 0 1 0", [&] { draw_hold_panel(context, 0b01001); }, card_panel_labels("H..H.")},
        {"hold 1 1 0 1 1", [&] { draw_hold_panel(context, 0b11011); }, card_panel_labels("HH.HH")},
        // The pick buttons stand under positions 1 to 4.
        {"pick 3", [&] { draw_pick_panel(context, 0b01000); }, card_panel_labels(" ..S.")},
        {"pick 0 1 2 3", [&] { draw_pick_panel(context, 0b01111); }, card_panel_labels(" SSS.")},
    };
    for (const Case& c : cases) {
        // Colours left behind by someone else do not matter: panels are black on white.
        set_colors(context, "red", "yellow");
        c.draw();
        for (const Label& label : c.labels) {
            EXPECT_TRUE(wait_until([&] { return shows(label.x, label.y, label.text); }))
                << c.name << ": " << label.text << " at " << label.x;
        }
    }
    // Position 0 has no pick button; it shows the hold label drawn there before.
    EXPECT_TRUE(shows(card_label(0).x, card_label(0).baseline, "[H]"));
}

// The rectangles of the four panels as the game knows them, from the outside.
struct Rect {
    int x, y, width, height;
};
const Rect bet_rect{100, 110, 50, 20};
const Rect deal_rect{100, 130, 50, 20};
const Rect blank_rect{100, 150, 50, 20};
const Rect end_rect{100, 170, 50, 20};
const Rect card_rect[5] = {
    {7, 69, 28, 20}, {39, 69, 28, 20}, {71, 69, 28, 20}, {103, 69, 28, 20}, {135, 69, 28, 20}};

struct PanelCase {
    const char* name;
    const Button* panel;
    std::vector<Rect> rects;  // by button index
};

std::vector<PanelCase> panel_cases() {
    return {
        {"main", main_panel, {bet_rect, deal_rect, blank_rect, end_rect}},
        {"double", double_panel, {bet_rect, deal_rect, blank_rect, end_rect}},
        {"hold",
         hold_panel,
         {card_rect[0], card_rect[1], card_rect[2], card_rect[3], card_rect[4], deal_rect}},
        {"pick", pick_panel, {card_rect[1], card_rect[2], card_rect[3], card_rect[4], deal_rect}},
    };
}

TEST_F(Table, EveryButtonAnswersPressesStrictlyInsideIt) {
    for (const PanelCase& c : panel_cases()) {
        for (std::size_t index = 0; index < c.rects.size(); ++index) {
            const Rect r = c.rects[index];
            // The innermost corners and the middle, with each of the three mouse buttons. The
            // last card button reaches past the window's right edge, where no press can land.
            const int right = std::min(r.x + r.width - 1, 159);
            const int points[][2] = {{r.x + 1, r.y + 1},
                                     {right, r.y + r.height - 1},
                                     {right, r.y + 1},
                                     {r.x + 1, r.y + r.height - 1},
                                     {r.x + r.width / 2, r.y + r.height / 2}};
            unsigned mouse_button = 1;
            for (const auto& point : points) {
                click(look, context.window, point[0], point[1], mouse_button);
                EXPECT_EQ(wait_button(context, c.panel), static_cast<int>(index))
                    << c.name << " press at " << point[0] << "," << point[1] << " with button "
                    << mouse_button;
                mouse_button = mouse_button % 3 + 1;
            }
        }
    }
}

TEST_F(Table, PressesOnEdgesOrOnNoButtonAreDropped) {
    struct Case {
        const char* name;
        const Button* panel;
        std::vector<std::array<int, 2>> dropped;
        std::array<int, 2> then;  // a press that hits
        int index;                // the button it hits
    };
    // Only 101 to 149 across and 111 to 129 down count for "[Bet   ]"; y 130 lies between Bet and
    // Deal and belongs to neither.
    const std::vector<std::array<int, 2>> off_main = {
        {100, 120}, {150, 120}, {125, 110}, {125, 130}, {100, 110}, {150, 130}, {99, 120},
        {151, 120}, {125, 109}, {125, 150}, {125, 170}, {125, 190}, {20, 79},   {5, 5}};
    // The card buttons sit 4 pixels apart, and their edges belong to none of them.
    const std::vector<std::array<int, 2>> off_cards = {
        {7, 79}, {35, 79}, {20, 69}, {20, 89}, {37, 79}, {39, 79}, {67, 79}, {135, 79}, {125, 120}};
    const Case cases[] = {
        {"main", main_panel, off_main, {125, 180}, 3},
        {"double", double_panel, {{125, 130}, {125, 150}, {125, 170}, {0, 0}}, {125, 160}, 2},
        {"hold", hold_panel, off_cards, {50, 80}, 1},
        {"pick", pick_panel, {{20, 79}, {8, 70}, {34, 88}, {125, 180}}, {140, 88}, 3},
    };
    for (const Case& c : cases) {
        for (const auto& point : c.dropped) {
            click(look, context.window, point[0], point[1]);
            click(look, context.window, c.then[0], c.then[1]);
            EXPECT_EQ(wait_button(context, c.panel), c.index)
                << c.name << ": the press at " << point[0] << "," << point[1] << " counted";
        }
    }
    // Dropped presses leave no trace on the window.
    EXPECT_EQ(window_picture(0, 0, 160, 200), plain(160, 200, "white"));
}

TEST_F(Table, PressesMadeBeforeTheWaitAreJudgedByItsPanel) {
    // The same point is Deal in every panel but has a different index in each.
    click(look, context.window, 125, 140);
    click(look, context.window, 125, 140);
    click(look, context.window, 125, 140);
    EXPECT_EQ(wait_button(context, hold_panel), hold_deal);
    EXPECT_EQ(wait_button(context, pick_panel), pick_deal);
    EXPECT_EQ(wait_button(context, main_panel), main_deal);

    // A hold button's press is no button for the main panel; the presses are taken in order.
    click(look, context.window, 20, 79);
    click(look, context.window, 125, 120);
    click(look, context.window, 125, 180);
    EXPECT_EQ(wait_button(context, main_panel), main_bet);
    EXPECT_EQ(wait_button(context, double_panel), double_take);

    // Under card 0 there is a pick button only in the hold panel.
    click(look, context.window, 20, 79);
    click(look, context.window, 50, 79);
    EXPECT_EQ(wait_button(context, pick_panel), 0);
}

TEST_F(Table, KeysNamingNoButtonOfThePanelAreDroppedAndDoNotPileUp) {
    for (int i = 0; i < 50; ++i)
        press_key(look, context.window, 125, 120, XK_Escape);
    press_key(look, context.window, 125, 120, XK_u);  // Double, which the main panel lacks
    click(look, context.window, 125, 180);
    EXPECT_EQ(wait_button(context, main_panel), main_end);
    // h and ? are the hint on the hold panel, which has no button for it.
    for (const KeySym key : {XK_h, XK_question}) {
        press_key(look, context.window, 125, 120, key);
        EXPECT_EQ(hold_panel[wait_button(context, hold_panel)].input, Input::hint);
    }
    // The keys neither pressed a button nor stayed behind in the game's queue.
    XEvent event;
    int keys = 0;
    while (XCheckWindowEvent(context.display, context.window, KeyPressMask, &event))
        ++keys;
    EXPECT_EQ(keys, 0);
}

// Processor time (user + system, in clock ticks) and state letter of a process.
struct ProcessTimes {
    char state = '?';
    long ticks = 0;
};

ProcessTimes process_times(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ProcessTimes times;
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return times;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    fields >> times.state;
    // Fields 4 to 13 come first, then utime (14) and stime (15).
    for (int i = 4; i <= 13; ++i)
        fields >> field;
    long user = 0, system = 0;
    fields >> user >> system;
    times.ticks = user + system;
    return times;
}

TEST(WaitButton, SleepsUntilAPressComes) {
    Display* look = test_server().display;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        DisplayContext context;
        open_window(context);
        draw_main_panel(context);
        _exit(wait_button(context, main_panel));
    }
    const Window window = find_window(look, "Poker");
    ASSERT_NE(window, 0u);
    // A waiting process sleeps; one that spins is always running.
    EXPECT_TRUE(wait_until([&] { return process_times(pid).state == 'S'; }));
    const ProcessTimes before = process_times(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const ProcessTimes after = process_times(pid);
    EXPECT_LE(after.ticks - before.ticks, 3) << "clock ticks used in 300 ms of waiting";

    click(look, window, 125, 180);
    int status = 0;
    bool ended = wait_until([&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(ended);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), main_end);
}

}  // namespace
