// Storage of the process-wide pick generator.
#include "RandomPicks.h"

std::mt19937 &randomPicks() {
    static std::mt19937 generator;
    return generator;
}

void seedRandomPicks(std::uint32_t seed) { randomPicks().seed(seed); }
