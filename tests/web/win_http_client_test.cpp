#include "web/win_http_client.h"

#include <chrono>
#include <thread>

#include "core/window_wait.h"
#include "support/loopback_server.h"
#include "support/tls_identity.h"
#include "web_fixture.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

namespace {

class WinHttpClientTest : public WebTest {
  protected:
    void TearDown() override {
        setWindowWaitHook(nullptr);
        WebTest::TearDown();
    }
};

std::string u8(const char8_t* s) {
    return reinterpret_cast<const char*>(s);
}

std::string pathOf(const std::string& request) {
    const std::string line = requestLine(request);
    const std::size_t start = line.find(' ') + 1;
    return line.substr(start, line.rfind(' ') - start);
}

TEST_F(WinHttpClientTest, SendsTheSixDefaultLinesAndReportsTheStatus) {
    // The body claims a compression it does not have: nothing may try to decode it.
    LoopbackServer server([](const std::string&) {
        return httpReply("HTTP/1.1 200 OK", std::string("raw\0bytes", 9),
                         {"Content-Encoding: gzip"});
    });
    WinHttpClientArgs args;
    EXPECT_EQ(WinHttpClient(server.url("/ssc/201612/63.html"), args), "raw");
    EXPECT_EQ(server.requests().at(0),
              "GET /ssc/201612/63.html HTTP/1.1\r\n"
              "Host: 127.0.0.1:" +
                  std::to_string(server.port()) +
                  "\r\n"
                  "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; "
                  "Trident/5.0)\r\n"
                  "Accept: text/html, application/xhtml+xml, */*\r\n"
                  "Accept-Encoding: gbk, GB2312\r\n"
                  "Accept-Language: zh-cn\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Cache-Control: no-cache\r\n\r\n");
    EXPECT_EQ(args.statusText, "200 OK");
    EXPECT_EQ(args.responseBytes, std::string("raw\0bytes", 9));
    EXPECT_TRUE(args.returnedHeaders.starts_with("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n"));
}

TEST_F(WinHttpClientTest, MapsVerbsAndKeepsCallerLinesBySearchCase) {
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "ok"); });
    WinHttpClientArgs unknown;
    unknown.method = 4;
    WinHttpClient(server.url("/a"), unknown);
    WinHttpClientArgs put;
    put.method = 3;
    put.postText = "x=1";
    put.extraHeaders = "user-agent: X\r\ncontent-type: text/plain";
    WinHttpClient(server.url("/b"), put);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requestLine(requests[0]), "GET /a HTTP/1.1");
    EXPECT_EQ(requestLine(requests[1]), "PUT /b HTTP/1.1");
    EXPECT_NE(requests[1].find("\r\nuser-agent: X\r\ncontent-type: text/plain\r\nAccept: "),
              std::string::npos);
    EXPECT_EQ(requests[1].find("Mozilla"), std::string::npos);
    EXPECT_NE(requests[1].find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"),
              std::string::npos);
    EXPECT_TRUE(requests[1].ends_with("\r\nContent-Length: 3\r\n\r\nx=1"));
    EXPECT_EQ(put.extraHeaders, "user-agent: X\r\ncontent-type: text/plain");
}

TEST_F(WinHttpClientTest, NumbersTheStepThatFailed) {
    int closedPort;
    {
        LoopbackServer gone([](const std::string&) { return Reply{}; });
        closedPort = gone.port();
    }
    LoopbackServer silent([](const std::string&) { return Reply{"", true}; });
    WinHttpClientArgs noScheme;
    noScheme.returnedHeaders = "kept";
    EXPECT_EQ(WinHttpClient("127.0.0.1:" + std::to_string(silent.port()) + "/x", noScheme), "");
    EXPECT_EQ(noScheme.statusText, "701 解析URL地址失败!");
    EXPECT_EQ(noScheme.returnedHeaders, "kept");

    WinHttpClientArgs refused;
    EXPECT_EQ(WinHttpClient("http://127.0.0.1:" + std::to_string(closedPort) + "/", refused), "");
    EXPECT_EQ(refused.statusText, "711 发送请求失败!");

    WinHttpClientArgs unanswered;
    unanswered.timeoutSeconds = 1;
    unanswered.redirectLocation = "kept";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WinHttpClient(silent.url("/x"), unanswered), "");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(unanswered.statusText, "712 服务器未响应!");
    EXPECT_EQ(unanswered.redirectLocation, "kept");
    EXPECT_GE(elapsed, 1s);
    EXPECT_LT(elapsed, 1s + kTimeSlack);

    // A header block of 4 MiB is refused on the way in; that is a failure, not "200 OK".
    LoopbackServer bloated([](const std::string&) {
        return httpReply("HTTP/1.1 200 OK", "page",
                         std::vector<std::string>(4096, "X-Pad: " + std::string(1024, 'x')));
    });
    WinHttpClientArgs oversized;
    oversized.returnedHeaders = "kept";
    EXPECT_EQ(WinHttpClient(bloated.url("/x"), oversized), "");
    EXPECT_EQ(oversized.statusText, "712 服务器未响应!");
    EXPECT_EQ(oversized.returnedHeaders, "kept");
}

