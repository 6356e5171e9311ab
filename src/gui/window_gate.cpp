#include "gui/window_gate.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>

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

}  // namespace pv
