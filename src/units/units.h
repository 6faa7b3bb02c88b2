#pragma once
// The unit table: fixed records addressed by index, changed in place.
#include <cstdint>
#include <memory>

constexpr int32_t kUnitTableSize = 3000;
constexpr int32_t kPlanningRecord = 1000;  // scratch record of coarse route planning
constexpr int32_t kFirstPlacedUnit = 1;
constexpr int32_t kLastPlacedUnit = 255;
constexpr uint16_t kPlacedUnitSprite = 849;  // unit_mage

// UnitRecord::order_state: where a unit is in carrying out its order.
enum OrderState : uint16_t {
  kNewOrder = 0,    // ordered; plans its first leg at the next tick
  kWalkingLeg = 1,  // walking toward its waypoint
  kPlanAgain = 2,   // the leg is over or blocked: plans again at the next tick
  kArrived = 3,     // on its target; free for a new wander order
};

struct UnitRecord {
  uint8_t in_use = 0;     // 1 = live unit; every test is for exactly 1
  uint16_t x = 0;         // cells (planning record: blocks)
  uint16_t y = 0;         // cells
  uint16_t level = 0;     // world level (planning record: coarse level, level + 10)
  uint16_t target_x = 0;  // order target, cells
  uint16_t target_y = 0;
  uint16_t waypoint_x = 0;  // end cell of the current leg
  uint16_t waypoint_y = 0;
  uint16_t next_x = 0;  // cell last handed out by the path search
  uint16_t next_y = 0;
  uint16_t order_flag = 0;           // 1 = carrying out an order
  uint16_t order_state = kNewOrder;  // an OrderState
  float fx = 0, fy = 0, fz = 0;      // position inside the cell, 0.5 = centre
  uint16_t sprite = 0;               // bitmap slot drawn in the overworld view
  uint16_t kind = 0;                 // 1 for placed units; the overworld draws kinds 1, 3, 9
  float bar_max = 0;                 // full-length reference of the bar
  float bar_value = 0;
  uint8_t inactive = 0;   // nonzero: skipped by the tick and the overworld view
  uint8_t bar_state = 0;  // the green bar shows only while 0
  float walk_phase = 0;   // block view head bob phase
};

// Created zero-filled during start-up loading; records are never freed.
struct UnitTable {
  std::unique_ptr<UnitRecord[]> records;  // kUnitTableSize
};

void create_unit_table(UnitTable& t);
void release_unit_table(UnitTable& t);
inline UnitRecord& unit(UnitTable& t, int32_t i) { return t.records[i]; }
inline const UnitRecord& unit(const UnitTable& t, int32_t i) { return t.records[i]; }
