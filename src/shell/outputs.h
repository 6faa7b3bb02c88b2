#pragma once
// What the options name on disk, checked before the session: the script read, the files written.
#include <cstddef>
#include <string>

struct Options;

// The outputs' folders exist and take files, no output is a folder, and no two of the
// script and the outputs are one file. False with one line in *error.
bool check_option_files(const Options& o, std::string* error);

constexpr size_t kMaxScriptBytes = size_t(16) << 20;

// A script from a regular file or a pipe (`--script <(...)`), at most kMaxScriptBytes.
// False with one line in *error.
bool read_script_file(const std::string& path, std::string* text, std::string* error);
