// The strict JSON reader: recursive descent with a depth limit, UTF-8 checked as it is read,
// \u escapes with their surrogate pairs, and numbers as RFC 8259 spells them.
#include "docfile/json.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <set>

const jvalue* jvalue::get(const char* key) const {
  if (k != OBJ) return nullptr;
  for (const auto& [name, v] : o)
    if (name == key) return &v;
  return nullptr;
}

bool jvalue::isint(long lo, long hi) const { return k == NUM && num == (double)(long)num && num >= lo && num <= hi; }

namespace {

struct parser {
  const char* p;
  const char* end;
  const char* start;
  size_t values = 0;
  std::string why;

  bool fail(const char* reason) {
    if (why.empty()) why = std::string(reason) + " at byte " + std::to_string(p - start);
    return false;
  }

  void space() {
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) p++;
  }

  bool literal(const char* word) {
    size_t n = strlen(word);
    if ((size_t)(end - p) < n || memcmp(p, word, n)) return fail("unknown word");
    p += n;
    return true;
  }

  int hex4() {
    if (end - p < 4) return -1;
    int v = 0;
    for (int i = 0; i < 4; i++) {
      int c = p[i], d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return -1;
      v = v * 16 + d;
    }
    p += 4;
    return v;
  }

  bool escape(std::string& s) {
    char c = *p++;
    switch (c) {
      case '"': s += '"'; return true;
      case '\\': s += '\\'; return true;
      case '/': s += '/'; return true;
      case 'b': s += '\b'; return true;
      case 'f': s += '\f'; return true;
      case 'n': s += '\n'; return true;
      case 'r': s += '\r'; return true;
      case 't': s += '\t'; return true;
      case 'u': break;
      default: return fail("bad escape in a string");
    }
    int u = hex4();
    if (u < 0) return fail("bad \\u escape");
    if (u >= 0xdc00 && u <= 0xdfff) return fail("lone surrogate in a string");
    if (u >= 0xd800 && u <= 0xdbff) {
      if (end - p < 2 || p[0] != '\\' || p[1] != 'u') return fail("lone surrogate in a string");
      p += 2;
      int lo = hex4();
      if (lo < 0xdc00 || lo > 0xdfff) return fail("lone surrogate in a string");
      u = 0x10000 + ((u - 0xd800) << 10) + (lo - 0xdc00);
    }
    // A NUL would end the text early wherever Zyn keeps it.
    if (u == 0) return fail("NUL in a string");
    char b[8];
    s.append(b, g_unichar_to_utf8((gunichar)u, b));
    return true;
  }

  bool string(std::string& s) {
    p++;  // the opening quote
    for (;;) {
      if (p >= end) return fail("unterminated string");
      if (s.size() > JSONMAXSTRING) return fail("string too long");
      unsigned char c = (unsigned char)*p;
      if (c == '"') {
        p++;
        return true;
      }
      if (c == '\\') {
        p++;
        if (p >= end) return fail("unterminated string");
        if (!escape(s)) return false;
        continue;
      }
      if (c < 0x20) return fail(c ? "control character in a string" : "NUL in a string");
      if (c < 0x80) {
        s += (char)c;
        p++;
        continue;
      }
      const char* q = p;
      gunichar u = g_utf8_get_char_validated(q, end - q);
      if (u == (gunichar)-1 || u == (gunichar)-2) return fail("invalid UTF-8");
      const char* next = g_utf8_next_char(q);
      s.append(q, next - q);
      p = next;
    }
  }

  bool number(double& v) {
    const char* q = p;
    if (q < end && *q == '-') q++;
    if (q >= end || *q < '0' || *q > '9') return fail("bad number");
    if (*q == '0') q++;
    else while (q < end && *q >= '0' && *q <= '9') q++;
    if (q < end && *q == '.') {
      q++;
      if (q >= end || *q < '0' || *q > '9') return fail("bad number");
      while (q < end && *q >= '0' && *q <= '9') q++;
    }
    if (q < end && (*q == 'e' || *q == 'E')) {
      q++;
      if (q < end && (*q == '+' || *q == '-')) q++;
      if (q >= end || *q < '0' || *q > '9') return fail("bad number");
      while (q < end && *q >= '0' && *q <= '9') q++;
    }
    if (q - p > 64) return fail("number too long");
    std::string t(p, q);
    v = strtod(t.c_str(), nullptr);
    p = q;
    return true;
  }

  bool value(jvalue& v, int depth) {
    if (++values > JSONMAXVALUES) return fail("too many values");
    space();
    if (p >= end) return fail("unexpected end");
    switch (*p) {
      case '{': return object(v, depth + 1);
      case '[': return array(v, depth + 1);
      case '"': v.k = jvalue::STR; return string(v.s);
      case 't': v.k = jvalue::BOOL, v.b = true; return literal("true");
      case 'f': v.k = jvalue::BOOL, v.b = false; return literal("false");
      case 'n': v.k = jvalue::NUL; return literal("null");
      default: v.k = jvalue::NUM; return number(v.num);
    }
  }

  bool array(jvalue& v, int depth) {
    if (depth > JSONMAXDEPTH) return fail("nesting too deep");
    v.k = jvalue::ARR;
    p++;
    space();
    if (p < end && *p == ']') {
      p++;
      return true;
    }
    for (;;) {
      v.a.emplace_back();
      if (!value(v.a.back(), depth)) return false;
      space();
      if (p < end && *p == ',') {
        p++;
        continue;
      }
      if (p < end && *p == ']') {
        p++;
        return true;
      }
      return fail("expected , or ] in an array");
    }
  }

  bool object(jvalue& v, int depth) {
    if (depth > JSONMAXDEPTH) return fail("nesting too deep");
    v.k = jvalue::OBJ;
    p++;
    space();
    if (p < end && *p == '}') {
      p++;
      return true;
    }
    std::set<std::string> keys;
    for (;;) {
      space();
      if (p >= end || *p != '"') return fail("expected a key");
      std::string key;
      if (!string(key)) return false;
      if (!keys.insert(key).second) return fail(("duplicate key \"" + key.substr(0, 40) + "\"").c_str());
      space();
      if (p >= end || *p != ':') return fail("expected : after a key");
      p++;
      v.o.push_back({std::move(key), jvalue()});
      if (!value(v.o.back().value, depth)) return false;
      space();
      if (p < end && *p == ',') {
        p++;
        continue;
      }
      if (p < end && *p == '}') {
        p++;
        return true;
      }
      return fail("expected , or } in an object");
    }
  }
};

}  // namespace

bool jsonparse(const std::string& text, jvalue* out, std::string* why) {
  parser ps{text.data(), text.data() + text.size(), text.data(), 0, ""};
  *out = jvalue();
  if (ps.value(*out, 0)) {
    ps.space();
    if (ps.p == ps.end) return true;
    ps.fail("text after the end of the value");
  }
  *why = ps.why;
  return false;
}
