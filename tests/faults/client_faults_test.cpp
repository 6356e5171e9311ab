// The three page-fetch routines against servers that misbehave: each call ends in bounded time
// with what the routine promises for that failure.
#include <time.h>

#include <vector>

#include "core/code_page.h"
#include "core/convert.h"
#include "fault_support.h"
#include "support/loopback_server.h"
#include "web/fetch_url.h"
#include "web/web_client.h"
#include "web/win_http_client.h"

using namespace pv;
using namespace pv::test;

namespace {

const std::string kNoResponse = "712 服务器未响应!";

std::string u8(const char8_t* s) {
    return reinterpret_cast<const char*>(s);
}

std::string pathOf(const std::string& request) {
    const std::string line = requestLine(request);
    const std::size_t start = line.find(' ') + 1;
    return line.substr(start, line.rfind(' ') - start);
}

// What each routine made of one address.
struct Outcome {
    std::string fetched;    // fetchUrl
    std::string webClient;  // WebClient's body
    std::string text;       // WinHttpClient's result...
    std::string status;     // ...its status text...
    std::string bytes;      // ...and the body as received
    std::string headers;    // ...and its header block, "kept" when it was not written
};

WinHttpClientArgs winHttpArgs() {
    WinHttpClientArgs args;
    args.timeoutSeconds = 1;
    args.returnedHeaders = "kept";
    return args;
}

Outcome fetchWithEach(const std::string& url) {
    Outcome o;
    o.fetched = bounded([&] { return fetchUrl(url); });
    o.webClient = bounded([&] { return WebClient(url); });
    WinHttpClientArgs args = winHttpArgs();
    o.text = bounded([&] { return WinHttpClient(url, args); });
    o.status = args.statusText;
    o.bytes = args.responseBytes;
    o.headers = args.returnedHeaders.substr(0, 4);
    return o;
}

Reply redirectTo(const std::string& path) {
    return httpReply("HTTP/1.1 302 Found", "moved", {"Location: " + path});
}

TEST_F(FaultTest, EachRoutineEndsWithWhatItPromisesForTheFailure) {
    const std::string part(20000, 'p');
    const std::string zeroed("进行中\0隐藏", 11);
    const std::string loneLead = "<meta charset=gb2312>进行中\xBD";
    const std::string badGbk = "\x81\x20\xFF计划\xFE";
    const std::vector<std::string> bloat(4096, "X-Pad: " + std::string(1024, 'x'));
    struct Case {
        const char* name;
        LoopbackServer::Handler serve;
        Outcome expected;
    };
    const Case cases[] = {
        {"reset mid-body",
         [&](const std::string&) {
             Reply r{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + part};
             r.reset = true;
             return r;
         },
         // A read that fails part-way keeps what came; the status of the response stands.
         {part, part, part, "200 OK", part, "HTTP"}},
        {"silent server",
         [](const std::string&) {
             return Reply{"", true};
         },
         {"", "", "", kNoResponse, "", "kept"}},
        {"zero bytes",
         [&](const std::string&) { return httpReply("HTTP/1.1 200 OK", zeroed); },
         {zeroed, zeroed, "进行中", "200 OK", zeroed, "HTTP"}},
        {"invalid GBK",
         [&](const std::string&) { return httpReply("HTTP/1.1 200 OK", badGbk); },
         {badGbk, badGbk, badGbk, "200 OK", badGbk, "HTTP"}},
        {"GB2312 ending on a lead byte",
         [&](const std::string&) { return httpReply("HTTP/1.1 200 OK", loneLead); },
         {loneLead, loneLead, loneLead, "200 OK", loneLead, "HTTP"}},
        {"4 MiB header block",
         [&](const std::string&) { return httpReply("HTTP/1.1 200 OK", "page", bloat); },
         {"", "", "", kNoResponse, "", "kept"}},
        {"one 4 MiB header line",
         [&](const std::string&) {
             return httpReply("HTTP/1.1 200 OK", "page", {"X-Pad: " + std::string(4 << 20, 'x')});
         },
         {"", "", "", kNoResponse, "", "kept"}},
        {"zero byte in the header block",
         [&](const std::string&) {
             return httpReply("HTTP/1.1 200 OK", "page", {std::string("X-A: a\0b", 8)});
         },
         {"", "", "", kNoResponse, "", "kept"}},
        {"redirect to itself",
         [](const std::string& r) { return redirectTo(pathOf(r)); },
         {"", "", "", kNoResponse, "", "kept"}},
        {"redirects in a ring",
         [](const std::string& r) { return redirectTo(pathOf(r) == "/a" ? "/b" : "/a"); },
         {"", "", "", kNoResponse, "", "kept"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer server(c.serve);
        const auto start = std::chrono::steady_clock::now();
        const Outcome o = fetchWithEach(server.url("/a"));
        RecordProperty(std::string(c.name) + " ms",
                       static_cast<int>((std::chrono::steady_clock::now() - start) / 1ms));
        EXPECT_EQ(o.fetched, c.expected.fetched);
        EXPECT_EQ(o.webClient, c.expected.webClient);
        EXPECT_EQ(o.text, c.expected.text);
        EXPECT_EQ(o.status, c.expected.status);
        EXPECT_EQ(o.bytes, c.expected.bytes);
        EXPECT_EQ(o.headers, c.expected.headers);
        EXPECT_LT(server.requests().size(), 100u);
    }
}

TEST_F(FaultTest, PagesThatLieAboutTheirCharsetAreDecodedWithReplacements) {
    // What cannot be decoded becomes one "?" per broken byte and the decoding goes on behind it.
    const std::string utf8 = "<meta charset=utf-8>ok\xC3(\xFF" + u8(u8"进行中");
    const std::string gbk = "<meta charset=GBK>\x81\x20计划\xFF";
    const std::string gb2312 = "<meta charset=GB2312>进行中\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {utf8, "<meta charset=utf-8>ok?(?进行中"},
        {gbk, "<meta charset=GBK>? 计划?"},
        {gb2312, "<meta charset=GB2312>进行中?"},
    };
    for (const auto& [page, shown] : cases) {
        SCOPED_TRACE(shown);
        LoopbackServer server(
            [&](const std::string&) { return httpReply("HTTP/1.1 200 OK", page); });
        const Outcome o = fetchWithEach(server.url("/"));
        EXPECT_EQ(o.fetched, page);
        EXPECT_EQ(o.webClient, page);
        EXPECT_EQ(o.text, shown);
        EXPECT_EQ(o.bytes, page);
    }
    // The page workers take every page for UTF-8.
    EXPECT_EQ(utf8ToGbk(utf8), "<meta charset=utf-8>ok?(?进行中");
}

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST_F(FaultTest, ATrickleIsWaitedForWithoutSpinning) {
    // A byte every 100 ms: slow, but never silent for the idle limit of a second.
    setTransferTimeoutsForTesting(1s, 1s);
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n";
    LoopbackServer server(
        [&](const std::string&) { return tricklingReply(head, "进行中", 100ms); });
    auto timed = [](auto call) {
        return bounded([&] {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadSeconds();
            const std::string body = call();
            const double wall =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            EXPECT_LT(threadSeconds() - cpuStart, wall / 4) << "busy while waiting";
            return body;
        });
    };
    EXPECT_EQ(timed([&] { return fetchUrl(server.url("/")); }), "进行中");
    EXPECT_EQ(timed([&] { return WebClient(server.url("/")); }), "进行中");
    WinHttpClientArgs args = winHttpArgs();
    EXPECT_EQ(timed([&] { return WinHttpClient(server.url("/"), args); }), "进行中");
    EXPECT_EQ(args.statusText, "200 OK");
}

TEST_F(FaultTest, AnEndlessTrickleHoldsNoCallPastShutdown) {
    LoopbackServer server(
        [](const std::string&) { return tricklingReply("HTTP/1.1 200 OK\r\n\r\n", "", 100ms); });
    WinHttpClientArgs args = winHttpArgs();
    std::future<std::string> calls[] = {
        std::async(std::launch::async, [&] { return fetchUrl(server.url("/")); }),
        std::async(std::launch::async, [&] { return WebClient(server.url("/")); }),
        std::async(std::launch::async, [&] { return WinHttpClient(server.url("/"), args); }),
    };
    ASSERT_TRUE(server.waitForRequests(3));
    // Longer than the idle limit: a trickle is no silence.
    ASSERT_EQ(calls[0].wait_for(3 * kIdle), std::future_status::timeout);
    for (auto& call : calls)
        ASSERT_EQ(call.wait_for(0s), std::future_status::timeout);
    beginShutdown();
    for (auto& call : calls) {
        ASSERT_EQ(call.wait_for(2s), std::future_status::ready);
        const std::string body = call.get();
        EXPECT_FALSE(body.empty());
        EXPECT_EQ(body.find_first_not_of(' '), std::string::npos);
    }
}

TEST_F(FaultTest, AnEndlessTrickleEndsAtTheDeadline) {
    // Longer than the idle limit, which a byte every 100 ms never reaches.
    constexpr auto kDeadline = 3 * kIdle;
    setTransferDeadlineForTesting(kDeadline);
    LoopbackServer server(
        [](const std::string&) { return tricklingReply("HTTP/1.1 200 OK\r\n\r\n", "", 100ms); });
    auto byTheDeadline = [&](auto call) {
        return bounded([&] {
            const auto start = std::chrono::steady_clock::now();
            std::string body = call();
            // Not taken for a silence (libcurl's clock may end it a fraction of a ms early).
            EXPECT_GT(std::chrono::steady_clock::now() - start, kDeadline - kIdle);
            // Given up like a silent peer: what came is kept.
            EXPECT_FALSE(body.empty());
            EXPECT_EQ(body.find_first_not_of(' '), std::string::npos);
            return body;
        });
    };
    byTheDeadline([&] { return fetchUrl(server.url("/")); });
    byTheDeadline([&] { return WebClient(server.url("/")); });
    WinHttpClientArgs args = winHttpArgs();
    byTheDeadline([&] { return WinHttpClient(server.url("/"), args); });
    EXPECT_EQ(args.statusText, "200 OK");
}

TEST_F(FaultTest, AGigabyteBodyIsCutAtTheCapInBoundedMemory) {
    const std::size_t cap = transferLimits().bodyCap;
    const double capMiB = static_cast<double>(cap >> 20);
    constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
    struct Case {
        const char* name;
        Reply reply;
        bool decoded;  // only WinHttpClient reads the charset of a page
    };
    const Case cases[] = {
        {"with its length", generatedReply(kGiB, true), false},
        {"without a length", generatedReply(kGiB, false), false},
        {"declared UTF-8", generatedReply(kGiB, true, "<meta charset=utf-8>"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer server([&](const std::string&) { return c.reply; });
        auto measured = [&](const char* routine, double boundMiB, auto call) {
            PeakGrowth peak;
            const auto start = std::chrono::steady_clock::now();
            call();
            const double growth = peak.mib();
            RecordProperty(std::string(c.name) + ", " + routine + ": MiB",
                           static_cast<int>(growth));
            RecordProperty(std::string(c.name) + ", " + routine + ": ms",
                           static_cast<int>((std::chrono::steady_clock::now() - start) / 1ms));
            if (kMemoryMeasurable && peak.valid()) {
                EXPECT_LE(growth, boundMiB) << routine;
            }
        };
        if (!c.decoded) {
            measured("fetchUrl", capMiB + kMemorySlackMiB, [&] {
                EXPECT_EQ(bounded([&] { return fetchUrl(server.url("/")); }).size(), cap);
            });
            measured("WebClient", capMiB + kMemorySlackMiB, [&] {
                EXPECT_EQ(bounded([&] { return WebClient(server.url("/")); }).size(), cap);
            });
        }
        // It hands back both the bytes and the text made of them.
        measured("WinHttpClient", 2 * capMiB + kMemorySlackMiB, [&] {
            WinHttpClientArgs args = winHttpArgs();
            EXPECT_EQ(bounded([&] { return WinHttpClient(server.url("/"), args); }).size(), cap);
            EXPECT_EQ(args.responseBytes.size(), cap);
            EXPECT_EQ(args.statusText, "200 OK");
        });
    }
}

}  // namespace
