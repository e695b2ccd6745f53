// Output files rewritten from scratch without the cost of truncating them in place.
#include "FreshOutputFile.h"

#include <cstdio>

bool openFreshOutput(std::ofstream &out, const std::string &path) {
    std::remove(path.c_str());   // a missing file is fine; a protected one fails the open below
    out.open(path, std::ios::out | std::ios::trunc);
    return static_cast<bool>(out);
}
