// Speed of the captcha step's text work on an 8 MiB page: UTF-8 to GBK (beside glibc's iconv, with the ratio
// of the two) and the two searches of the step over the GBK page.
#include "regex/regex_object.h"
#include "textutil/codepage.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <chrono>
#include <random>
#include <string>

namespace murrel {
namespace {

constexpr std::size_t kPageSize = 8 * 1024 * 1024;
constexpr double kMiB = 1024.0 * 1024.0;

// An HTML-like page: ASCII markup, one line in six Chinese text, the key and the hash near the end.
const std::string& utf8Page()
{
    static const std::string page = [] {
        const std::string chinese[] = {"\xE4\xB8\xAD\xE6\x96\x87", "\xE4\xB8\x8B\xE8\xBD\xBD",
                                       "\xE6\x96\x87\xE4\xBB\xB6", "\xE9\xAA\x8C\xE8\xAF\x81\xE7\xA0\x81",
                                       "\xEF\xBC\x8C", "\xE3\x80\x82"};
        std::mt19937 random(2024);
        std::string out;
        out.reserve(kPageSize + 4096);
        while (out.size() < kPageSize - 512) {
            const unsigned kind = random() % 6;
            if (kind == 0) {
                out += "<p class=\"desc\">";
                for (unsigned i = 0, n = 10 + random() % 30; i < n; ++i) {
                    out += chinese[random() % std::size(chinese)];
                }
                out += "</p>\n";
            } else if (kind == 1) {
                out += "<input type=\"hidden\" name=\"f" + std::to_string(random() % 1000) + "\" value=\"" +
                       std::to_string(random()) + "\"/>\n";
            } else {
                out += "<div class=\"row\"><a href=\"/file/" + std::to_string(random()) +
                       "\" title=\"download\">view the file</a> <span>size " + std::to_string(random() % 99999) +
                       " KB</span></div>\n";
            }
        }
        out += "<img src=\"/randcodeV2.php?fid=1&key=" + std::string(32, 'a') + "\"/>\n";
        out += "<input type=\"hidden\" id=\"hash\" value=\"" + std::string(40, 'b') + "\"/>\n";
        return out;
    }();
    return page;
}

const Text& gbkPage()
{
    static const Text page = Code_Utf8BytesToGbk(Bytes(utf8Page()));
    return page;
}

std::string iconvToGbk(const std::string& utf8)
{
    static iconv_t converter = iconv_open("GBK", "UTF-8");
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string out(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* target = out.data();
    std::size_t outLeft = out.size();
    iconv(converter, &in, &inLeft, &target, &outLeft);
    out.resize(out.size() - outLeft);
    return out;
}

void setMiBPerSecond(benchmark::State& state, std::size_t bytes)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

void BM_Utf8ToGbk(benchmark::State& state)
{
    const Bytes body(utf8Page());
    for (auto _ : state) {
        benchmark::DoNotOptimize(Code_Utf8BytesToGbk(body));
    }
    setMiBPerSecond(state, body.size());
}
BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);

void BM_Utf8ToGbkIconv(benchmark::State& state)
{
    const std::string& page = utf8Page();
    if (iconvToGbk(page) != gbkPage().str()) {
        state.SkipWithError("iconv gives other bytes");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(iconvToGbk(page));
    }
    setMiBPerSecond(state, page.size());
}
BENCHMARK(BM_Utf8ToGbkIconv)->Unit(benchmark::kMillisecond);

// Both conversions in turn within each iteration, so that the ratio compares them under the same load.
void BM_Utf8ToGbkRatioToIconv(benchmark::State& state)
{
    const Bytes body(utf8Page());
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{};
    Clock::duration theirs{};
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(Code_Utf8BytesToGbk(body));
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(iconvToGbk(utf8Page()));
        theirs += Clock::now() - middle;
        ours += middle - start;
    }
    const double seconds = std::chrono::duration<double>(ours).count();
    const double iconvSeconds = std::chrono::duration<double>(theirs).count();
    const double mib = static_cast<double>(body.size()) * static_cast<double>(state.iterations()) / kMiB;
    state.counters["ours_MiBps"] = mib / seconds;
    state.counters["iconv_MiBps"] = mib / iconvSeconds;
    state.counters["speed_vs_iconv"] = iconvSeconds / seconds;
}
BENCHMARK(BM_Utf8ToGbkRatioToIconv)->Unit(benchmark::kMillisecond);

// A short body converted over and over, on one and on two threads: each thread has its own converters.
void BM_Utf8ToGbkSmall(benchmark::State& state)
{
    const Bytes body(utf8Page().substr(0, 4096));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Code_Utf8BytesToGbk(body));
    }
    setMiBPerSecond(state, body.size());
}
BENCHMARK(BM_Utf8ToGbkSmall)->Threads(1)->Threads(2);

void BM_SearchKey(benchmark::State& state)
{
    const Text& page = gbkPage();
    RegexObject regex;
    for (auto _ : state) {
        regex.Search("key=\\w{32}", page);
        benchmark::DoNotOptimize(regex.MatchText(1));
    }
    if (regex.MatchText(1) != Text("key=" + std::string(32, 'a'))) {
        state.SkipWithError("key not found");
    }
    setMiBPerSecond(state, page.size());
}
BENCHMARK(BM_SearchKey)->Unit(benchmark::kMillisecond);

void BM_SearchHash(benchmark::State& state)
{
    const Text& page = gbkPage();
    RegexObject regex;
    for (auto _ : state) {
        regex.Search("value=\\\"(.{30,})\\\"/>", page);
        benchmark::DoNotOptimize(regex.SubMatchText(1, 1));
    }
    if (regex.SubMatchText(1, 1) != Text(std::string(40, 'b'))) {
        state.SkipWithError("hash not found");
    }
    setMiBPerSecond(state, page.size());
}
BENCHMARK(BM_SearchHash)->Unit(benchmark::kMillisecond);

void BM_GbkToUtf16(benchmark::State& state)
{
    const Text& page = gbkPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gbkToUtf16(page));
    }
    setMiBPerSecond(state, page.size());
}
BENCHMARK(BM_GbkToUtf16)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace murrel

BENCHMARK_MAIN();
