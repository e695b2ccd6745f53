// The synthesis test program: quartic, fitting, recovery of known mechanisms, branch, files, CLI.
#include "TestSupport.h"

int main(int argc, char *argv[]) { return testsupport::runAllTests(argc, argv, true); }
