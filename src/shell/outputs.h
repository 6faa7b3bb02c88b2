#pragma once
// What the options name on disk, checked before the session: the script read, the files written.
#include <cstddef>
#include <string>

struct Options;

// The outputs' folders exist and take files, no output is a folder, and no two of the
// script and the outputs are one file. False with one line in *error.
bool check_option_files(const Options& o, std::string* error);
