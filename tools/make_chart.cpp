// make_chart: derives the game's own strategy chart from its pay table and writes it as a C++
// source, so that poker-odds places a hand in it without deriving it again.
#include <cstdio>

#include "strategy/chart.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_chart OUTPUT.cpp\n");
        return 2;
    }
    const ChartReport report = derive_chart(game_pay_table());
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(
        out,
        "// The game's own strategy chart, written by make_chart from the game's pay table.\n"
        "#include \"strategy/chart.hpp\"\n\n"
        "namespace {\n\nconst PatternCode lines[] = {\n");
    for (const PatternCode pattern : report.chart.lines)
        std::fprintf(out, "    0x%04x,  // %s\n", pattern, pattern_text(pattern).data());
    std::fprintf(out,
                 "};\n\n}  // namespace\n\n"
                 "const Chart& game_chart() {\n"
                 "    static const Chart chart{{std::begin(lines), std::end(lines)}};\n"
                 "    return chart;\n}\n");
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
