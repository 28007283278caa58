#include "play/record.hpp"

#include <cstdio>
#include <cstring>

#include "play/commands.hpp"
#include "store/history.hpp"

namespace {

struct Reading {
    Figures* figures;
    std::vector<CostlyHold>* holds;
    HistoryLine line;
};

void take_line(void* context, std::string_view text, bool complete) {
    Reading& reading = *static_cast<Reading*>(context);
    switch (read_history_text(text, complete, reading.line)) {
        case LineKind::comment:
            break;
        case LineKind::damaged:
            reading.figures->damaged += 1;
            break;
        case LineKind::game:
            add_game(*reading.figures, reading.line);
            if (reading.holds != nullptr) add_costly_hold(*reading.holds, reading.line);
            break;
    }
}

}  // namespace

int read_record(const char* history_file, Figures& figures, std::vector<CostlyHold>* holds) {
    Reading reading{&figures, holds, {}};
    return read_history(history_file, take_line, &reading);
}

int print_record(const char* player_file, RecordCommand command, bool json, bool all) {
    HistoryFileName history_file;
    make_history_file_name(player_file, history_file);
    static Figures figures;
    std::vector<CostlyHold> holds;
    const bool review = command == RecordCommand::review;
    if (const int error = read_record(history_file, figures, review ? &holds : nullptr);
        error != 0) {
        std::fprintf(stderr, "history file %s cannot be read: %s\n", history_file,
                     std::strerror(error));
        return 1;
    }
    std::string out;
    if (review) {
        const std::size_t total = holds.size();
        order_costliest(holds, all);
        out = json ? review_json(holds) : review_text(holds, total);
    } else {
        const TableAnalysis table = game_table_analysis();
        out = json ? figures_json(figures, table) : figures_text(figures, table);
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}
