#include "units/units.h"

void create_unit_table(UnitTable& t) { t.records = std::make_unique<UnitRecord[]>(kUnitTableSize); }

void release_unit_table(UnitTable& t) { t.records.reset(); }
