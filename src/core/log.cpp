#include "core/log.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace pv {
namespace {

void toStandardError(std::string_view message) {
    std::string line = "planviewer: ";
    line.append(message).push_back('\n');
    // One write per line, so lines of different threads do not interleave.
    std::fwrite(line.data(), 1, line.size(), stderr);
}

std::atomic<LogSink> g_sink{&toStandardError};

}  // namespace

void logFailure(std::string_view message) {
    g_sink.load(std::memory_order_acquire)(message);
}

LogSink setLogSink(LogSink sink) {
    return g_sink.exchange(sink ? sink : &toStandardError, std::memory_order_acq_rel);
}

}  // namespace pv
