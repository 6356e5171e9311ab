#include "web/web_client.h"

#include <chrono>
#include <thread>

#include "support/loopback_server.h"
#include "support/tls_identity.h"
#include "web_fixture.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

namespace {

using WebClientTest = WebTest;

constexpr const char* kAgentLine =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n";

std::string hostLine(const LoopbackServer& server) {
    return "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
}

std::string pathOf(const std::string& request) {
    const std::string line = requestLine(request);
    const std::size_t start = line.find(' ') + 1;
    return line.substr(start, line.rfind(' ') - start);
}

TEST_F(WebClientTest, SendsTheDefaultHeadersAndWritesThemBack) {
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "page"); });
    const std::string url = server.url("/detail/7.html?a=B");
    WebClientArgs args;
    EXPECT_EQ(WebClient(url, args), "page");
    const std::string sent = "Accept: */*\r\nReferer: " + url +
                             "\r\nAccept-Language: zh-cn"
                             "\r\nContent-Type: application/x-www-form-urlencoded";
    EXPECT_EQ(args.extraHeaders, sent);
    EXPECT_EQ(server.requests().at(0),
              "GET /detail/7.html?a=B HTTP/1.1\r\n" + hostLine(server) + kAgentLine + sent +
                  "\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n\r\n");
    EXPECT_EQ(args.returnedHeaders,
              "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(args.returnedCookies, "");

    // Without a scheme the address is plain http.
    EXPECT_EQ(WebClient("127.0.0.1:" + std::to_string(server.port()) + "/x"), "page");
    EXPECT_EQ(requestLine(server.requests().at(1)), "GET /x HTTP/1.1");
}

TEST_F(WebClientTest, MapsMethodsAndSendsThePostBody) {
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "ok"); });
    WebClientArgs odd;
    odd.method = 3;
    WebClient(server.url("/a"), odd);
    WebClientArgs negative;
    negative.method = -1;
    negative.postText = "unused";
    WebClient(server.url("/b"), negative);
    WebClientArgs post;
    post.method = 1;
    post.postText = "a=1";
    WebClient(server.url("/c"), post);
    WebClientArgs head;
    head.method = 2;
    EXPECT_EQ(WebClient(server.url("/d"), head), "");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requestLine(requests[0]), "GET /a HTTP/1.1");
    EXPECT_EQ(requests[1], requestHead(requests[1]));  // a GET carries no body
    EXPECT_EQ(negative.postBytes, "");
    EXPECT_EQ(requestLine(requests[2]), "POST /c HTTP/1.1");
    EXPECT_TRUE(requests[2].ends_with(
        "Cache-Control: no-cache\r\nContent-Length: 3\r\n\r\na=1"));  // and no Expect line
    EXPECT_EQ(post.postBytes, "a=1");
    EXPECT_EQ(requestLine(requests[3]), "HEAD /d HTTP/1.1");
}

TEST_F(WebClientTest, TakesTheCallersHeaderLinesAsTheyAre) {
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "ok"); });
    WebClientArgs lowerAgent;
    lowerAgent.extraHeaders = "user-agent: X\r\n";
    WebClient(server.url("/a"), lowerAgent);
    WebClientArgs own;
    own.extraHeaders = "Referer: http://from/\r\naccept: text/html";
    WebClient(server.url("/b"), own);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(lowerAgent.extraHeaders,
              "user-agent: X\r\n\r\nAccept: */*\r\nReferer: " + server.url("/a") +
                  "\r\nAccept-Language: zh-cn"
                  "\r\nContent-Type: application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0], "GET /a HTTP/1.1\r\n" + hostLine(server) + "user-agent: X\r\n" +
                               "Accept: */*\r\nReferer: " + server.url("/a") +
                               "\r\nAccept-Language: zh-cn"
                               "\r\nContent-Type: application/x-www-form-urlencoded"
                               "\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n\r\n");
    EXPECT_EQ(own.extraHeaders,
              "Referer: http://from/\r\naccept: text/html\r\nAccept: */*\r\nAccept-Language: "
              "zh-cn\r\nContent-Type: application/x-www-form-urlencoded");
    EXPECT_NE(requests[1].find(kAgentLine), std::string::npos);
    EXPECT_NE(requests[1].find("\r\nReferer: http://from/\r\naccept: text/html\r\nAccept: */*\r\n"),
              std::string::npos);
}

TEST_F(WebClientTest, CollectsEveryCookieOfALongHeaderBlockAndMerges) {
    const std::string filler = "X-Filler: " + std::string(6000, 'f');
    LoopbackServer server([&](const std::string&) {
        return httpReply(
            "HTTP/1.1 200 OK", "ok",
            {"Set-Cookie: a=1; path=/", "set-cookie: b=2", filler, "SET-COOKIE: c=3; HttpOnly"});
    });
    WebClientArgs args;
    args.cookies = "a=0; d=4";
    WebClient(server.url("/set"), args);
    EXPECT_NE(server.requests().at(0).find("\r\nCookie: a=0; d=4\r\n"), std::string::npos);
    EXPECT_GT(args.returnedHeaders.size(), 6000u);
    EXPECT_NE(args.returnedHeaders.find("\r\nSet-Cookie: b=2\r\n" + filler +
                                        "\r\nSet-Cookie: c=3; HttpOnly\r\n"),
              std::string::npos);
    // The merge takes the blanks out of the collected cookies too.
    EXPECT_EQ(args.returnedCookies, "a=1;b=2;c=3");
    EXPECT_EQ(*args.cookies, "a=1; b=2; c=3; d=4");

    WebClientArgs leftOut;
    WebClient(server.url("/set"), leftOut);
    EXPECT_EQ(leftOut.returnedCookies, "a=1; b=2; c=3");
}

