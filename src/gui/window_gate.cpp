#include "gui/window_gate.h"

#include <QDebug>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>

namespace pv {

WindowGate::WindowGate() : relay_(new QObject) {}

WindowGate::~WindowGate() {
    // Requests still queued for the relay are dropped with it; their callers were released
    // when the gate closed.
    delete relay_;
}

void WindowGate::close() {
    {
        std::lock_guard lock(mutex_);
        closed_.store(true, std::memory_order_release);
    }
    changed_.notify_all();
    for (QEventLoop* loop : loops_)
        loop->quit();
}

void WindowGate::pause(int ms) {
    if (ms <= 0 || closed()) return;
    if (!onWindowThread()) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return closed(); });
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loops_.push_back(&loop);
    loop.exec();
    loops_.erase(std::find(loops_.begin(), loops_.end(), &loop));
}

bool WindowGate::serveWhile(const std::function<void()>& work) {
    if (!onWindowThread()) return false;
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::thread worker;
    try {
        worker = std::thread([&] {
            work();
            done.store(true, std::memory_order_release);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error& e) {
        qWarning() << "no thread for a wait of the window, it runs without serving the window:"
                   << e.what();
        work();
        return true;
    }
    // The application's exit ends every running loop, this one included; then the remaining
    // wait is the work's own short way out.
    if (!done.load(std::memory_order_acquire)) loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return true;
}

}  // namespace pv
