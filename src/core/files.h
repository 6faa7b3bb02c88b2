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
// Creates "kelvarot-YYYYMMDD-HHMMSS[-N]" + suffix in folder, exclusively, so that nothing
// is ever replaced. Returns its descriptor and puts its name in *path; -1 (errno set) on failure.
int create_stamped_file(const std::string& folder, const char* suffix, std::string* path);

// Writes all of data, resuming after interruptions. False when a write fails.
bool write_all(int fd, const void* data, size_t size);

// The file a write to path creates or replaces: links followed, even ones that point at
// nothing yet, then the real folder and the last name.
std::string write_target(const std::string& path);

// A new file beside target with its mode (or a new file's), to be renamed over it: the
// descriptor, its name in *temp; -1 with a reason in *why. Until put in place or discarded,
// remove_temporaries() deletes it.
int create_temporary(const std::string& target, std::string* temp, std::string* why);
// Syncs and closes fd, then renames temp over target; on failure temp is removed.
bool put_in_place(int fd, const std::string& temp, const std::string& target, std::string* why);
// Renames a closed temp over target; on failure temp is removed.
bool move_into_place(const std::string& temp, const std::string& target, std::string* why);
void discard_temporary(const std::string& temp);
// Deletes every temporary not yet put in place. Safe inside a signal handler.
void remove_temporaries();

// Opens a device, pipe or terminal for writing without waiting for a reader: -1 with a
// reason when nobody reads it. Writes through the descriptor then block as usual.
int open_in_place(const std::string& path, std::string* why);

// Puts bytes at path through a temporary in the same folder renamed into place, so a failed
// write keeps the old file and leaves no temporary. A name that is a device or pipe is written
// straight through. False with a short reason in *why.
bool replace_file(const std::string& path, const void* data, size_t size, std::string* why);
