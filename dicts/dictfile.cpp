// Reading one dictionary slot: the file's format and text encoding, the plain list format with
// its optional scores, the slot's filters, the one-word case, and the default dictionary.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "core/message.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "grid/zyn.h"
#include "platform/platform.h"

latin1conv::latin1conv() : cd(g_iconv_open("UTF-8", "ISO-8859-1")) {}

latin1conv::~latin1conv() {
  if (cd != (GIConv)-1) g_iconv_close(cd);
}

int latin1conv::conv(const char* in, size_t n, char* out, size_t outsz, const char** err) {
  if (cd == (GIConv)-1) {
    *err = "no converter from ISO-8859-1";
    return -1;
  }
  gchar* ip = (gchar*)in;
  gchar* op = out;
  gsize il = n, ol = outsz - 1;
  if (g_iconv(cd, &ip, &il, &op, &ol) == (gsize)-1) {
    *err = g_strerror(errno);
    return -1;
  }
  *op = 0;
  return (int)(op - out);
}

namespace {
constexpr const char* DEFFILTER = "^.*+(?<!'s)";  // refuses citation forms ending in 's
constexpr const char* SYSWORDS = "/usr/share/dict/words";

void report(int quiet, int d, const char* text) {
  if (quiet) return;
  char buf[400];
  pbuf(buf, sizeof buf, "Dictionary %d\n%s", d + 1, text);
  errbox(buf);
}

struct codefree {
  void operator()(pcre2_code* re) const { pcre2_code_free(re); }
};
using filter = std::unique_ptr<pcre2_code, codefree>;

// An empty pattern lets everything through; a bad one is reported and ignored.
filter compilefilter(const char* pat, int d, const char* what, int quiet) {
  if (!*pat) return nullptr;
  int err;
  PCRE2_SIZE off;
  pcre2_code* re = pcre2_compile((PCRE2_SPTR)pat, PCRE2_ZERO_TERMINATED,
                                 PCRE2_UTF | PCRE2_CASELESS | PCRE2_UCP, &err, &off, nullptr);
  if (!re) {
    PCRE2_UCHAR msg[256];
    pcre2_get_error_message(err, msg, sizeof msg);
    char text[200];
    pbuf(text, sizeof text, "Bad %s filter syntax: %.100s", what, (const char*)msg);
    report(quiet, d, text);
    return nullptr;
  }
  pcre2_jit_compile(re, PCRE2_JIT_COMPLETE);  // without JIT the interpreter runs
  return filter(re);
}

// Buffered lines as fgets would give them into a 1000-byte buffer: at most 999 bytes, through
// the line feed. In UTF-8 mode a long line is split before a character that would be cut,
// whose bytes start the next piece instead.
struct linereader {
  FILE* fp;
  bool utf8 = false;
  size_t pos = 0, len = 0;
  char carry[4];
  unsigned char ncarry = 0;
  char buf[1 << 16];

  void rewind(long off) {
    fseek(fp, off, SEEK_SET);
    pos = len = 0;
    ncarry = 0;
  }

