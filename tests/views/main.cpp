// The views' test program: drawing primitives and the position markers.
#include "TestSupport.h"

int main(int argc, char *argv[]) { return testsupport::runAllTests(argc, argv, true); }
