// Process-wide settings, the lowest-bit table and the formatted-printing wrappers.
#include "core/common.h"

#include <cstring>

unsigned int debug = 0;
unsigned int rseed = 0;
unsigned int filler_seed = 0;
int usegui = 1;
char filename[SLEN] = "";
unsigned char bitidx16[65536];

void initbitidx16() {
  bitidx16[0] = 0;
  bitidx16[1] = 0;
  for (int v = 2; v < 65536; v += 2) {
    bitidx16[v] = bitidx16[v / 2] + 1;
    bitidx16[v + 1] = 0;
  }
}

int pstdout(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int r = vfprintf(stdout, fmt, ap);
  va_end(ap);
  return r;
}

int pstream(FILE* f, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int r = vfprintf(f, fmt, ap);
  va_end(ap);
  return r;
}

int pbuf(char* buf, size_t n, const char* fmt, ...) {
  if (n == 0) return 0;
  va_list ap;
  va_start(ap, fmt);
  int r = vsnprintf(buf, n, fmt, ap);
  va_end(ap);
  return r;
}

void strlcpy0(char* dst, const char* src, size_t n) {
  if (n == 0) return;
  size_t l = strnlen(src, n - 1);
  memcpy(dst, src, l);
  dst[l] = 0;
}

void utf8cut(char* dst, const char* src, size_t n) {
  if (n == 0) return;
  size_t l = strnlen(src, n);
  if (l == n) {
    l = n - 1;
    while (l > 0 && ((unsigned char)src[l] & 0xc0) == 0x80) l--;
  }
  memcpy(dst, src, l);
  dst[l] = 0;
}
