// The process's one uniform generator for random picks (generated positions). Tests seed it to
// make picks repeatable; the main window may reseed it from the clock.
#pragma once

#include <cstdint>
#include <random>

std::mt19937 &randomPicks();
void seedRandomPicks(std::uint32_t seed);
