// Any text as a recording's header: read or refused, never a length below zero.
#include "fuzz_check.h"
#include "shell/record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const RecordingHeader h = read_recording_header({reinterpret_cast<const char*>(data), size});
  check(h.passes >= 0 && (h.has_seed || h.seed == 0), "a length below zero or an unread seed");
  return 0;
}
