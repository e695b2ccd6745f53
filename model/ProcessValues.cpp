// Storage of the process-wide values and the one exit path for broken invariants.
#include "ProcessValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

const double PI = 4.0 * std::atan(1.0);

bool showDimensions = false;
double workspaceWidth = 20.0;
double workspaceHeight = 10.0;
char unitLetter = 'm';
int significantDigits = 4;
QString backgroundImagePath;
int screenshotCount = 0;

void abortOnInvariant(const char *message) {
    std::fputs(message, stdout);
    std::fflush(stdout);
    std::exit(1);
}
