// Throughput of the text work that runs on every page and every fetch, each next to a reference
// on the same bytes: string_view's find and rfind, a find-and-append loop and iconv(3) here in
// the process; bench/compare.sh adds the iconv, grep and curl commands on files this program
// writes.
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "body_server.h"
#include "core/code_page.h"
#include "core/regex_object.h"
#include "core/text.h"
#include "web/curl_global.h"
#include "web/fetch_url.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr const char* kKillPattern = "[0-9]{3,}期 【乾坤】.+杀尾.+";

// About `bytes` of GBK plan text; every fourth line holds the kill pattern and the word 杀尾.
std::string planFile(std::size_t bytes) {
    std::string out;
    out.reserve(bytes + 256);
    for (int period = 1; out.size() < bytes; ++period) {
        std::string n = std::to_string(20161201000 + period);
        out += n + "期 【乾坤】本期杀尾 " + std::to_string(period % 10) + " 中\r\n";
        out += n + "期 【金囍】定位胆 12345 错\r\n";
        out += "进行中 " + n + " 期 3 7 8 9 0 2 4 5 6 1\r\n";
        out += "---------------------------------------\r\n";
    }
    return out;
}

// 16 MiB of plan text that opens with a line found nowhere else and ends with another.
const std::string& plan16() {
    static const std::string file = "首行标记 0\r\n" + planFile(16 * kMiB) + "末行标记 9\r\n";
    return file;
}
const std::string& plan16Utf8() {
    static const std::string file = pv::gbkToUtf8(plan16());
    return file;
}
const std::string& plan50() {
    static const std::string file = planFile(50 * kMiB);
    return file;
}

void bytesPerIteration(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// --- Searches --------------------------------------------------------------------------------

void BM_FindText_Absent(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::findText(plan16(), "不在这里"));
    bytesPerIteration(state, plan16().size());
}
void BM_Ref_Find_Absent(benchmark::State& state) {
    const std::string_view t = plan16();
    for (auto _ : state)
        benchmark::DoNotOptimize(t.find("不在这里"));
    bytesPerIteration(state, plan16().size());
}

void BM_FindText_HitAtEnd(benchmark::State& state) {
    if (pv::findText(plan16(), "末行标记") == -1) state.SkipWithError("no hit");
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::findText(plan16(), "末行标记"));
    bytesPerIteration(state, plan16().size());
}
void BM_Ref_Find_HitAtEnd(benchmark::State& state) {
    const std::string_view t = plan16();
    for (auto _ : state)
        benchmark::DoNotOptimize(t.find("末行标记"));
    bytesPerIteration(state, plan16().size());
}

void BM_FindTextBackward_HitAtStart(benchmark::State& state) {
    if (pv::findTextBackward(plan16(), "首行标记") != 1) state.SkipWithError("no hit");
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::findTextBackward(plan16(), "首行标记"));
    bytesPerIteration(state, plan16().size());
}
void BM_Ref_Rfind_HitAtStart(benchmark::State& state) {
    const std::string_view t = plan16();
    for (auto _ : state)
        benchmark::DoNotOptimize(t.rfind("首行标记"));
    bytesPerIteration(state, plan16().size());
}

// The needle's first byte, "2", begins three lines in four and fills the period numbers.
const std::string& plan16CommonStart() {
    static const std::string file = "2首行标记\r\n" + planFile(16 * kMiB);
    return file;
}
void BM_FindTextBackward_CommonFirstByte(benchmark::State& state) {
    if (pv::findTextBackward(plan16CommonStart(), "2首行标记") != 1) state.SkipWithError("no hit");
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::findTextBackward(plan16CommonStart(), "2首行标记"));
    bytesPerIteration(state, plan16CommonStart().size());
}
void BM_Ref_Rfind_CommonFirstByte(benchmark::State& state) {
    const std::string_view t = plan16CommonStart();
    for (auto _ : state)
        benchmark::DoNotOptimize(t.rfind("2首行标记"));
    bytesPerIteration(state, plan16CommonStart().size());
}