TEST_F(WebClientTest, LeftOutCookiesUseTheProcessStoreSuppliedOnesBypassIt) {
    LoopbackServer server([](const std::string& request) {
        if (pathOf(request) == "/login")
            return httpReply("HTTP/1.1 200 OK", "in", {"Set-Cookie: session=s1; path=/"});
        return httpReply("HTTP/1.1 200 OK", "page");
    });
    WebClientArgs first;
    WebClient(server.url("/login"), first);
    EXPECT_EQ(first.returnedCookies, "session=s1");
    WebClient(server.url("/next"));
    WebClientArgs empty;
    empty.cookies = "";
    WebClient(server.url("/own"), empty);
    EXPECT_EQ(*empty.cookies, "");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[1].find(kAgentLine + std::string("Cookie: session=s1\r\n")),
              std::string::npos);
    EXPECT_EQ(requests[2].find("Cookie"), std::string::npos);
}

TEST_F(WebClientTest, FollowsRedirectsUnlessToldNotTo) {
    LoopbackServer server([](const std::string& request) {
        if (pathOf(request) == "/old")
            return httpReply("HTTP/1.1 302 Found", "moved", {"Location: /gone"});
        return httpReply("HTTP/1.1 404 Not Found", "no such page");
    });
    WebClientArgs follow;
    EXPECT_EQ(WebClient(server.url("/old"), follow), "no such page");
    EXPECT_TRUE(follow.returnedHeaders.starts_with("HTTP/1.1 404 Not Found\r\n"));
    EXPECT_EQ(follow.returnedHeaders.find("302"), std::string::npos);
    WebClientArgs stay;
    stay.noRedirect = true;
    EXPECT_EQ(WebClient(server.url("/old"), stay), "moved");
    EXPECT_TRUE(stay.returnedHeaders.starts_with("HTTP/1.1 302 Found\r\nLocation: /gone\r\n"));
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST_F(WebClientTest, SendsAbsoluteFormToAProxyAndTunnelsSecureRequests) {
    LoopbackServer proxy([](const std::string& request) {
        if (requestLine(request).starts_with("CONNECT"))
            return httpReply("HTTP/1.1 403 Forbidden", "");
        return httpReply("HTTP/1.1 200 OK", "via proxy");
    });
    WebClientArgs plain;
    plain.proxy = "127.0.0.1:" + std::to_string(proxy.port());
    EXPECT_EQ(WebClient("http://Plans.Example/detail/1.html", plain), "via proxy");
    WebClientArgs secure = plain;
    EXPECT_EQ(WebClient("https://plans.example/detail/1.html", secure), "");

    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requestLine(requests[0]), "GET http://plans.example/detail/1.html HTTP/1.1");
    EXPECT_NE(requests[0].find("\r\nHost: plans.example\r\n"), std::string::npos);
    EXPECT_EQ(requestLine(requests[1]), "CONNECT plans.example:443 HTTP/1.1");
}

TEST_F(WebClientTest, RequestsSecurelyAndFollowsAPlainRedirectToASecureAddress) {
    TlsIdentity identity;
    setCaFileForTesting(identity.certificateFile());
    LoopbackServer secure([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "safe"); },
                          &identity);
    LoopbackServer plain([&](const std::string&) {
        return httpReply("HTTP/1.1 301 Moved Permanently", "", {"Location: " + secure.url("/s")});
    });
    EXPECT_EQ(WebClient("HTTPS://127.0.0.1:" + std::to_string(secure.port()) + "/x"), "safe");
    EXPECT_EQ(WebClient(plain.url("/p")), "safe");
    ASSERT_TRUE(secure.waitForRequests(2));
    EXPECT_EQ(requestLine(secure.requests()[1]), "GET /s HTTP/1.1");
}

TEST_F(WebClientTest, KeepsWhatArrivedBeforeABrokenOrOversizedBody) {
    setBodyCapForTesting(10);
    LoopbackServer server([](const std::string& request) {
        if (pathOf(request) == "/closes")
            return Reply{"HTTP/1.1 200 OK\r\nSet-Cookie: k=1\r\nContent-Length: 50\r\n\r\nshort"};
        return httpReply("HTTP/1.1 200 OK", "0123456789abc");
    });
    WebClientArgs args;
    args.cookies = "";
    EXPECT_EQ(WebClient(server.url("/closes"), args), "short");
    EXPECT_EQ(*args.cookies, "k=1");
    EXPECT_EQ(WebClient(server.url("/big")), "0123456789");
}

TEST_F(WebClientTest, ThirtyNineWorkersEachGetTheirOwnPage) {
    LoopbackServer server([](const std::string& request) {
        return httpReply("HTTP/1.1 200 OK", "page " + pathOf(request) + std::string(3000, '.'));
    });
    constexpr int kWorkers = 39;
    std::vector<std::string> bodies(kWorkers);
    std::vector<std::thread> workers;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kWorkers; ++i) {
        workers.emplace_back([&, i] {
            bodies[i] = WebClient(server.url("/detail/" + std::to_string(i) + ".html"));
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    for (int i = 0; i < kWorkers; ++i)
        EXPECT_EQ(bodies[i],
                  "page /detail/" + std::to_string(i) + ".html" + std::string(3000, '.'));
    RecordProperty("elapsed_ms", static_cast<int>(elapsed / 1ms));
}

}  // namespace
