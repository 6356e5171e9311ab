// The connections a thread keeps between its requests.
#include <atomic>
#include <thread>

#include "support/loopback_server.h"
#include "web/web_client.h"
#include "web/win_http_client.h"
#include "web_fixture.h"

using namespace pv;
using namespace pv::test;

namespace {

using ConnectionReuseTest = WebTest;

bool has(const std::string& request, const std::string& part) {
    return request.find(part) != std::string::npos;
}

TEST_F(ConnectionReuseTest, AWorkerKeepsOneConnectionPerSiteUntilItEnds) {
    auto page = [](const std::string&) { return keptAliveReply("HTTP/1.1 200 OK", "page"); };
    LoopbackServer plans(page);
    LoopbackServer other(page);
    constexpr int kWorkers = 3;
    constexpr int kPasses = 4;
    std::atomic<int> fetched{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i) {
        workers.emplace_back([&, i] {
            for (int pass = 0; pass < kPasses; ++pass) {
                fetched += WebClient(plans.url("/detail/" + std::to_string(i) + ".html")) == "page";
                fetched += WebClient(other.url("/x")) == "page";
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(fetched, 2 * kWorkers * kPasses);
    EXPECT_EQ(plans.requests().size(), std::size_t{kWorkers * kPasses});
    EXPECT_EQ(plans.connections(), std::size_t{kWorkers});
    EXPECT_EQ(other.connections(), std::size_t{kWorkers});
    // A thread that ends closes what it kept.
    EXPECT_TRUE(plans.waitForConnectionsClosed());
    EXPECT_TRUE(other.waitForConnectionsClosed());
}

TEST_F(ConnectionReuseTest, AReusedConnectionCarriesNoCredentialsCookiesOrProxyOver) {
    LoopbackServer server([](const std::string&) {
        return keptAliveReply("HTTP/1.1 200 OK", "ok", {"Set-Cookie: s=1"});
    });
    std::thread([&] {
        WinHttpClientArgs user;
        user.serverUser = "user";
        user.serverPassword = "pass";
        WinHttpClient(server.url("/a"), user);
        WinHttpClient(server.url("/b"));
        WebClientArgs cookie;
        cookie.cookies = "c=1";
        WebClient(server.url("/c"), cookie);
        WebClientArgs none;
        none.cookies = "";
        WebClient(server.url("/d"), none);
        WebClientArgs proxied;
        proxied.proxy = "127.0.0.1:" + std::to_string(server.port());
        WebClient("http://plans.example/e", proxied);
        WinHttpClientArgs proxyUser;
        proxyUser.proxy = proxied.proxy;
        proxyUser.proxyUser = "pu";
        proxyUser.proxyPassword = "pp";
        WinHttpClient("http://plans.example/f", proxyUser);
        WinHttpClientArgs proxyOnly;
        proxyOnly.proxy = proxied.proxy;
        WinHttpClient("http://plans.example/g", proxyOnly);
        WebClientArgs direct = none;
        WebClient(server.url("/h"), direct);
    }).join();

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 8u);
    EXPECT_TRUE(has(requests[0], "\r\nAuthorization: Basic "));
    EXPECT_FALSE(has(requests[1], "Authorization"));
    EXPECT_TRUE(has(requests[2], "\r\nCookie: c=1\r\n"));
    EXPECT_FALSE(has(requests[3], "Cookie"));
    EXPECT_EQ(requestLine(requests[4]), "GET http://plans.example/e HTTP/1.1");
    EXPECT_TRUE(has(requests[5], "\r\nProxy-Authorization: Basic "));
    EXPECT_FALSE(has(requests[6], "Proxy-Authorization"));
    EXPECT_EQ(requestLine(requests[7]), "GET /h HTTP/1.1");
    // One direct connection for five requests, one to the server as a proxy for two, and one of
    // its own for the request with proxy credentials.
    EXPECT_EQ(server.connections(), 3u);
}

}  // namespace
