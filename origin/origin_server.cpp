#include "origin/origin_server.h"

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include <httplib.h>

#include "origin/plan_texts.h"
#include "origin/site_pages.h"

namespace pv::origin {

Seconds OriginClock::now() const {
    std::lock_guard lock(mutex_);
    return fixed_ ? *fixed_ : wallClock();
}

void OriginClock::set(Seconds t) {
    std::lock_guard lock(mutex_);
    fixed_ = t;
}

Seconds OriginClock::advanceToNextDraw() {
    std::lock_guard lock(mutex_);
    fixed_ = nextDrawTime(fixed_ ? *fixed_ : wallClock());
    return *fixed_;
}

namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr const char* kGbkHtml = "text/html; charset=gbk";
constexpr const char* kUtf8Html = "text/html; charset=utf-8";

int numberParam(const httplib::Request& req) {
    return std::stoi(req.matches[1].str());  // the routes allow at most nine digits
}

}  // namespace

struct OriginServer::Impl {
    OriginOptions options;
    OriginClock clock;
    std::atomic<long long> visits{0};
    std::array<httplib::Server, kSiteCount> servers;
    std::array<int, kSiteCount> ports{};
    std::array<std::thread, kSiteCount> threads;
    std::array<std::atomic<bool>, kSiteCount> ended{};
    std::string error;

    explicit Impl(OriginOptions o) : options(o), clock(o.clock) {}

    httplib::Server& server(Site s) { return servers[static_cast<std::size_t>(s)]; }
    std::string address(Site s) const {
        return std::string("http://") + kHost + ":" +
               std::to_string(ports[static_cast<std::size_t>(s)]);
    }
    SiteAddresses sites() const {
        return {address(Site::PlanPages), address(Site::Publisher), address(Site::Counter)};
    }

