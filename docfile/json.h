// A small, strict JSON reader for the files Zyn imports. It takes exactly what RFC 8259 allows
// (UTF-8 only, no comments, no trailing commas, no duplicate keys) and nothing else, and bounds
// what a hostile file can make it do: nesting depth, string length and the number of values.
#pragma once

#include <string>
#include <vector>

struct jmember;

struct jvalue {
  enum kind { NUL, BOOL, NUM, STR, ARR, OBJ } k = NUL;
  bool b = false;
  double num = 0;
  std::string s;
  std::vector<jvalue> a;                              // ARR
  std::vector<jmember> o;  // OBJ, in the file's order

  // The member of an object with this key; null when there is none or this is no object.
  const jvalue* get(const char* key) const;
  // A number that is an integer from lo to hi.
  bool isint(long lo, long hi) const;
};

struct jmember {
  std::string key;
  jvalue value;
};

constexpr int JSONMAXDEPTH = 64;
constexpr size_t JSONMAXSTRING = 1 << 20;   // bytes of one string
constexpr size_t JSONMAXVALUES = 1 << 20;   // values in one document

// Parse the whole text as one JSON value. False, with the reason and where it arose in *why,
// when the text is not JSON or passes a limit.
bool jsonparse(const std::string& text, jvalue* out, std::string* why);
