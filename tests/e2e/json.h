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
  int64_t i() const { return int64_t(number); }
};

inline Json parse_json(const std::string& s, size_t& p, bool whole = false) {
  auto fail = [&](const char* why) { throw std::runtime_error(why + std::to_string(p)); };
  auto next = [&] {  // the next character that is not white space
    while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
    return p < s.size() ? s[p] : '\0';
  };
  auto take = [&](char c) { next() == c ? void(++p) : fail("JSON: unexpected character at "); };
  auto string = [&] {
    std::string out;
    for (take('"'); s.at(p) != '"'; ++p) {
      if (s[p] == '\\' && s.at(++p) == 'u') {
        out += char(std::stoi(s.substr(p + 1, 4), nullptr, 16));
        p += 4;
      } else {
        out += s[p];
      }
    }
    ++p;
    return out;
  };
  Json j;
  const char c = next();
  if (c == '{' || c == '[') {
    for (++p; next() != (c == '{' ? '}' : ']');) {
      if (!j.items.empty() || !j.fields.empty()) take(',');
      if (c == '[') {
        j.items.push_back(parse_json(s, p));
        continue;
      }
      const std::string key = string();
      take(':');
      j.fields[key] = parse_json(s, p);
    }
    ++p;
  } else if (c == '"') {
    j.text = string();
  } else {
    char* end = nullptr;
    j.number = std::strtod(s.c_str() + p, &end);
    if (end == s.c_str() + p) fail("JSON: bad value at ");
    p = size_t(end - s.c_str());
  }
  if (whole && next() != '\0') fail("JSON: text after the value at ");
  return j;
}
