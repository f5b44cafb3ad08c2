// Throughput of find, replace and Base64 decoding over 1 MiB, with no event pump installed.
#include "textutil/base64.h"
#include "textutil/text_ops.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

using namespace murrel;

constexpr std::size_t kMiB = 1024 * 1024;

// GBK page text: Chinese words, ASCII markup and line ends, like the service's reply pages.
const Text& gbkText()
{
    static const Text text = [] {
        const std::string pieces[] = {
            "\xCF\xC2\xD4\xD8\xB5\xD8\xD6\xB7",  // "下载地址"
            "<a href=\"http://www.example.com/file/",
            "\xD1\xE9\xD6\xA4\xC2\xEB",  // "验证码"
            "\">Link</a>", "\r\n", "\xA1\xA1", " value=", "\xCE\xC4\xBC\xFE",  // "文件"
        };
        std::mt19937 random(7);
        std::string bytes;
        bytes.reserve(kMiB + 64);
        while (bytes.size() < kMiB) {
            bytes += pieces[random() % std::size(pieces)];
            bytes += std::to_string(random() % 100000);
        }
        bytes.resize(kMiB);
        return Text(std::move(bytes));
    }();
    return text;
}

const Text& base64Text()
{
    static const Text text = [] {
        static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::mt19937 random(11);
        std::string chars(kMiB, 'A');
        for (char& c : chars) {
            c = kAlphabet[random() % 64];
        }
        return Text(std::move(chars));
    }();
    return text;
}

void setMiB(benchmark::State& state, std::size_t bytes)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// Wanted texts that are not in the page but whose first bytes are frequent in it, so the whole text is
// searched and every candidate checked.
void findMissing(benchmark::State& state)
{
    const Text& text = gbkText();
    const bool ignoreCase = state.range(0) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(find(text, "value=\"", std::nullopt, ignoreCase));
    }
    setMiB(state, text.size());
}
BENCHMARK(findMissing)->Arg(0)->Arg(1)->ArgNames({"ignoreCase"});

void findGbkMissing(benchmark::State& state)
{
    const Text& text = gbkText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(reverseFind(text, "\xCF\xC2\xD4\xD8\xB5\xD8\xD6\xB7:"));  // "下载地址:"
    }
    setMiB(state, text.size());
}
BENCHMARK(findGbkMissing);

void replaceLineEnds(benchmark::State& state)
{
    const Text& text = gbkText();
    const bool caseSensitive = state.range(0) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(replaceSub(text, "\r\n", {}, caseSensitive));
    }
    setMiB(state, text.size());
}
BENCHMARK(replaceLineEnds)->Arg(1)->Arg(0)->ArgNames({"caseSensitive"});

void replaceGbkWord(benchmark::State& state)
{
    const Text& text = gbkText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(replaceSub(text, "\xD1\xE9\xD6\xA4\xC2\xEB", "code", true));  // "验证码"
    }
    setMiB(state, text.size());
}
BENCHMARK(replaceGbkWord);

void base64Decode(benchmark::State& state)
{
    const Text& text = base64Text();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Code_Base64Decode(text));
    }
    setMiB(state, text.size());
}
BENCHMARK(base64Decode);

}  // namespace

BENCHMARK_MAIN();
