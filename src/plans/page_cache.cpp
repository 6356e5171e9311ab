#include "plans/page_cache.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/code_page.h"
#include "core/convert.h"
#include "core/log.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "web/web_client.h"

namespace pv {
namespace {

constexpr ControlName kPageCache = ctl::kPageCacheList;
constexpr int kAddressColumn = 0;
constexpr int kFactorColumn = 1;
constexpr int kPageColumn = 2;
constexpr ControlName kPassLog = ctl::kPageCachePassLog;
constexpr ControlName kRefreshButton = ctl::kRefreshPageCacheButton;
constexpr int kRefreshMs = 15000;
constexpr int kPauseUnitMs = 500;

bool stopped(const ProgramState& state, std::uint32_t refresh) {
    return state.stopFlag.load() == 1 || refresh <= state.pageRefreshesStopped.load() ||
           shuttingDown();
}

// Every refresh started so far is over for its workers.
void stopAllRefreshes(ProgramState& state) {
    state.stopFlag.store(1);
    state.pageRefreshesStopped.store(state.pageRefreshesStarted.load());
}

}  // namespace

std::string cachedPageText(std::string_view body) {
    std::string page = utf8ToGbk(toText(body));
    page = replaceText(page, "等待1", " 1 进行中", 1, -1, true);
    return replaceText(page, "等待2", " 2 进行中", 1, -1, true);
}

int pagePauseMs(int factor) {
    const long long ms = static_cast<long long>(factor) * kPauseUnitMs;
    return static_cast<int>(std::clamp<long long>(ms, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

void refreshPageCache(App& app) {
    Controls& c = app.controls;
    ProgramState& state = app.state;
    // A stop asked for before this refresh (the close question) still holds for the workers that
    // were running then, although the flag is cleared below.
    if (state.stopFlag.load() == 1) stopAllRefreshes(state);
    const std::uint32_t refresh = state.pageRefreshesStarted.load() + 1;
    state.pageRefreshesStarted.store(refresh);
    state.stopFlag.store(0);

    c.setVisible(kRefreshButton, false);
    const int rows = c.itemCount(kPageCache);
    for (int row = 0; row < rows; ++row)
        c.setItemText(kPageCache, row, kPageColumn, "");
    c.setText(kPassLog, "");
    for (int number = 1; number <= rows; ++number) {
        // Each worker gets its own lock: handed over rather than read back from the current lock
        // handle, which the next row would already have replaced.
        const LockHandle lock = createLock();
        state.currentLock.store(lock);
        const bool started = startThread(
            [&app, lock, refresh](int n) { pageWorker(app, n, lock, refresh); }, number);
        if (!started) {
            deleteLock(lock);
            logFailure("page cache: no thread for row " + std::to_string(number - 1));
        }
    }
    app.desktop.delay(kRefreshMs);
    stopAllRefreshes(state);
}

void pageWorker(App& app, int rowNumber, LockHandle lock, std::uint32_t refresh) {
    Controls& c = app.controls;
    const int row = rowNumber - 1;
    while (!stopped(app.state, refresh)) {
        enterLock(lock);
        const std::string page =
            cachedPageText(WebClient(c.itemText(kPageCache, row, kAddressColumn)));
        const int factor = toInteger(c.itemText(kPageCache, row, kFactorColumn));
        c.appendText(kPassLog, toText(factor) + "\r\n");
        app.desktop.delay(pagePauseMs(factor));
        c.setItemText(kPageCache, row, kPageColumn, page);
        leaveLock(lock);
    }
    deleteLock(lock);
}

}  // namespace pv
