// Values the whole process shares: settings the dialogs change and the views and engine read.
#pragma once

#include <QString>

// pi computed once at start-up as 4*atan(1).
extern const double PI;
// The literal used where angles typed by the user are turned into radians.
constexpr double INPUT_DEG_TO_RAD = 3.141592653 / 180.0;

extern bool showDimensions;
extern double workspaceWidth;
extern double workspaceHeight;
extern char unitLetter;          // 'm' or 'i'
extern int significantDigits;    // of the Cartesian view's labels
extern QString backgroundImagePath;
extern int screenshotCount;

// Ends the process after a broken invariant of a value type: a programming error, never user input.
[[noreturn]] void abortOnInvariant(const char *message);
