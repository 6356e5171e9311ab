// Failures that nothing on screen can show (an engine error, a library that cannot be set up).
// Qt-free code reports them here; by default they go to standard error, one line each.
#pragma once

#include <string_view>

namespace pv {

// Safe from any thread. The message is GBK, like every text of the program.
void logFailure(std::string_view message);

using LogSink = void (*)(std::string_view message);
// Replaces where messages go (nullptr restores standard error); returns the previous sink.
LogSink setLogSink(LogSink sink);

}  // namespace pv