TEST_F(WinHttpClientTest, KeepsAPartialBodyWithTheStatusOfItsResponse) {
    setBodyCapForTesting(8);
    LoopbackServer server([](const std::string& request) {
        if (pathOf(request) == "/closes")
            return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nshort"};
        return httpReply("HTTP/1.1 200 OK", "0123456789");
    });
    WinHttpClientArgs broken;
    EXPECT_EQ(WinHttpClient(server.url("/closes"), broken), "short");
    EXPECT_EQ(broken.statusText, "200 OK");
    WinHttpClientArgs big;
    EXPECT_EQ(WinHttpClient(server.url("/big"), big), "01234567");
    EXPECT_EQ(big.responseBytes, "01234567");
}

TEST_F(WinHttpClientTest, ReportsErrorPagesLocationsAndCookies) {
    LoopbackServer server([](const std::string&) {
        return httpReply("HTTP/1.1 404 Not Found", "missing",
                         {"Location: /first", "location: /second", "Set-Cookie: s=1; path=/",
                          "set-cookie: u=2"});
    });
    WinHttpClientArgs args;
    args.noRedirect = true;
    args.cookies = "t=9";
    args.returnedCookies = "old=0";
    EXPECT_EQ(WinHttpClient(server.url("/p"), args), "missing");
    EXPECT_EQ(args.statusText, "404 Not Found");
    EXPECT_EQ(args.redirectLocation, "/second");
    EXPECT_NE(server.requests().at(0).find("\r\nCookie: t=9\r\n"), std::string::npos);
    EXPECT_EQ(args.returnedCookies, "old=0;s=1;u=2");
    EXPECT_EQ(*args.cookies, "old=0; s=1; u=2; t=9");

    WinHttpClientArgs leftOut;
    leftOut.returnedCookies = "old=0";
    WinHttpClient(server.url("/p"), leftOut);
    EXPECT_EQ(leftOut.returnedCookies, "old=0; s=1; u=2");
}

TEST_F(WinHttpClientTest, SendsBasicCredentialsToServerAndProxy) {
    LoopbackServer server([](const std::string& request) {
        if (request.find("\r\nAuthorization: Basic dXNlcjpwYXNz\r\n") != std::string::npos)
            return httpReply("HTTP/1.1 200 OK", "welcome");
        return httpReply("HTTP/1.1 401 Unauthorized", "denied",
                         {"WWW-Authenticate: Basic realm=\"blog\""});
    });
    WinHttpClientArgs none;
    none.serverUser = "user";  // a user without a password sends nothing
    EXPECT_EQ(WinHttpClient(server.url("/a"), none), "denied");
    EXPECT_EQ(none.statusText, "401 Unauthorized");
    WinHttpClientArgs both = none;
    both.serverPassword = "pass";
    EXPECT_EQ(WinHttpClient(server.url("/a"), both), "welcome");
    EXPECT_EQ(both.statusText, "200 OK");

    LoopbackServer proxy([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "p"); });
    WinHttpClientArgs viaProxy;
    viaProxy.proxy = "127.0.0.1:" + std::to_string(proxy.port());
    viaProxy.proxyUser = "pu";
    viaProxy.proxyPassword = "pp";
    EXPECT_EQ(WinHttpClient("http://blog.example/ssc/1.html", viaProxy), "p");
    const std::string request = proxy.requests().at(0);
    EXPECT_EQ(requestLine(request), "GET http://blog.example/ssc/1.html HTTP/1.1");
    EXPECT_NE(request.find("\r\nProxy-Authorization: Basic cHU6cHA=\r\n"), std::string::npos);
}

TEST_F(WinHttpClientTest, RedecodesPagesThatDeclareAnotherCharset) {
    const std::string utf8Page =
        u8(u8"<html><head><meta http-equiv=\"Content-Type\" "
           u8"content=\"text/html; charset=utf-8\"></head>进行中");
    // 镕 is outside GB2312: decoding the page as what it declares would spoil it.
    const std::string gbkPage = "<meta charset=\"gb2312\">进行中 镕";
    const std::string latePage = std::string(1100, ' ') + utf8Page;
    LoopbackServer server([&](const std::string& request) {
        const std::string path = pathOf(request);
        return httpReply("HTTP/1.1 200 OK", path == "/utf8"  ? utf8Page
                                            : path == "/gbk" ? gbkPage
                                                             : latePage);
    });
    // As on the window thread: the transfer runs on a thread of its own while the caller waits.
    int handedOver = 0;
    setWindowWaitHook([&](const std::function<void()>& work) {
        ++handedOver;
        std::thread(work).join();
        return true;
    });
    WinHttpClientArgs args;
    EXPECT_EQ(WinHttpClient(server.url("/utf8"), args),
              "<html><head><meta http-equiv=\"Content-Type\" "
              "content=\"text/html; charset=utf-8\"></head>进行中");
    EXPECT_EQ(args.responseBytes, utf8Page);
    EXPECT_EQ(handedOver, 1);
    EXPECT_EQ(WinHttpClient(server.url("/gbk")), gbkPage);
    EXPECT_EQ(WinHttpClient(server.url("/late")), latePage);
}

TEST_F(WinHttpClientTest, VerifiesTheServerCertificate) {
    TlsIdentity identity;
    LoopbackServer server([](const std::string&) { return httpReply("HTTP/1.1 200 OK", "safe"); },
                          &identity);
    WinHttpClientArgs untrusted;
    EXPECT_EQ(WinHttpClient(server.url("/"), untrusted), "");
    EXPECT_EQ(untrusted.statusText, "711 发送请求失败!");
    setCaFileForTesting(identity.certificateFile());
    WinHttpClientArgs trusted;
    EXPECT_EQ(WinHttpClient(server.url("/"), trusted), "safe");
    EXPECT_EQ(trusted.statusText, "200 OK");
}

}  // namespace
