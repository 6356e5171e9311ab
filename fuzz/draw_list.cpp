// The trend page turned into the board: a board, when there is one, has its header row, at most
// one row per draw besides it, and five digit captions.
#include "draw/draw_history.h"
#include "harness.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    const auto board = drawBoardFromPage(data);
    if (!board) return;
    FUZZ_CHECK(!board->rows.empty());
    for (const std::string& digit : board->digitCaptions)
        FUZZ_CHECK(digit.size() <= data.size());
}
