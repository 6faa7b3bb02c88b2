#pragma once
// The asset catalogue: which picture file goes into which bitmap slot.
#include <cstdint>
#include <string>

struct BitmapStore;

struct CatalogueEntry {
  const char* group;   // loader group, in loading order
  int32_t slot;        // bitmap slot
  const char* folder;  // e.g. "bmp_land"
  const char* file;    // file name without ".bmp"
};

extern const CatalogueEntry kCatalogue[];
extern const int32_t kCatalogueSize;  // 217

struct CatalogueLoad {
  int32_t loaded = 0;  // entries whose load succeeded
  int32_t failed = 0;
  std::string first_failed;  // a few failed paths, quoted, comma-separated
  // Of the failed, those present but not readable (a folder, no permission, ...)
  int32_t unreadable = 0;
  std::string first_unreadable;  // "'path': why"
  // Of the failed, those refused for want of room: the pixel budget, or memory
  int32_t over_budget = 0;
  std::string first_over_budget;  // "'path'"
};

// The entry that loads the slot; nullptr when none does.
const CatalogueEntry* catalogue_entry(int32_t slot);
// "<data>/<folder>/<file>.bmp"
std::string catalogue_path(const std::string& data_dir, const CatalogueEntry& e);
// Runs the eight group loaders in order.
CatalogueLoad load_catalogue(BitmapStore& s, const std::string& data_dir);
