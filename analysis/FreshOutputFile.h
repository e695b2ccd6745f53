// Opening an output file for a complete rewrite.
#pragma once

#include <fstream>
#include <string>

// Opens `path` for writing with empty contents, as truncation would. The old file is removed
// first: on ext4 truncating a file that holds data forces a synchronous flush at close (about
// 5 ms here), and these files are rewritten on every drag of a pivot.
bool openFreshOutput(std::ofstream &out, const std::string &path);
