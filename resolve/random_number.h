// The program's random number generator: seeded from the clock when the window is created, drawn
// from by the captcha step.
#pragma once

namespace murrel {

void Random_Seed();
// A whole number from `low` to `high`, both included.
[[nodiscard]] int Random_Between(int low, int high);

}  // namespace murrel
