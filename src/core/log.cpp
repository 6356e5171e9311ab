#include "core/log.h"

#include <atomic>
#include <cstdio>

namespace pv {
namespace {

std::atomic<LogSink> g_sink{nullptr};

}  // namespace

void setLogSink(LogSink sink) {
    g_sink.store(sink);
}

void logWarning(std::string_view message) {
    if (LogSink sink = g_sink.load()) {
        sink(message);
        return;
    }
    std::fprintf(stderr, "planviewer: %.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace pv
