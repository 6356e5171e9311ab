#include "draw/draw_history.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "core/log.h"
#include "core/text.h"
#include "core/text_between.h"
#include "web/fetch_url.h"

namespace pv {
namespace {

constexpr ControlName kGrid = ctl::kDrawHistoryGrid;
constexpr ControlName kIssueLabel = ctl::kDrawPanelCaption;
constexpr std::array<ControlName, 5> kDigitLabels = {
    ctl::kDrawDigit1, ctl::kDrawDigit2, ctl::kDrawDigit3, ctl::kDrawDigit4, ctl::kDrawDigit5};
constexpr const char* kListStart = "var Con_BonusCode = \"";
constexpr const char* kListEnd = "\";\r\n                    //画走势图";

// Collation of the draw texts: punctuation before digits before letters before everything else,
// as a locale-aware comparison ranks them, so "23=..." sorts below "230=...".
int collationRank(unsigned char c) {
    if (c >= '0' && c <= '9') return 1;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return 2;
    return c < 0x80 ? 0 : 3;
}

bool collatesBefore(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto ux = static_cast<unsigned char>(x), uy = static_cast<unsigned char>(y);
        const int rx = collationRank(ux), ry = collationRank(uy);
        return rx != ry ? rx < ry : ux < uy;
    });
}

// Overlapping scrapes publish one at a time, and a scrape older than the board on show does not
// replace it. Each scrape reaches the window in two requests (its start and its board); the
// counters are read and written only inside them, and the mutex is held there alone, never
// while a worker waits for the window.
std::mutex g_publishing;
std::uint64_t g_started = 0;  // guarded by g_publishing
std::uint64_t g_shown = 0;    // guarded by g_publishing

// The grid back to its header row, column 0 at its width.
void resetGrid(Controls& controls) {
    controls.setGridColumnWidth(kGrid, 0, 50);
    controls.setGridRows(kGrid, drawGridHeader());
}

void showBoard(Controls& controls, const DrawBoard& board) {
    controls.setGridRows(kGrid, board.rows);
    controls.setText(kIssueLabel, board.issueCaption);
    for (std::size_t i = 0; i < kDigitLabels.size(); ++i)
        controls.setText(kDigitLabels[i], board.digitCaptions[i]);
}

}  // namespace

GridRows drawGridHeader() {
    return {{"期号", "万", "千", "百", "十", "个"}};
}

std::optional<DrawBoard> drawBoardFromPage(std::string_view page) {
    TextArray draws = splitText(textBetween(page, kListStart, kListEnd), ";");
    std::sort(draws.begin(), draws.end(),
              [](const std::string& a, const std::string& b) { return collatesBefore(b, a); });
    DrawBoard board;
    board.rows = drawGridHeader();
    for (const std::string& draw : draws) {
        const TextArray parts = splitText(draw, "=");
        if (parts.size() < 2) continue;
        const TextArray digits = splitText(parts[1], ",");
        if (digits.size() < 5) continue;
        if (board.rows.size() == 1) {
            board.issueCaption = "第20" + parts[0] + "期";
            // Every other character, so a two-character digit shifts what the labels show.
            for (int i = 0; i < 5; ++i)
                board.digitCaptions[std::size_t(i)] = midText(parts[1], 1 + 2 * i, 1);
        }
        board.rows.push_back(
            {rightText(parts[0], 3) + "期", digits[0], digits[1], digits[2], digits[3], digits[4]});
    }
    if (board.rows.size() == 1) return std::nullopt;
    return board;
}

void scrapeDrawHistory(App& app) {
    // Every scrape starts from the header row, so the grid never shows an older board than the
    // latest scrape that got its list. The ticket is taken in the same request as the reset.
    std::uint64_t ticket = 0;
    app.controls.inOneRequest([&ticket](Controls& controls) {
        std::lock_guard lock(g_publishing);
        ticket = ++g_started;
        resetGrid(controls);
    });
    // The text ends at the first zero byte. Cut in place: a page may be as large as the body cap.
    std::string page = fetchUrl(app.settings.drawSite + kDrawTrendPath);
    if (const std::size_t zero = page.find('\0'); zero != std::string::npos) page.resize(zero);
    const std::optional<DrawBoard> board = drawBoardFromPage(page);
    if (!board) {
        // The grid keeps its header row alone and the labels their text.
        logFailure("draw history: no usable draw list in " + std::to_string(page.size()) +
                   " bytes from " + app.settings.drawSite + kDrawTrendPath);
        return;
    }
    // The whole board, grid and labels, in one request, which a closed window does not run.
    app.controls.inOneRequest([ticket, &board](Controls& controls) {
        std::lock_guard lock(g_publishing);
        if (ticket == 0 || ticket <= g_shown) return;
        showBoard(controls, *board);
        g_shown = ticket;
    });
}

}  // namespace pv
