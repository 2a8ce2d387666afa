// UTF-8 decoding and encoding of code points, forgiving of malformed text: decoding drops
// what it cannot print rather than failing.
#include <glib.h>

#include "alphabet/alphabet.h"

int utf8tocps(int* out, const char* text, int max) {
  if (max <= 0) return 0;
  // Room is kept for the terminator, except that a one-place buffer takes one code point.
  int lim = max == 1 ? 1 : max - 1;
  int n = 0;
  const unsigned char* p = (const unsigned char*)(text ? text : "");
  while (n < lim && *p) {
    unsigned c = *p++;
    if (c >= 0x20 && c <= 0x7e) {
      out[n++] = (int)c;
      continue;
    }
    if (c < 0xc0 || c >= 0xfe) continue;
    int k = c < 0xe0 ? 1 : c < 0xf0 ? 2 : c < 0xf8 ? 3 : c < 0xfc ? 4 : 5;  // continuation bytes
    unsigned u = c & (0x3fu >> k);
    for (; k > 0; k--) {
      if (!*p) goto done;
      u = u << 6 | (*p++ & 0x3fu);
    }
    if (g_unichar_isprint(u)) out[n++] = (int)u;
  }
done:
  if (n < max) out[n] = 0;
  return n;
}

int cptoutf8(char* out, int u) {
  if (u < 0 || !g_unichar_isprint((gunichar)u)) {
    out[0] = 0;
    return 0;
  }
  unsigned v = (unsigned)u;
  if (v < 0x80) {
    out[0] = (char)v;
    out[1] = 0;
    return 1;
  }
  // An n-byte sequence carries 5n+1 bits of payload.
  int n = 2;
  while (v >> (5 * n + 1)) n++;
  out[0] = (char)(((0xff << (8 - n)) & 0xff) | (v >> (6 * (n - 1))));
  for (int i = 1; i < n; i++) out[i] = (char)(0x80 | ((v >> (6 * (n - 1 - i))) & 0x3f));
  out[n] = 0;
  return n;
}

int utf8charlen(const char* p) {
  unsigned c = (unsigned char)*p;
  if (c == 0) return 0;
  if (c < 0x80) return 1;
  if (c < 0xc0 || c >= 0xfe) return -1;
  int n = c < 0xe0 ? 2 : c < 0xf0 ? 3 : c < 0xf8 ? 4 : c < 0xfc ? 5 : 6;
  // A terminator fails the test, so the scan never runs past the end of the text.
  for (int i = 1; i < n; i++)
    if (((unsigned char)p[i] & 0xc0) != 0x80) return -1;
  return n;
}
