// Feeding modal loops from a test: the steps a user takes while a modal form waits for input.
#pragma once

#include <functional>
#include <vector>

namespace testing_support {

// Runs Open, which shows a form modally, and feeds the modal loops it starts: each time a loop
// waits for input, the next of Steps runs (a step may open another modal form, whose loop takes
// the following steps). Once the steps are used up, a waiting loop gets its active form closed.
// Returns how many steps ran.
int RunModalSteps(const std::function<void()>& Open, const std::vector<std::function<void()>>& Steps);

} // namespace testing_support
