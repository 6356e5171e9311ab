// The door between worker threads and the window. A call from another thread becomes one request
// run on the window thread while the caller waits for its result. Once the window closes, the
// door shuts: calls return their fallback at once, waiting callers are released and pauses end,
// so no worker ever touches a window that is going away or waits for one.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

class QEventLoop;

namespace pv {

class WindowGate {
  public:
    // Made on the window thread; must outlive every thread that calls it.
    WindowGate();
    ~WindowGate();
    WindowGate(const WindowGate&) = delete;
    WindowGate& operator=(const WindowGate&) = delete;

    bool onWindowThread() const { return QThread::currentThread() == relay_->thread(); }
    bool closed() const { return closed_.load(std::memory_order_acquire); }
    // Window thread only.
    void close();

    // Runs f on the window thread and returns its result, or fallback once the gate is closed.
    template <class F, class R = std::invoke_result_t<F&>>
    R call(F f, R fallback);
    template <class F>
    void run(F f) {
        call([f = std::move(f)]() mutable { return (f(), true); }, false);
    }

    // A pause of ms milliseconds. On the window thread it runs a nested event loop, so window
    // events are handled meanwhile; elsewhere it just waits. Either way it ends when the gate
    // closes.
    void pause(int ms);

    // On the window thread: runs work on a thread of its own and serves window events until it
    // has ended (paints, timers, the window's close request; the user's input to the controls
    // waits until then), then returns true. Elsewhere it returns false and does nothing. Unlike a
    // pause it does not end when the gate closes: work is expected to end soon after shutdown.
    bool serveWhile(const std::function<void()>& work);

  private:
    QObject* relay_;
    std::atomic<bool> closed_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<QEventLoop*> loops_;
};

template <class F, class R>
R WindowGate::call(F f, R fallback) {
    if (closed()) return fallback;
    if (onWindowThread()) return f();
    struct Pending {
        bool done = false;
        std::optional<R> value;
    };
    auto pending = std::make_shared<Pending>();
    // The request is posted under the lock and the window thread takes the lock before it runs
    // the request, so what the worker made for it is ordered before its use by our own mutex
    // rather than only by Qt's event posting, which thread checkers cannot see.
    std::unique_lock lock(mutex_);
    QMetaObject::invokeMethod(
        relay_,
        [this, pending, f = std::move(f)]() mutable {
            { std::lock_guard handedOver(mutex_); }
            std::optional<R> value;
            if (!closed()) value = f();
            {
                std::lock_guard lock(mutex_);
                pending->value = std::move(value);
                pending->done = true;
            }
            changed_.notify_all();
        },
        Qt::QueuedConnection);
    changed_.wait(lock, [&] { return pending->done || closed(); });
    return pending->value ? *pending->value : fallback;
}

}  // namespace pv
