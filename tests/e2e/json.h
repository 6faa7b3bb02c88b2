#pragma once
// A small, strict reader for the game's state dumps: objects, arrays, numbers and
// strings (the writer escapes with \", \\ and \u only). Anything else throws.
#include <cctype>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

struct Json {
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> fields;

  const Json& operator[](const std::string& key) const {
    const auto it = fields.find(key);
    if (it == fields.end()) throw std::runtime_error("no key " + key);
    return it->second;
  }
  const Json& operator[](size_t i) const { return items.at(i); }
  bool has(const std::string& key) const { return fields.count(key) > 0; }
  size_t size() const { return items.size() + fields.size(); }
  int64_t i() const { return int64_t(number); }
  double d() const { return number; }
};

inline Json parse_json_at(const std::string& s, size_t& p) {
  auto fail = [&](const char* why) {
    throw std::runtime_error(std::string("JSON: ") + why + " at byte " + std::to_string(p));
  };
  auto next = [&] {  // the next character that is not white space
    while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
    if (p >= s.size()) fail("early end");
    return s[p];
  };
  auto take = [&](char c) {
    if (next() != c) fail("unexpected character");
    ++p;
  };
  auto string = [&] {
    std::string out;
    for (take('"'); s.at(p) != '"'; ++p) {
      if (s[p] != '\\') {
        out += s[p];
      } else if (s.at(++p) != 'u') {
        out += s[p];
      } else {
        out += char(std::stoi(s.substr(p + 1, 4), nullptr, 16));
        p += 4;
      }
    }
    ++p;
    return out;
  };
  Json j;
  const char c = next();
  if (c == '{' || c == '[') {
    ++p;
    for (bool first = true; next() != (c == '{' ? '}' : ']'); first = false) {
      if (!first) take(',');
      if (c == '[') {
        j.items.push_back(parse_json_at(s, p));
        continue;
      }
      const std::string key = string();
      take(':');
      j.fields[key] = parse_json_at(s, p);
    }
    ++p;
  } else if (c == '"') {
    j.text = string();
  } else {
    char* end = nullptr;
    j.number = std::strtod(s.c_str() + p, &end);
    if (end == s.c_str() + p) fail("bad value");
    p = size_t(end - s.c_str());
  }
  return j;
}

inline Json parse_json(const std::string& s) {
  size_t p = 0;
  Json j = parse_json_at(s, p);
  while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
  if (p != s.size()) throw std::runtime_error("JSON: text after the value");
  return j;
}
