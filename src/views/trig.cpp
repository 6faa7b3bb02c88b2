#include "views/trig.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/geometry.h"

namespace {

// The trig tables are built at every start, and the C library's sine and
// cosine would cost most of it. Within a run of entries the angle grows by a
// fixed step, so each entry's sine and cosine follow from the previous ones by
// one rotation, anchored on the library at the start of every run. That result
// is kept only where it rounds to a float that no error of the rotation could
// change; the rest go to the library. Either way every entry equals
// float(std::sin(radians)) of the entry's angle.
constexpr int32_t kRunLength = 1024;          // entries between library anchors
constexpr int32_t kFirmMarginExponent = -36;  // 1.5e-11, far above the drift of a run (<1e-12)

// The angle of entry i: its float counter, in double precision.
double entry_radians(int32_t i) { return double(float(i)) * kDegreeFactor / 1000.0; }

// True when every value within 2^kFirmMarginExponent of v rounds to the same
// float as v. A double rounds to float by its low 29 mantissa bits, so the
// test is their distance from the rounding midpoint, in units of v's last bit.
// Values near zero, where floats are dense, always go to the library.
bool rounds_firmly(double v) {
  const uint64_t bits = std::bit_cast<uint64_t>(std::fabs(v));
  const int32_t exponent = int32_t(bits >> 52) - 1023;  // |v| in [2^e, 2^(e+1))
  if (exponent < -10) return false;
  const int64_t from_midpoint = std::abs(int64_t(bits & 0x1FFFFFFF) - 0x10000000);
  return from_midpoint > (int64_t(1) << (52 - exponent + kFirmMarginExponent));
}

}  // namespace

void build_trig_tables(TrigTables& t) {
  if (t.sine || t.cosine) return;
  // No fill: every entry is written below.
  t.sine.reset(new float[kTrigEntries]);
  t.cosine.reset(new float[kTrigEntries]);
  float* sine = t.sine.get();
  float* cosine = t.cosine.get();

  // The counter runs over 0 .. 3,599,999 as the float counter would: a float
  // holds every whole number up to 2^24 exactly.
  const double step = kDegreeFactor / 1000.0;  // radians from one entry to the next
  const double step_sin = std::sin(step), step_cos = std::cos(step);
  const float unsettled = std::numeric_limits<float>::quiet_NaN();
  for (int32_t run = 0; run < kTrigEntries; run += kRunLength) {
    const int32_t end = std::min(run + kRunLength, kTrigEntries);
    double s = std::sin(entry_radians(run)), c = std::cos(entry_radians(run));
    for (int32_t i = run; i < end; ++i) {
      sine[i] = rounds_firmly(s) ? float(s) : unsettled;
      cosine[i] = rounds_firmly(c) ? float(c) : unsettled;
      const double next_s = s * step_cos + c * step_sin;
      c = c * step_cos - s * step_sin;
      s = next_s;
    }
  }
  for (int32_t i = 0; i < kTrigEntries; ++i) {
    if (std::isnan(sine[i])) sine[i] = float(std::sin(entry_radians(i)));
    if (std::isnan(cosine[i])) cosine[i] = float(std::cos(entry_radians(i)));
  }
}

void release_trig_tables(TrigTables& t) {
  t.sine.reset();
  t.cosine.reset();
}
