// The kinematic model's test program: points and motion, links, joints and dyads.
#include "TestSupport.h"

int main(int argc, char *argv[]) { return testsupport::runAllTests(argc, argv, true); }
