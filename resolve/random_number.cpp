// The program's random number generator.
#include "resolve/random_number.h"

#include <chrono>
#include <random>
#include <utility>

namespace murrel {
namespace {

std::mt19937& generator()
{
    static std::mt19937 engine;
    return engine;
}

}  // namespace

void Random_Seed()
{
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    generator().seed(static_cast<std::mt19937::result_type>(ticks));
}

int Random_Between(int low, int high)
{
    if (low > high) {
        std::swap(low, high);
    }
    return std::uniform_int_distribution<int>(low, high)(generator());
}

}  // namespace murrel
