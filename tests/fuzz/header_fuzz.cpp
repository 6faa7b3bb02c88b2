// Feeds arbitrary text to the recording header reader: it never fails and names no
// length below zero.
#include <string>

#include "fuzz_check.h"
#include "shell/record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const RecordingHeader h =
      read_recording_header(std::string(reinterpret_cast<const char*>(data), size));
  check(h.passes >= 0, "a negative length");
  check(h.has_seed || h.seed == 0, "a seed that was not read");
  return 0;
}
