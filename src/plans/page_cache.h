// The page cache: the rows of the list view 超级列表框1, refilled by one worker per row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/controls.h"
#include "core/program_state.h"
#include "core/threads.h"

namespace pv {

// The list view that holds the cache, and what each column of a row holds.
struct PageCacheList {
    static constexpr ControlName kName = ctl::kPageCacheList;
    static constexpr int kAddressColumn = 0;  // absolute address of the row's page
    static constexpr int kFactorColumn = 1;   // pause factor of the row's worker, decimal text
    static constexpr int kPageColumn = 2;     // the page text once fetched, empty before
    static constexpr int kColumns = 3;
};

// The most of a page's body that a row keeps. A plan page is the site's frame around one plan's
// block of recent periods, some tens of kilobytes even for a 700-number plan; 1 MiB leaves that
// room many times over while 39 rows stay small beside the window. A longer body is cut at the
// bound as it arrives, and its row keeps the text of that first part.
inline constexpr std::size_t kPageBodyBound = std::size_t{1} << 20;

// The page text that a row holds now; empty before the row's first fetch.
std::string cachedPage(Controls& controls, int row);

// What a worker keeps of a fetched body: the text up to its first zero byte, read as UTF-8 and
// turned into GBK, with "等待1" and "等待2" spelt " 1 进行中" and " 2 进行中".
std::string cachedPageText(std::string_view body);
// The pause after a fetch: factor × 500 ms, inside the 32-bit range.
int pagePauseMs(int factor);

// Click of 按钮25 and the countdown's refresh trigger. Runs on the window thread and returns after
// its 15 s wait, serving window events meanwhile; it may be re-entered during the wait.
void refreshPageCache(App& app);
// Worker entry, given its own WorkerContext's App; rowNumber counts from 1. Refetches the row until
// the stop flag is set or refresh number `refresh` has been stopped, bracketing each pass with
// `lock`, which it deletes at its end.
void pageWorker(App& app, int rowNumber, LockHandle lock, std::uint32_t refresh);

}  // namespace pv
