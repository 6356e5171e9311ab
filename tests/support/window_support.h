// Shared set-up of the window tests: one QApplication for the process and bounded waits that
// keep the window thread serving events.
#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/layout_table.h"

namespace pv::test {

// Creates the process's QApplication on first use (offscreen in the tests).
void ensureApplication();
// Serves window events until pred holds or the timeout passes; returns pred().
bool waitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A small layout exercising every kind, independent of the program's own table.
std::vector<ControlSpec> sampleLayout();

// A probe program run offscreen: what it printed up to and including `marker`, then whether and
// how soon it ended once the marker was seen (it is killed after finishMs), with its exit code
// (-1 for a crash) and standard error.
struct ProbeRun {
    bool started = false;  // the marker was printed
    bool finished = false;
    qint64 closingMs = -1;
    int exitCode = -1;
    QByteArray output;
    QString errors;
};
ProbeRun runProbe(const QString& program, const QString& mode, const QByteArray& marker,
                  int finishMs);

// UTF-8 literal to std::string (GBK texts come from plain literals).
inline std::string utf8(const char8_t* s) {
    return reinterpret_cast<const char*>(s);
}

}  // namespace pv::test
