// The document readers' line reader, opening and closing, and the number and text helpers.
#include "docfile/linereader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include <glib.h>

#include "core/common.h"
#include "core/message.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "platform/platform.h"

FILE* openforreading(const char* path, const char* trace) {
  filler_stop();
  if (deb(DEB_DOC)) pstdout("filler stopped: %s\n", trace);
  FILE* f = plat_fopen(path, "rb");
  if (!f) {
    fserror();
    runfiller(FM_ASSIST);
  }
  return f;
}

int closeread(FILE* f) {
  int bad = ferror(f);
  return fclose(f) != 0 || bad;
}

bool linereader::next() {
  if (pushed) {
    pushed = false;
    return true;
  }
  line.clear();
  bool any = false;
  for (;;) {
    if (pos == len) {
      len = fread(buf, 1, sizeof buf, f);
      pos = 0;
      if (len == 0) {
        if (!any) {
          ended = true;
          return false;
        }
        break;
      }
    }
    any = true;
    const char* start = buf + pos;
    const char* nl = (const char*)memchr(start, '\n', len - pos);
    size_t n = nl ? (size_t)(nl - start) : len - pos;
    if (line.size() < LINEKEEP) line.append(start, std::min(n, LINEKEEP - line.size()));
    pos += n;
    if (nl) {
      pos++;
      break;
    }
  }
  lineno++;
  size_t l = line.size();
  while (l > 0 && iscontrol(line[l - 1])) l--;
  line.resize(l);
  for (size_t at; (at = line.find('\0')) != std::string::npos;) line.replace(at, 1, "\xEF\xBF\xBD");
  return true;
}

void formaterror(const char* path, const linereader& lr) {
  std::string msg = std::string("File format error in ") + path + ":\n";
  msg += lr.ended ? "the file ends too early" : "line " + std::to_string(lr.lineno);
  errbox(msg.c_str());
}

size_t linereader::peek() {
  if (pos == len) {
    len = fread(buf, 1, sizeof buf, f);
    pos = 0;
  }
  return len - pos;
}

void textcut(char* dst, const std::string& src, size_t n) {
  utf8cut(dst, src.c_str(), n);
  size_t l = strlen(dst);
  while (l > 0 && iscontrol(dst[l - 1])) dst[--l] = 0;
}

void textread(char* dst, const std::string& src, size_t n) {
  if (g_utf8_validate(src.data(), (gssize)src.size(), nullptr)) {
    textcut(dst, src, n);
    return;
  }
  std::string conv(2 * src.size() + 1, 0);
  conv.resize(latin1toutf8(src.data(), src.size(), conv.data()));
  textcut(dst, conv, n);
}

bool startswith(const std::string& s, const char* prefix) { return s.compare(0, strlen(prefix), prefix) == 0; }

bool readint(const char*& p, int* v) {
  const char* q = p;
  bool neg = *q == '-';
  if (*q == '-' || *q == '+') q++;
  if (*q < '0' || *q > '9') return false;
  long long n = 0;
  for (; *q >= '0' && *q <= '9'; q++)
    if (n <= INT_MAX) n = n * 10 + (*q - '0');
  if (neg) n = -n;
  *v = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : (int)n;
  p = q;
  return true;
}
