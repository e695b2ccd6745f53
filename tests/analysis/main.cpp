// The mechanism analysis test program: loop closure, circuits, classification, sliders, coupler
// curves, degenerate pairs, output files and drawing.
#include "TestSupport.h"

int main(int argc, char *argv[]) { return testsupport::runAllTests(argc, argv, true); }
