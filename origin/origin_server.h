// The demo origin: every outside site of the viewer on 127.0.0.1, one port each.
//
// Besides the sites' own paths, every port answers the control requests that tests and the run
// script use:
//   GET  /__origin/clock       the origin's clock, "YYYY-MM-DD HH:MM:SS"
//   POST /__origin/clock       body "YYYY-MM-DD HH:MM:SS": fixes the clock there
//   POST /__origin/next-draw   fixes the clock on the next draw time (the draw has happened)
// Each answers with the clock as it then stands and a line end; a malformed time gets 400.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "origin/draw_schedule.h"

namespace pv::origin {

enum class Site { PlanServer, PlanPages, Draws, Publisher, Counter, Blog };
constexpr int kSiteCount = 6;
constexpr int kDefaultPortBase = 2200;

// The wall clock, or a fixed time that only set and advanceToNextDraw move.
class OriginClock {
  public:
    explicit OriginClock(std::optional<Seconds> fixed = std::nullopt) : fixed_(fixed) {}
    Seconds now() const;
    void set(Seconds t);
    Seconds advanceToNextDraw();

  private:
    mutable std::mutex mutex_;
    std::optional<Seconds> fixed_;
};

struct OriginOptions {
    int portBase = kDefaultPortBase;  // the sites listen on portBase .. portBase + 5
    bool anyPorts = false;            // every site on a free port instead (tests)
    std::optional<Seconds> clock;     // a fixed clock; none: the wall clock
    long long counterStart = 1000;    // the visit count before the first visit
};

class OriginServer {
  public:
    explicit OriginServer(OriginOptions options);
    ~OriginServer();
    OriginServer(const OriginServer&) = delete;
    OriginServer& operator=(const OriginServer&) = delete;

    // Binds every site and serves each on threads of its own. False when a site cannot be
    // bound; then nothing is left listening and error() names the port.
    bool start();
    void stop();

    int port(Site site) const;
    std::string address(Site site) const;  // "http://127.0.0.1:<port>"
    OriginClock& clock();
    const std::string& error() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace pv::origin
