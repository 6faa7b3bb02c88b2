#pragma once
// The screensaver's sine and cosine tables, by thousandths of a degree.
#include <cstdint>
#include <memory>

constexpr int32_t kTrigEntries = 3600000;  // thousandths of a degree

struct TrigTables {
  std::unique_ptr<float[]> sine, cosine;  // kTrigEntries each
};

// Entry i holds the sine and cosine of i / 1000 degrees, converted with
// kDegreeFactor; a second call leaves built tables alone.
void build_trig_tables(TrigTables& t);
void release_trig_tables(TrigTables& t);
