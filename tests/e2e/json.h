#pragma once
// A small JSON reader for the game's state dumps.
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct Json {
  enum Type { kNull, kBool, kNumber, kString, kArray, kObject } type = kNull;
  double number = 0;
  bool boolean = false;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> fields;

  const Json& operator[](const std::string& key) const {
    auto it = fields.find(key);
    if (type != kObject || it == fields.end()) throw std::runtime_error("no key " + key);
    return it->second;
  }
  const Json& operator[](size_t i) const {
    if (type != kArray || i >= items.size()) throw std::runtime_error("bad index");
    return items[i];
  }
  bool has(const std::string& key) const { return type == kObject && fields.count(key) > 0; }
  size_t size() const { return type == kArray ? items.size() : fields.size(); }
  int64_t i() const { return int64_t(number); }
  double d() const { return number; }
};

namespace json_detail {
inline void skip_ws(const std::string& s, size_t& p) {
  while (p < s.size() && (s[p] == ' ' || s[p] == '\n' || s[p] == '\t' || s[p] == '\r')) ++p;
}
inline Json parse_value(const std::string& s, size_t& p);
inline std::string parse_string(const std::string& s, size_t& p) {
  std::string out;
  ++p;  // opening quote
  while (p < s.size() && s[p] != '"') {
    if (s[p] == '\\' && p + 1 < s.size()) {
      ++p;
      if (s[p] == 'u' && p + 4 < s.size()) {
        out += char(std::strtol(s.substr(p + 1, 4).c_str(), nullptr, 16));
        p += 5;
        continue;
      }
      const char c = s[p];
      out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
      ++p;
      continue;
    }
    out += s[p++];
  }
  if (p >= s.size()) throw std::runtime_error("unterminated string");
  ++p;
  return out;
}
inline Json parse_value(const std::string& s, size_t& p) {
  skip_ws(s, p);
  if (p >= s.size()) throw std::runtime_error("unexpected end");
  Json j;
  const char c = s[p];
  if (c == '{') {
    j.type = Json::kObject;
    ++p;
    skip_ws(s, p);
    if (s[p] == '}') { ++p; return j; }
    for (;;) {
      skip_ws(s, p);
      const std::string key = parse_string(s, p);
      skip_ws(s, p);
      if (s[p++] != ':') throw std::runtime_error("expected :");
      j.fields[key] = parse_value(s, p);
      skip_ws(s, p);
      if (s[p] == ',') { ++p; continue; }
      if (s[p] == '}') { ++p; return j; }
      throw std::runtime_error("expected , or }");
    }
  }
  if (c == '[') {
    j.type = Json::kArray;
    ++p;
    skip_ws(s, p);
    if (s[p] == ']') { ++p; return j; }
    for (;;) {
      j.items.push_back(parse_value(s, p));
      skip_ws(s, p);
      if (s[p] == ',') { ++p; continue; }
      if (s[p] == ']') { ++p; return j; }
      throw std::runtime_error("expected , or ]");
    }
  }
  if (c == '"') {
    j.type = Json::kString;
    j.text = parse_string(s, p);
    return j;
  }
  if (s.compare(p, 4, "true") == 0) { j.type = Json::kBool; j.boolean = true; p += 4; return j; }
  if (s.compare(p, 5, "false") == 0) { j.type = Json::kBool; p += 5; return j; }
  if (s.compare(p, 4, "null") == 0) { p += 4; return j; }
  char* end = nullptr;
  j.type = Json::kNumber;
  j.number = std::strtod(s.c_str() + p, &end);
  if (end == s.c_str() + p) throw std::runtime_error("bad value");
  p = size_t(end - s.c_str());
  return j;
}
}  // namespace json_detail

inline Json parse_json(const std::string& s) {
  size_t p = 0;
  Json j = json_detail::parse_value(s, p);
  json_detail::skip_ws(s, p);
  if (p != s.size()) throw std::runtime_error("trailing text");
  return j;
}
