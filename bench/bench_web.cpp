// Web access: one background GET against a bare libcurl GET of the same URL, and what the waiting
// thread costs while a request stalls.
#include "tests/support/standin_server.h"
#include "web/fetch_with_timeout.h"
#include "web/web_init.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <ctime>
#include <string>

namespace {

using murrel::test::RecordedRequest;
using murrel::test::Response;
using murrel::test::StandInServer;

// A page about the size of the service's share page.
StandInServer& server()
{
    static StandInServer* instance = [] {
        auto* created = new StandInServer;
        created->handle("GET", "/page", [](const RecordedRequest&) { return Response::text(std::string(20000, 'p')); });
        created->handle("GET", "/stall", [](const RecordedRequest&) {
            Response response = Response::text("late");
            response.stall = std::chrono::seconds(10);
            return response;
        });
        return created;
    }();
    return *instance;
}

void BM_FetchWithTimeoutGet(benchmark::State& state)
{
    const std::string url = server().url("/page");
    for (auto _ : state) {
        murrel::Text target(url);
        benchmark::DoNotOptimize(murrel::Web_FetchWithTimeout(target));
    }
}
BENCHMARK(BM_FetchWithTimeoutGet)->Unit(benchmark::kMicrosecond)->UseRealTime();

std::size_t collect(char* data, std::size_t size, std::size_t count, void* body)
{
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// The same GET with nothing of ours around it: a new handle, hence a new connection, each time.
void BM_BareCurlGet(benchmark::State& state)
{
    const std::string url = server().url("/page");
    for (auto _ : state) {
        std::string body;
        CURL* easy = curl_easy_init();
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &collect);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
        curl_easy_perform(easy);
        curl_easy_cleanup(easy);
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(BM_BareCurlGet)->Unit(benchmark::kMicrosecond)->UseRealTime();

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A 5-second time-out against a server that stalls for 10: the share of one core the waiting
// thread used meanwhile.
void BM_WaitingThreadCpuDuringStall(benchmark::State& state)
{
    const std::string url = server().url("/stall");
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        murrel::Text target(url);
        const double cpuStart = threadCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(murrel::Web_FetchWithTimeout(target, std::nullopt, std::nullopt, std::nullopt,
                                                              std::nullopt, std::nullopt, 5));
        cpu += threadCpuSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    state.counters["waiting_cpu_percent_of_core"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_WaitingThreadCpuDuringStall)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    murrel::Web_Init();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    murrel::Web_Shutdown();
    return 0;
}
