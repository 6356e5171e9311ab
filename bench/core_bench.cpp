// Throughput of the text work that runs on every page: matching a kill-plan pattern over a
// large plan file and converting pages between UTF-8 and GBK. bench/compare.sh runs the same
// work through grep -P and iconv(1) for reference.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <string>

#include "core/code_page.h"
#include "core/regex_object.h"
#include "core/text.h"

namespace {

// About `bytes` of GBK plan text; every fourth line matches the kill pattern.
std::string planFile(std::size_t bytes) {
    std::string out;
    for (int period = 1; out.size() < bytes; ++period) {
        std::string n = std::to_string(20161201000 + period);
        out += n + "期 【乾坤】本期杀尾 " + std::to_string(period % 10) + " 中\r\n";
        out += n + "期 【金囍】定位胆 12345 错\r\n";
        out += "进行中 " + n + " 期 3 7 8 9 0 2 4 5 6 1\r\n";
        out += "---------------------------------------\r\n";
    }
    return out;
}

const std::string& twoMegabytes() {
    static const std::string file = planFile(2 << 20);
    return file;
}

void BM_KillPatternOverPlanFile(benchmark::State& state) {
    const std::string& file = twoMegabytes();
    for (auto _ : state) {
        pv::RegexObject re;
        re.create("[0-9]{3,}期 【乾坤】.+杀尾.+", file);
        benchmark::DoNotOptimize(re.matchCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_KillPatternOverPlanFile)->Unit(benchmark::kMillisecond);

void BM_Utf8ToGbk(benchmark::State& state) {
    const std::string utf8 = pv::gbkToUtf8(twoMegabytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::utf8ToGbk(utf8));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);

void BM_FindTextToEnd(benchmark::State& state) {
    const std::string& file = twoMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(pv::findText(file, "不在这里"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_FindTextToEnd)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // --write-data=DIR leaves the benchmark's input for the reference tools and exits.
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-data=", 13) == 0) {
            std::string dir = argv[i] + 13;
            std::ofstream(dir + "/plan.gbk", std::ios::binary) << twoMegabytes();
            std::ofstream(dir + "/plan.utf8", std::ios::binary) << pv::gbkToUtf8(twoMegabytes());
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
