#include "web/fetch_url.h"

#include <chrono>
#include <future>

#include "support/loopback_server.h"
#include "support/tls_identity.h"
#include "web_fixture.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

namespace {

using FetchUrlTest = WebTest;

std::string hostLine(const LoopbackServer& server) {
    return "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
}

TEST_F(FetchUrlTest, SendsOneHttp10GetThatBypassesCaches) {
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "plan"); });
    EXPECT_EQ(fetchUrl(server.url("/TeamContent/12.txt?x=1#part two")), "plan");
    EXPECT_EQ(fetchUrl(server.url("/TeamContent/13.txt \t ")), "plan");
    ASSERT_TRUE(server.waitForRequests(2));
    const std::string headers = hostLine(server) +
                                "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
                                "Accept: */*\r\n"
                                "Pragma: no-cache\r\n"
                                "Cache-Control: no-cache\r\n\r\n";
    EXPECT_EQ(server.requests()[0], "GET /TeamContent/12.txt?x=1 HTTP/1.0\r\n" + headers);
    EXPECT_EQ(server.requests()[1], "GET /TeamContent/13.txt HTTP/1.0\r\n" + headers);
}

TEST_F(FetchUrlTest, FollowsRedirectsReturnsErrorPagesAndPassesCredentials) {
    LoopbackServer server([](const std::string& request) {
        if (requestLine(request) == "GET /old HTTP/1.0")
            return httpReply("HTTP/1.1 302 Found", "moved", {"Location: /new"});
        return httpReply("HTTP/1.1 404 Not Found", "no such plan");
    });
    const std::string address = "http://user:pw@127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(fetchUrl(address + "/old"), "no such plan");
    ASSERT_TRUE(server.waitForRequests(2));
    EXPECT_EQ(requestLine(server.requests()[1]), "GET /new HTTP/1.0");
    EXPECT_NE(server.requests()[0].find("\r\nAuthorization: Basic dXNlcjpwdw==\r\n"),
              std::string::npos);
}

TEST_F(FetchUrlTest, GivesEmptyBytesWhenNoRequestCanBeMade) {
    int closedPort;
    {
        LoopbackServer gone([](const std::string&) { return Reply{}; });
        closedPort = gone.port();
    }
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "x"); });
    const std::string port = std::to_string(server.port());
    EXPECT_EQ(fetchUrl("127.0.0.1:" + port + "/no-scheme"), "");
    EXPECT_EQ(fetchUrl("ftp://127.0.0.1:" + port + "/x"), "");
    EXPECT_EQ(fetchUrl("http://"), "");
    EXPECT_EQ(fetchUrl(""), "");
    EXPECT_EQ(fetchUrl("http://127.0.0.1:" + std::to_string(closedPort) + "/x"), "");
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(FetchUrlTest, KeepsTheBytesReadBeforeATransferBreaksOff) {
    setBodyCapForTesting(1000);
    LoopbackServer server([](const std::string& request) {
        if (requestLine(request).starts_with("GET /closes"))
            return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf a plan"};
        return httpReply("HTTP/1.1 200 OK", std::string(999, 'x') + "yz");
    });
    EXPECT_EQ(fetchUrl(server.url("/closes")), "half a plan");
    EXPECT_EQ(fetchUrl(server.url("/huge")), std::string(999, 'x') + "y");
}

TEST_F(FetchUrlTest, GivesUpOnPeersThatStaySilent) {
    constexpr auto kIdle = 300ms;
    setTransferTimeoutsForTesting(kIdle, kIdle);
    UnansweredListener unanswered;
    LoopbackServer server([](const std::string& request) {
        if (requestLine(request).starts_with("GET /stalls"))
            return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part", true};
        return Reply{"", true};
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fetchUrl(unanswered.url("/x")), "");
    EXPECT_EQ(fetchUrl(server.url("/stalls")), "first part");
    EXPECT_EQ(fetchUrl(server.url("/silent")), "");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Each of the three is given up after one idle period.
    EXPECT_GE(elapsed, 3 * kIdle);
    EXPECT_LT(elapsed, 3 * kIdle + kTimeSlack);
}

TEST_F(FetchUrlTest, VerifiesTheServerCertificate) {
    TlsIdentity identity;
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "secure"); },
                          &identity);
    EXPECT_EQ(fetchUrl(server.url("/x")), "");  // signed by nobody the system trusts
    setCaFileForTesting(identity.certificateFile());
    EXPECT_EQ(fetchUrl(server.url("/x")), "secure");
    EXPECT_EQ(requestLine(server.requests().back()), "GET /x HTTP/1.0");
}

TEST_F(FetchUrlTest, EndsWithinASecondOfShutdown) {
    UnansweredListener unanswered;
    LoopbackServer server([](const std::string&) { return Reply{"", true}; });
    auto connecting = std::async(std::launch::async, [&] { return fetchUrl(unanswered.url("/")); });
    auto waiting = std::async(std::launch::async, [&] { return fetchUrl(server.url("/silent")); });
    ASSERT_TRUE(server.waitForRequests(1));
    ASSERT_EQ(waiting.wait_for(200ms), std::future_status::timeout);
    beginShutdown();
    ASSERT_EQ(waiting.wait_for(1s), std::future_status::ready);
    ASSERT_EQ(connecting.wait_for(1s), std::future_status::ready);
    EXPECT_EQ(waiting.get(), "");
    EXPECT_EQ(connecting.get(), "");
}

}  // namespace
