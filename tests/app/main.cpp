// The application shell's test program: the main window frame and its dialogs.
#include "TestSupport.h"

int main(int argc, char *argv[]) { return testsupport::runAllTests(argc, argv, true); }
