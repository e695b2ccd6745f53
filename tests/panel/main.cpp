// The synthesis panel's test program: dyad boxes, lifetimes, link ratio, readouts, and the road
// of one synthesis through the panel.
#include "TestSupport.h"

int main(int argc, char *argv[]) { return testsupport::runAllTests(argc, argv, true); }