    void routeControl(httplib::Server& s) {
        // The library's default also sets SO_REUSEPORT, which would let a second origin share
        // the ports of a running one instead of failing to start.
        s.set_socket_options([](socket_t sock) {
            int yes = 1;
            setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        const auto reply = [](httplib::Response& res, Seconds t) {
            res.set_content(formatClock(t) + "\n", "text/plain");
        };
        s.Get("/__origin/clock", [this, reply](const httplib::Request&, httplib::Response& res) {
            reply(res, clock.now());
        });
        s.Post("/__origin/clock",
               [this, reply](const httplib::Request& req, httplib::Response& res) {
                   std::string body = req.body;
                   while (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
                       body.pop_back();
                   const std::optional<Seconds> t = parseClock(body);
                   if (!t) {
                       res.status = 400;
                       res.set_content("expected YYYY-MM-DD HH:MM:SS\n", "text/plain");
                       return;
                   }
                   clock.set(*t);
                   reply(res, *t);
               });
        s.Post("/__origin/next-draw",
               [this, reply](const httplib::Request&, httplib::Response& res) {
                   reply(res, clock.advanceToNextDraw());
               });
        s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
            if (!res.body.empty()) return;
            const char* reason = res.status == 404 ? " Not Found" : " Bad Request";
            res.set_content(std::to_string(res.status) + reason + "\n", "text/plain");
        });
    }

    void routeSites() {
        server(Site::PlanServer)
            .Get(R"(/TeamContent/(\d{1,9})\.txt)",
                 [this](const httplib::Request& req, httplib::Response& res) {
                     const std::string text = planFile(numberParam(req), clock.now());
                     if (text.empty()) return void(res.status = 404);
                     res.set_content(text, "text/plain; charset=gbk");
                 });
        server(Site::PlanPages)
            .Get(R"(/detail/(\d{1,9})\.html)",
                 [this](const httplib::Request& req, httplib::Response& res) {
                     const std::string page = planPage(numberParam(req), clock.now());
                     if (page.empty()) return void(res.status = 404);
                     res.set_content(page, kUtf8Html);
                 });
        server(Site::Draws)
            .Get("/trend/ssc/scchart_16.aspx",
                 [this](const httplib::Request&, httplib::Response& res) {
                     res.set_content(trendPage(clock.now()), kGbkHtml);
                 });
        httplib::Server& publisher = server(Site::Publisher);
        publisher.Get("/ruanjian/gonggao.htm",
                      [this](const httplib::Request&, httplib::Response& res) {
                          res.set_content(announcement(clock.now()), kGbkHtml);
                      });
        publisher.Get("/ruanjian/gengxin.htm", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(versionCaption(), kGbkHtml);
        });
        publisher.Get("/ruanjian/xzlj.htm",
                      [this](const httplib::Request&, httplib::Response& res) {
                          res.set_content(downloadAddress(sites()), kGbkHtml);
                      });
        publisher.Get("/ruanjian/xiazai.htm", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(downloadPage(), kGbkHtml);
        });
        server(Site::Counter)
            .Get("/count/count.asp", [this](const httplib::Request& req, httplib::Response& res) {
                const long long count = options.counterStart + ++visits;
                res.set_content(
                    counterScript(count, address(Site::Counter), req.get_param_value("ys")),
                    "application/x-javascript");
            });
        server(Site::Blog)
            .Get("/ssc/201612/63.html", [this](const httplib::Request&, httplib::Response& res) {
                res.set_content(blogArticle(clock.now(), sites()), kUtf8Html);
            });
    }

    // Binds the sites in order; the count bound before the first that failed.
    std::size_t bindAll() {
        for (std::size_t i = 0; i < servers.size(); ++i) {
            const int wanted = options.portBase + static_cast<int>(i);
            ports[i] = options.anyPorts                         ? servers[i].bind_to_any_port(kHost)
                       : servers[i].bind_to_port(kHost, wanted) ? wanted
                                                                : -1;
            if (ports[i] < 0) {
                error = std::string("cannot listen on ") + kHost + ":" +
                        (options.anyPorts ? std::string("a free port") : std::to_string(wanted));
                return i;
            }
        }
        return servers.size();
    }

    // A server stopped before its loop runs would not notice, so this returns only once each
    // loop runs (or has ended on its own).
    void serve(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            threads[i] = std::thread([&s = servers[i], &done = ended[i]] {
                s.listen_after_bind();
                done = true;
            });
        for (std::size_t i = 0; i < count; ++i)
            while (!servers[i].is_running() && !ended[i])
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    void stopAll() {
        for (std::size_t i = 0; i < servers.size(); ++i) {
            if (!threads[i].joinable()) continue;
            servers[i].stop();
            threads[i].join();
        }
    }
};

OriginServer::OriginServer(OriginOptions options) : impl_(std::make_unique<Impl>(options)) {}

OriginServer::~OriginServer() {
    stop();
}

bool OriginServer::start() {
    Impl& m = *impl_;
    if (!m.options.anyPorts &&
        (m.options.portBase < 1 || m.options.portBase > 65535 - kSiteCount)) {
        m.error = "the port base must lie between 1 and " + std::to_string(65535 - kSiteCount);
        return false;
    }
    for (std::size_t i = 0; i < m.servers.size(); ++i) {
        // The page cache fetches all 39 detail pages at once.
        const std::size_t threads = static_cast<Site>(i) == Site::PlanPages ? 16 : 4;
        m.servers[i].new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
        m.routeControl(m.servers[i]);
    }
    m.routeSites();
    const std::size_t bound = m.bindAll();
    // Sites bound before a failure still serve for a moment, so that stopping them closes
    // their sockets.
    m.serve(bound);
    if (bound == m.servers.size()) return true;
    m.stopAll();
    return false;
}

void OriginServer::stop() {
    impl_->stopAll();
}

int OriginServer::port(Site site) const {
    return impl_->ports[static_cast<std::size_t>(site)];
}

std::string OriginServer::address(Site site) const {
    return impl_->address(site);
}

OriginClock& OriginServer::clock() {
    return impl_->clock;
}

const std::string& OriginServer::error() const {
    return impl_->error;
}

}  // namespace pv::origin
