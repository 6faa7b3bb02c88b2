// Weak stand-ins for subsystems that have not landed yet; each real
// definition replaces its stand-in at link time. This file goes once all have landed.
#include <cstdarg>
#include <cstdio>

#include "console/commandline.h"
#include "render/line.h"
#include "render/text.h"
#include "units/orders.h"
#include "units/pathsearch.h"
#include "views/blockview.h"
#include "views/minimap.h"
#include "views/overworld.h"
#include "views/screensaver.h"
#include "world/bitmap.h"
#include "world/catalogue.h"
#include "world/items.h"
#include "world/mapfile.h"
#include "world/population.h"
#include "shell/runstate.h"

#define WEAK __attribute__((weak))

WEAK void setup_centred_search(PathSearch&, const World&, int32_t, int32_t, int32_t, int32_t,
                               int32_t, int32_t) {}
WEAK void setup_search_at_origin(PathSearch&, const World&, int32_t, int32_t, int32_t, int32_t,
                                 int32_t, int32_t, int32_t, int32_t) {}
WEAK void run_search(PathSearch&, const World&, int32_t) {}
WEAK void store_unit_path(PathSearch&, int32_t) {}
WEAK int32_t next_path_step(PathSearch&, const World&, UnitTable&, int32_t, int32_t, int32_t,
                            int32_t, int32_t) {
  return 0;
}
WEAK int32_t coarse_route_step(PathSearch&, const World&, UnitTable&, int32_t, int32_t, int32_t,
                               int32_t, int32_t, int32_t) {
  return 0;
}