  // Length of the line put in out (0-terminated), -1 at the end of the file.
  int next(char* out) {
    size_t n = ncarry;
    memcpy(out, carry, ncarry);
    ncarry = 0;
    bool nl = false;
    while (n < SLEN - 1 && !nl) {
      if (pos == len) {
        len = fread(buf, 1, sizeof buf, fp);
        pos = 0;
        if (!len) break;
      }
      size_t want = std::min(SLEN - 1 - n, len - pos);
      const char* p = (const char*)memchr(buf + pos, '\n', want);
      size_t take = p ? p - (buf + pos) + 1 : want;
      memcpy(out + n, buf + pos, take);
      n += take;
      pos += take;
      nl = p != nullptr;
    }
    if (utf8 && !nl && n == SLEN - 1) {
      // Find a lead byte among the last three whose sequence runs past the end.
      for (size_t i = n; i > 0 && i + 4 > n; i--) {
        unsigned char c = out[i - 1];
        if ((c & 0xC0) == 0x80) continue;
        size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (n - (i - 1) < need) {
          ncarry = (unsigned char)(n - (i - 1));
          n = i - 1;
          memcpy(carry, out + n, ncarry);
        }
        break;
      }
    }
    out[n] = 0;
    return n ? (int)n : -1;
  }
};

bool isscorech(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-'; }

// Apply the line rules in place: trailing control bytes and spaces go, then a trailing score
// preceded by a space is taken off. Returns the length of what is left (0: skip the line).
size_t linerules(char* s, float* score) {
  size_t n = strlen(s);  // a NUL byte ends the line, as with fgets
  auto strip = [&] {
    while (n && (unsigned char)s[n - 1] <= 0x20) n--;
    s[n] = 0;
  };
  strip();
  size_t j = n;
  while (j && isscorech(s[j - 1])) j--;
  *score = 0;
  if (j < n && j > 0 && s[j - 1] == ' ') {
    // g_ascii_strtod: the decimal point is "." whatever the locale.
    *score = (float)std::clamp(g_ascii_strtod(s + j, nullptr), -10.0, 10.0);
    n = j;
    strip();
  }
  return n;
}

// GLib's text for a line that is not valid UTF-8, for the trace.
std::string utf8error(const char* s, size_t n) {
  GError* err = nullptr;
  gchar* r = g_convert(s, n, "UTF-8", "UTF-8", nullptr, nullptr, &err);
  g_free(r);
  std::string m = err ? err->message : "invalid UTF-8";
  if (err) g_error_free(err);
  return m;
}

// Passes over the text: mode 1 UTF-8 after a mark, -1 UTF-8 without one (falling back to
// ISO-8859-1 from the start), -2 ISO-8859-1. With no reader, the slot's answer filter text is
// the only line.
int readtext(int d, linereader* lr, int mode, pcre2_code* ff, pcre2_code* af, int quiet) {
  for (;;) {
    freedict(d);
    resetdict(d);
    if (deb(DEB_DICT))
      pstdout("Reading dictionary file %s (in mode %d), owd=%d\n", dictpaths[d], mode, lr == nullptr);
    latin1conv conv;
    char raw[SLEN], out[2 * SLEN];
    int count = 0;
    bool restart = false, first = true;
    if (lr) lr->utf8 = mode != -2;
    while (lr ? lr->next(raw) >= 0 : first) {
      if (lr) line++;
      else strlcpy0(raw, dafilter[d], SLEN);
      first = false;
      float score;
      size_t n = linerules(raw, &score);
      if (!n) continue;
      const char* text = raw;
      const char* why = nullptr;
      std::string msg;
      bool ok;
      if (mode == -2) {
        int r = conv.conv(raw, n, out, sizeof out, &why);
        ok = r >= 0;
        text = out;
        n = ok ? r : 0;
      } else {
        ok = g_utf8_validate(raw, n, nullptr);
      }
      if (!ok) {
        if (mode == 1) {
          report(quiet, d, "File not encoded in accordance with its BOM");
          return -1;
        }
        if (deb(DEB_DICT)) {
          if (!why) why = (msg = utf8error(raw, n)).c_str();
          pstdout("error: %s\n", why);
          for (const char* p = raw; *p; p++) pstdout(" %02x", (unsigned char)*p);
          pstdout("\n");
        }
        if (mode == -1) {
          mode = -2;
          lr->rewind(0);
          restart = true;
          break;
        }
        report(quiet, d, "File does not use a recognised encoding:\ntry UTF-8 or ISO-8859-1");
        return -1;
      }
      if (n >= SLEN) continue;
      int r = adddictword(text, d, ff, af, score);
      if (r == 1) count++;
      else if (r == -2) return -2;
    }
    if (!restart) return count;
  }
}

struct mark {
  const char* bytes;
  int len;
};
// Rows 1 to 5 of the encoding marks, in the order they are tried: UTF-8, UTF-16LE, UTF-16BE,
// UTF-32LE (already caught as UTF-16LE) and UTF-32BE.
constexpr mark marks[] = {{"\xEF\xBB\xBF", 3}, {"\xFF\xFE", 2}, {"\xFE\xFF", 2},
                          {"\xFF\xFE\x00\x00", 4}, {"\x00\x00\xFE\xFF", 4}};

// Load the default into slot 1 with the default file filter; true when answers were loaded.
bool trydefault(const std::string& path) {
  if (path.size() >= (size_t)SLEN) return false;
  strlcpy0(dictpaths[0], path.c_str(), SLEN);
  strlcpy0(dsfilter[0], DEFFILTER, SLEN);
  dafilter[0][0] = 0;
  dictsload(1);
  return atotal > 0;
}
}  // namespace

int dictload(int d, int quiet) {
  freedict(d);
  if (resetdict(d)) return -2;
  if (!dictpaths[d][0]) {
    if (!dafilter[d][0]) return 0;
    return readtext(d, nullptr, 1, nullptr, nullptr, quiet);
  }
  filter ff = compilefilter(dsfilter[d], d, "file", quiet);
  filter af = compilefilter(dafilter[d], d, "answer", quiet);
  std::unique_ptr<FILE, int (*)(FILE*)> fp(plat_fopen(dictpaths[d], "rb"), fclose);
  if (!fp) {
    report(quiet, d, "File not found");
    return -1;
  }
  auto lr = std::make_unique<linereader>();
  lr->fp = fp.get();
  unsigned char h[4];
  int mode = -1;
  if (fread(h, 1, 4, fp.get()) == 4) {
    if (!memcmp(h, "TSD", 3)) {
      int r = tsdload(fp.get(), d, h[3], ff.get(), af.get());
      // Out of memory is final; a malformed file is read again as text.
      if (r >= 0 || r == -2) return r;
    }
    for (const mark& m : marks) {
      if (memcmp(h, m.bytes, m.len)) continue;
      if (&m != marks) {
        report(quiet, d, "Cannot read file encoding:\ntry UTF-8 or ISO-8859-1 encoding");
        return -1;
      }
      mode = 1;
      break;
    }
  }
  lr->rewind(mode == 1 ? 3 : 0);
  return readtext(d, lr.get(), mode, ff.get(), af.get(), quiet);
}

int dictsdefault() {
  if (prefstr(PREF_STARTUP_DEFDICT1)[0]) {
    strlcpy0(dictpaths[0], prefstr(PREF_STARTUP_DEFDICT1), SLEN);
    strlcpy0(dsfilter[0], prefstr(PREF_STARTUP_FF1), SLEN);
    strlcpy0(dafilter[0], prefstr(PREF_STARTUP_AF1), SLEN);
    dictsload(1);
    if (deb(DEB_DICT)) pstdout("read preferences default, atotal=%d\n", atotal);
    if (atotal > 0) return 0;
  }
  std::string cwd = plat_cwd();
  std::string path = (cwd.empty() ? "" : cwd + PLAT_SEP) + "Dictionaries" + PLAT_SEP + "UKACD18plus.txt";
  if (trydefault(path) || trydefault(SYSWORDS)) return 0;
  dictpaths[0][0] = dsfilter[0][0] = dafilter[0][0] = 0;
  return 4;
}
