#pragma once
// Reading inputs that may not be plain files, and replacing outputs without losing the old one.
#include <cstddef>
#include <cstdint>
#include <string>

// Opens a regular file read-only without ever blocking (a FIFO under the name would otherwise
// stall until something writes to it). Returns the descriptor, or -1 with *why empty when
// nothing is there and a short reason ("is a directory", "Permission denied", ...) when
// something is there that cannot be read.
int open_regular_file(const std::string& path, std::string* why);

// Puts bytes at path through a temporary in the same folder renamed into place, so a failed
// write keeps the old file and leaves no temporary. A name that is a device or pipe is written
// straight through. False with a short reason in *why.
bool replace_file(const std::string& path, const void* data, size_t size, std::string* why);
