// The page cache: the rows of 超级列表框1, refilled by one worker per row. Column 0 holds a row's
// address, column 1 its pause factor, column 2 the page text once fetched.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/program_state.h"
#include "core/threads.h"

namespace pv {

// What a worker keeps of a fetched body: the text up to its first zero byte, read as UTF-8 and
// turned into GBK, with "等待1" and "等待2" spelt " 1 进行中" and " 2 进行中".
std::string cachedPageText(std::string_view body);
// The pause after a fetch: factor × 500 ms, inside the 32-bit range.
int pagePauseMs(int factor);

// Click of 按钮25 and the countdown's refresh trigger. Runs on the window thread and returns after
// its 15 s wait, serving window events meanwhile; it may be re-entered during the wait.
void refreshPageCache(App& app);
// Worker entry; rowNumber counts from 1. Refetches the row until the stop flag is set or refresh
// number `refresh` has been stopped, bracketing each pass with `lock`, which it deletes at its end.
void pageWorker(App& app, int rowNumber, LockHandle lock, std::uint32_t refresh);

}  // namespace pv
