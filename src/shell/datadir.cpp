#include "shell/datadir.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <filesystem>

#include "core/quote.h"

#ifndef KV_DATA_FROM_BIN
#define KV_DATA_FROM_BIN "../share/kelvarot"
#endif

std::vector<std::string> data_dir_candidates(const std::string& exe_dir,
                                             const std::string& data_from_bin) {
  std::vector<std::string> out;
  const std::filesystem::path base = exe_dir.empty() ? "." : exe_dir;
  for (const char* rel :
       {".", data_from_bin.c_str(), "../share/kelvarot", "../share/games/kelvarot"}) {
    std::filesystem::path p = std::filesystem::path(rel).is_absolute() ? rel : base / rel;
    std::string s = p.lexically_normal().string();
    if (s.size() > 1 && s.back() == '/') s.pop_back();
    if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
  }
  return out;
}

std::string find_data_dir(const std::vector<std::string>& candidates, std::string* looked_in) {
  std::error_code ec;
  for (const std::string& c : candidates)
    if (std::filesystem::is_directory(c + "/bmp_land", ec) ||
        std::filesystem::is_directory(c + "/map", ec))
      return c;
  looked_in->clear();
  for (const std::string& c : candidates)
    *looked_in += (looked_in->empty() ? "" : ", ") + quote_name(c);
  return candidates.empty() ? "." : candidates.front();
}

std::string default_data_dir(std::string* looked_in) {
  std::string base = ".";
  if (char* b = SDL_GetBasePath()) {
    base = b;
    SDL_free(b);
  }
  return find_data_dir(data_dir_candidates(base, KV_DATA_FROM_BIN), looked_in);
}
