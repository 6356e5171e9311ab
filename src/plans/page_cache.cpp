#include "plans/page_cache.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "core/code_page.h"
#include "core/convert.h"
#include "core/log.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "web/web_client.h"

namespace pv {
namespace {

using List = PageCacheList;
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

std::string cachedPage(Controls& controls, int row) {
    return controls.itemText(List::kName, row, List::kPageColumn);
}

std::string cachedPageText(std::string_view body) {
    // The conversion stops at the first zero byte itself, and a page without the words is
    // not copied again.
    std::string page = utf8ToGbk(body);
    for (const auto& [waiting, running] : {std::pair{"等待1", " 1 进行中"}, {"等待2", " 2 进行中"}})
        if (findText(page, waiting) != -1) page = replaceText(page, waiting, running, 1, -1, true);
    return page;
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
    const int rows = c.itemCount(List::kName);
    for (int row = 0; row < rows; ++row)
        c.setItemText(List::kName, row, List::kPageColumn, "");
    c.setText(kPassLog, "");
    for (int number = 1; number <= rows; ++number) {
        // Each worker gets its own lock: handed over rather than read back from the current lock
        // handle, which the next row would already have replaced.
        const LockHandle lock = createLock();
        state.currentLock.store(lock);
        const bool started =
            startThread([context = WorkerContext(app), lock,
                         refresh](int n) mutable { pageWorker(context.app(), n, lock, refresh); },
                        number);
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
    bool cutLogged = false;
    while (!stopped(app.state, refresh)) {
        enterLock(lock);
        std::string page;
        {
            WebClientArgs args;
            args.bodyCap = kPageBodyBound;
            const std::string address = c.itemText(List::kName, row, List::kAddressColumn);
            const std::string body = WebClient(address, args);
            if (body.size() >= kPageBodyBound && !cutLogged) {
                cutLogged = true;
                logFailure("page cache: the page of row " + std::to_string(row) + " (" + address +
                           ") is cut at " + std::to_string(kPageBodyBound) + " bytes");
            }
            page = cachedPageText(body);
        }
        const int factor = toInteger(c.itemText(List::kName, row, List::kFactorColumn));
        c.appendText(kPassLog, toText(factor) + "\r\n");
        app.desktop.delay(pagePauseMs(factor));
        c.setItemText(List::kName, row, List::kPageColumn, page);
        leaveLock(lock);
    }
    deleteLock(lock);
}

}  // namespace pv