void BM_ReplaceText_Word(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::replaceText(plan16(), "杀尾", "杀码"));
    bytesPerIteration(state, plan16().size());
}
void BM_Ref_FindAppend_Word(benchmark::State& state) {
    const std::string_view t = plan16();
    const std::string_view sought = "杀尾";
    for (auto _ : state) {
        std::string out;
        out.reserve(t.size());
        std::size_t done = 0;
        for (std::size_t p; (p = t.find(sought, done)) != std::string_view::npos;) {
            out.append(t.substr(done, p - done)).append("杀码");
            done = p + sought.size();
        }
        out.append(t.substr(done));
        benchmark::DoNotOptimize(out);
    }
    bytesPerIteration(state, plan16().size());
}

// Every hit of 期, which stands in three lines out of four.
// Each side searches a view of the text it holds, as the reference does.
void BM_WalkHits_FindText(benchmark::State& state) {
    const std::string_view t = plan16();
    for (auto _ : state) {
        int hits = 0;
        for (int p = pv::findText(t, "期"); p != -1; p = pv::findText(t, "期", p + 1))
            ++hits;
        benchmark::DoNotOptimize(hits);
    }
    bytesPerIteration(state, plan16().size());
}
void BM_WalkHits_FindTextFrom(benchmark::State& state) {
    const std::string_view t = plan16();
    for (auto _ : state) {
        int hits = 0;
        for (int p = pv::findText(t, "期"); p != -1; p = pv::findTextFrom(t, "期", p + 1, p))
            ++hits;
        benchmark::DoNotOptimize(hits);
    }
    bytesPerIteration(state, plan16().size());
}
void BM_Ref_FindLoop(benchmark::State& state) {
    const std::string_view t = plan16();
    for (auto _ : state) {
        int hits = 0;
        for (std::size_t p = t.find("期"); p != std::string_view::npos; p = t.find("期", p + 1))
            ++hits;
        benchmark::DoNotOptimize(hits);
    }
    bytesPerIteration(state, plan16().size());
}

BENCHMARK(BM_FindText_Absent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_Find_Absent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindText_HitAtEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_Find_HitAtEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextBackward_HitAtStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_Rfind_HitAtStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextBackward_CommonFirstByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_Rfind_CommonFirstByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceText_Word)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_FindAppend_Word)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkHits_FindText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkHits_FindTextFrom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_FindLoop)->Unit(benchmark::kMillisecond);

// --- Conversions ------------------------------------------------------------------------------

// What a caller of iconv(3) does at the least: one descriptor, one call into a fresh buffer
// large enough for the whole result.
std::size_t iconvInto(iconv_t cd, std::string_view in, std::size_t room) {
    std::unique_ptr<char, decltype(&std::free)> out(static_cast<char*>(std::malloc(room)),
                                                    &std::free);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char* dst = out.get();
    std::size_t free = room;
    iconv(cd, &src, &left, &dst, &free);
    benchmark::DoNotOptimize(out.get());
    return room - free;
}

void BM_Utf8ToGbk(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::utf8ToGbk(plan16Utf8()));
    bytesPerIteration(state, plan16Utf8().size());
}
void BM_Ref_Iconv_Utf8ToGbk(benchmark::State& state) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    for (auto _ : state)
        benchmark::DoNotOptimize(iconvInto(cd, plan16Utf8(), plan16Utf8().size()));
    iconv_close(cd);
    bytesPerIteration(state, plan16Utf8().size());
}

void BM_GbkToUtf8(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::gbkToUtf8(plan16()));
    bytesPerIteration(state, plan16().size());
}
void BM_Ref_Iconv_GbkToUtf8(benchmark::State& state) {
    iconv_t cd = iconv_open("UTF-8", "CP936");
    for (auto _ : state)
        benchmark::DoNotOptimize(iconvInto(cd, plan16(), plan16().size() * 3 / 2 + 16));
    iconv_close(cd);
    bytesPerIteration(state, plan16().size());
}

BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_Iconv_Utf8ToGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GbkToUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ref_Iconv_GbkToUtf8)->Unit(benchmark::kMillisecond);

// --- Kill plans and fetches (their references are commands: see compare.sh) ------------------

void BM_KillPattern_50MiB(benchmark::State& state) {
    for (auto _ : state) {
        pv::RegexObject re;
        re.create(kKillPattern, plan50());
        benchmark::DoNotOptimize(re.matchCount());
    }
    bytesPerIteration(state, plan50().size());
}
BENCHMARK(BM_KillPattern_50MiB)->Unit(benchmark::kMillisecond);

// From the server compare.sh started (so that curl fetches from the same one) when it names
// it, else from one of our own.
void BM_FetchUrl_60MiB(benchmark::State& state) {
    std::unique_ptr<bench::BodyServer> own;
    std::string url;
    if (const char* given = std::getenv("PV_BENCH_FETCH_URL")) {
        url = given;
    } else {
        own = std::make_unique<bench::BodyServer>(60 * kMiB);
        url = own->url();
    }
    for (auto _ : state) {
        const std::string body = pv::fetchUrl(url);
        if (body.size() != 60 * kMiB) state.SkipWithError("short body");
    }
    bytesPerIteration(state, 60 * kMiB);
}
BENCHMARK(BM_FetchUrl_60MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

long peakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // --write-data=DIR: the inputs of the command references, then exit.
        if (arg.starts_with("--write-data=")) {
            const std::string dir(arg.substr(13));
            std::ofstream(dir + "/plan16.gbk", std::ios::binary) << plan16();
            std::ofstream(dir + "/plan16.utf8", std::ios::binary) << plan16Utf8();
            std::ofstream(dir + "/plan50.utf8", std::ios::binary) << pv::gbkToUtf8(plan50());
            std::ofstream(dir + "/plan50.gbk", std::ios::binary) << plan50();
            std::ofstream(dir + "/kill.pattern", std::ios::binary) << pv::gbkToUtf8(kKillPattern);
            // What grep -c must count too: every match of the pattern stands on a line of its own.
            pv::RegexObject re;
            re.create(kKillPattern, plan50());
            std::ofstream(dir + "/kill.count") << re.matchCount() << "\n";
            return 0;
        }
        // --kill-count=FILE: the kill pattern over a GBK file, conversion included; prints the
        // number of matches, as grep -c does for the UTF-8 form of the same text.
        if (arg.starts_with("--kill-count=")) {
            std::ifstream in(std::string(arg.substr(13)), std::ios::binary | std::ios::ate);
            std::string text(static_cast<std::size_t>(in.tellg()), '\0');
            in.seekg(0);
            in.read(text.data(), static_cast<std::streamsize>(text.size()));
            pv::RegexObject re;
            if (!re.create(kKillPattern, text)) return 1;
            std::cout << re.matchCount() << std::endl;
            return 0;
        }
        // --serve=BYTES: serve bodies of that size until standard input closes.
        if (arg.starts_with("--serve=")) {
            bench::BodyServer server(std::stoull(std::string(arg.substr(8))));
            std::cout << server.url() << std::endl;
            std::string line;
            while (std::getline(std::cin, line)) {
            }
            return 0;
        }
        // --fetch-peak=BYTES: one fetchUrl of a body that size; prints what it kept and the
        // process's peak resident memory.
        if (arg.starts_with("--fetch-peak=")) {
            bench::BodyServer server(std::stoull(std::string(arg.substr(13))));
            const long before = peakRssKiB();
            const std::size_t kept = pv::fetchUrl(server.url()).size();
            std::cout << "kept_bytes=" << kept << " cap_bytes=" << pv::transferLimits().bodyCap
                      << " rss_before_kib=" << before << " peak_rss_kib=" << peakRssKiB()
                      << std::endl;
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
