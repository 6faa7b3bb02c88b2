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
  int64_t i() const { return int64_t(number); }
};

inline Json parse_json(const std::string& s, size_t& p) {
  auto next = [&] {  // the next character that is not white space
    while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
    if (p >= s.size()) throw std::runtime_error("JSON: early end");
    return s[p];
  };
  auto take = [&](char c) {
    if (next() != c) throw std::runtime_error("JSON: no " + std::string(1, c) + " at " +
                                              std::to_string(p));
    ++p;
  };
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
    ++p;
    for (bool first = true; next() != (c == '{' ? '}' : ']'); first = false) {
      if (!first) take(',');
      if (c == '[') {
        j.items.push_back(parse_json(s, p));
      } else {
        const std::string key = string();
        take(':');
        j.fields[key] = parse_json(s, p);
      }
    }
    ++p;
  } else if (c == '"') {
    j.text = string();
  } else {
    char* end = nullptr;
    j.number = std::strtod(s.c_str() + p, &end);
    if (end == s.c_str() + p) throw std::runtime_error("JSON: bad value at " + std::to_string(p));
    p = size_t(end - s.c_str());
  }
  return j;
}

inline Json parse_json(const std::string& s) {
  size_t p = 0;
  Json j = parse_json(s, p);
  while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
  if (p != s.size()) throw std::runtime_error("JSON: text after the value");
  return j;
}
