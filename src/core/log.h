// What the program cannot show goes to the log. The window routes it into Qt's logging; until it
// does (tests of the Qt-free libraries, tools), messages go to the error stream.
#pragma once

#include <string_view>

namespace pv {

// Receives one message, GBK like every text of the program. Called from any thread.
using LogSink = void (*)(std::string_view message);

// nullptr restores the error stream.
void setLogSink(LogSink sink);
void logWarning(std::string_view message);

}  // namespace pv
