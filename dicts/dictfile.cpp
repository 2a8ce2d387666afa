// Reading one dictionary slot: the file's format and text encoding, the plain list format with
// its optional scores, the slot's filters, the one-word case, and the default dictionary.
// A text file is read in large chunks, and each chunk's lines are shared between two threads.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "core/message.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "platform/platform.h"

const char* sysdictpath = "/usr/share/dict/words";
const char* everydaydir = nullptr;
int startminscore = -1;
const char* const wordvarieties[NVARIETIES] = {"british", "american", "canadian", "australian", "british_z"};

namespace {
constexpr const char* DEFFILTER = "^.*+(?<!'s)";  // refuses citation forms ending in 's
constexpr size_t CHUNK = 2 << 20;                 // bytes of text read at a time
constexpr size_t MINSPLIT = 64 << 10;             // less text than this is not shared out

void report(int quiet, int d, const char* text) {
  if (quiet) return;
  char buf[400];
  pbuf(buf, sizeof buf, "Dictionary %d\n%s", d + 1, text);
  errbox(buf);
}

void readerror(int quiet, int d, int err) {
  char buf[300];
  pbuf(buf, sizeof buf, "Filing system error: %s", err ? strerror(err) : "general error");
  report(quiet, d, buf);
}

struct codefree {
  void operator()(pcre2_code* re) const { pcre2_code_free(re); }
};
using filter = std::unique_ptr<pcre2_code, codefree>;

pcre2_code* compiled(const char* pat, int* err) {
  PCRE2_SIZE off;
  return pcre2_compile((PCRE2_SPTR)pat, PCRE2_ZERO_TERMINATED, PCRE2_UTF | PCRE2_CASELESS | PCRE2_UCP, err, &off,
                       nullptr);
}

// An empty pattern lets everything through; a bad one is reported and ignored.
filter compilefilter(const char* pat, int d, const char* what, int quiet) {
  if (!*pat) return nullptr;
  int err;
  pcre2_code* re = compiled(pat, &err);
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

bool isscorech(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-'; }

// A number of a shared list's score: an optional sign, digits with at most one decimal point,
// spaces around it. False when t is something else.
bool sharedscore(const char* t, double* v) {
  while (*t == ' ') t++;
  const char* p = t;
  if (*p == '+' || *p == '-') p++;
  int digits = 0, points = 0;
  for (; (*p >= '0' && *p <= '9') || *p == '.'; p++) (*p == '.' ? points : digits)++;
  if (!digits || points > 1) return false;
  const char* e = p;
  while (*p == ' ') p++;
  if (*p) return false;
  *v = g_ascii_strtod(std::string(t, e).c_str(), nullptr);
  return true;
}

// Apply the line rules in place to the n bytes of s: trailing control bytes and spaces go, then
// a shared list's score after the last ";" or tab, or else Zyn's own score after a space, is
// taken off. Returns the length of what is left (0: skip the line); *noword is set for a line
// that had a shared list's score but no word.
size_t linerules(char* s, size_t n, float* score, float* s100, bool* noword) {
  auto strip = [&](bool seps) {
    while (n && ((unsigned char)s[n - 1] <= 0x20 || (seps && s[n - 1] == ';'))) n--;
    s[n] = 0;
  };
  strip(false);
  *score = 0;
  *s100 = UNSCORED;
  *noword = false;
  // A shared list's line: the text before the last ";" or tab, and the number after it, if any.
  size_t sep = n;
  while (sep && s[sep - 1] != ';' && s[sep - 1] != '\t') sep--;
  if (sep) {
    double v;
    bool empty = sep == n;
    if (empty || sharedscore(s + sep, &v)) {
      if (!empty) {
        *s100 = (float)std::clamp(v, 0.0, 100.0);
        *score = zynscore(*s100);
      }
      n = sep - 1;
      strip(true);
      *noword = n == 0;
      return n;
    }
  }
  size_t j = n;
  while (j && isscorech(s[j - 1])) j--;
  if (j < n && j > 0 && s[j - 1] == ' ') {
    // g_ascii_strtod: the decimal point is "." whatever the locale.
    *score = (float)std::clamp(g_ascii_strtod(s + j, nullptr), -10.0, 10.0);
    *s100 = score100(*score);
    n = j;
    strip(false);
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

// Text encodings: 1, UTF-8 after its mark, where a line that is not UTF-8 is an error; -1, no
// mark, where each line is UTF-8 if it is valid UTF-8 and ISO-8859-1 otherwise, so that one
// stray byte does not change how every other line is read.
constexpr int ENC_MARKED = 1, ENC_AUTO = -1;

// Errors of a reader, in the order of the file.
constexpr int RD_OK = 0, RD_NOTMARKED = -1, RD_NOMEM = -2;

// One piece of a line, n bytes without NUL bytes and 0-terminated: the line rules, the
// encoding, and the store.
int takepiece(dictsink* k, char* raw, size_t n, int enc, pcre2_code* ff, pcre2_code* af) {
  float score, s100;
  bool noword;
  n = linerules(raw, n, &score, &s100, &noword);
  if (!n) {
    k->nnoword += noword;
    return RD_OK;
  }
  const char* text = raw;
  char conv[2 * SLEN];
  if (!g_utf8_validate(raw, n, nullptr)) {
    if (enc == ENC_MARKED) return RD_NOTMARKED;
    if (deb(DEB_DICT)) {
      pstdout("error: %s\n", utf8error(raw, n).c_str());
      for (const char* p = raw; *p; p++) pstdout(" %02x", (unsigned char)*p);
      pstdout("\n");
    }
    n = latin1toutf8(raw, n, conv);
    text = conv;
  }
  if (n >= SLEN) return RD_OK;
  return adddictword(k, text, ff, af, score, s100) == -2 ? RD_NOMEM : RD_OK;
}

int seqlen(unsigned char c) { return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1; }
bool iscont(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the piece of text starting at p: what fgets would read into a buffer of SLEN bytes
// (at most 999 bytes, through the line end) where a line ends at a line feed or at a carriage
// return that no line feed follows (classic Mac files). A piece cut short by the limit does
// not end inside a UTF-8 character: one that would be cut starts the next piece instead.
// The text up to end is complete lines, or ends the file. *nul is set when the piece holds a
// NUL byte.
size_t piecelen(const char* p, const char* end, bool* nul) {
  size_t avail = end - p, lim = std::min(avail, (size_t)SLEN - 1);
  for (size_t i = 0; i < lim; i++) {
    char c = p[i];
    if (c > '\r') continue;
    if (c == '\n') return i + 1;
    if (c == '\r' && (i + 1 == avail || p[i + 1] != '\n')) return i + 1;
    if (!c) *nul = true;
  }
  if (lim < SLEN - 1) return lim;
  // The last byte that is no continuation byte, if its character runs past the limit and the
  // bytes that follow complete it.
  size_t j = lim;
  while (j > lim - 3 && iscont(p[j - 1])) j--;
  size_t need = seqlen(p[j - 1]);
  if (need <= lim - (j - 1)) return lim;
  for (size_t i = lim; i < j - 1 + need; i++)
    if (i >= avail || !iscont(p[i])) return lim;
  return j - 1;
}

// Reads the pieces of [p, end) into sink k and counts its lines; end follows a line end or ends
// the file. Stops at the first error and returns it.
int readpieces(const char* p, const char* end, dictsink* k, int enc, pcre2_code* ff, pcre2_code* af) {
  char raw[SLEN];
  while (p < end) {
    bool nul = false;
    size_t len = piecelen(p, end, &nul), n = len;
    memcpy(raw, p, len);
    // A NUL byte is skipped like any other control byte, rather than ending the text.
    if (nul) n = std::remove(raw, raw + len, 0) - raw;
    raw[n] = 0;
    p += len;
    k->line++;
    if (int r = takepiece(k, raw, n, enc, ff, af)) return r;
  }
  return RD_OK;
}

// Where the complete lines of buf[0, len) end: after the last line feed, or after the last
// carriage return that is followed by something else. 0 when there is no complete line.
size_t completelines(const char* buf, size_t len) {
  for (size_t i = len; i > 0; i--) {
    if (buf[i - 1] == '\n') return i;
    if (buf[i - 1] == '\r' && i < len) return i;
  }
  return 0;
}

// The first line end at or after mid, for sharing out [0, len) of complete lines.
size_t lineafter(const char* buf, size_t mid, size_t len) {
  for (size_t i = mid; i < len; i++) {
    if (buf[i] == '\n') return i + 1;
    if (buf[i] == '\r' && (i + 1 == len || buf[i + 1] != '\n')) return i + 1;
  }
  return len;
}

// Reads [p, end) into the slot, on two threads when it is large enough: the second half goes
// to a sink of its own, which joins the slot after the first. Traces need one thread to keep
// their order.
int readshared(const char* p, const char* end, dictsink* k, int enc, pcre2_code* ff, pcre2_code* af) {
  size_t len = end - p;
  size_t mid = len;
  if (dictthreads > 1 && len >= MINSPLIT && !deb(DEB_DICT | DEB_CANON)) mid = lineafter(p, len / 2, len);
  if (mid == len) {
    int r = readpieces(p, end, k, enc, ff, af);
    addsink(k);
    return r;
  }
  dictsink k2(k->d);
  int r2 = RD_OK;
  std::thread t;
  try {
    t = std::thread([&] { r2 = readpieces(p + mid, end, &k2, enc, ff, af); });
  } catch (const std::system_error&) {
    r2 = readpieces(p + mid, end, &k2, enc, ff, af);
  }
  int r = readpieces(p, p + mid, k, enc, ff, af);
  if (t.joinable()) t.join();
  addsink(k);
  if (r) return r;
  addsink(&k2);
  return r2;
}

// Reads the text of fp from its position to the end, in chunks of whole lines. The buffer
// starts small, for short lists, and grows to a full chunk while the reads fill it. Returns
// the reader's error, or 1 after a filing-system error (whose code is in *err).
int readtext(FILE* fp, dictsink* k, int enc, pcre2_code* ff, pcre2_code* af, int* err) {
  size_t cap = MINSPLIT;
  std::unique_ptr<char[]> mem(new char[cap]);
  char* buf = mem.get();
  size_t have = 0;
  for (;;) {
    size_t want = cap - have;
    size_t got = fread(buf + have, 1, want, fp);
    if (ferror(fp)) {
      *err = errno;
      return 1;
    }
    have += got;
    bool eof = got == 0 || feof(fp);
    size_t cut = eof ? have : completelines(buf, have);
    if (!cut && have == CHUNK) {
      // One line fills the chunk: its pieces are read here until a piece's worth (and the
      // bytes that decide where it ends) is left.
      cut = have - (SLEN + 3);
      const char* q = buf;
      bool nul;
      while ((size_t)(q - buf) < cut) q += piecelen(q, buf + have, &nul);
      cut = q - buf;
      if (int r = readshared(buf, q, k, enc, ff, af)) return r;
    } else if (int r = readshared(buf, buf + cut, k, enc, ff, af)) {
      return r;
    }
    memmove(buf, buf + cut, have - cut);
    have -= cut;
    if (eof) return RD_OK;
    if (got == want && cap < CHUNK) {
      std::unique_ptr<char[]> bigger(new char[2 * cap]);
      memcpy(bigger.get(), buf, have);
      mem = std::move(bigger);
      buf = mem.get();
      cap *= 2;
    }
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

struct fileclose {
  void operator()(FILE* f) const { fclose(f); }
};
using fileptr = std::unique_ptr<FILE, fileclose>;

// A stream that cannot seek (a pipe, a FIFO, a terminal) is read once into memory, so that the
// format probe and the TSD reader can go back. Null after a read error (*err holds its code)
// or for an empty stream.
fileptr seekable(fileptr fp, std::vector<char>* mem, int* err) {
  if (fseek(fp.get(), 0, SEEK_CUR) == 0) return fp;
  char buf[1 << 16];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, fp.get())) > 0) mem->insert(mem->end(), buf, buf + n);
  if (ferror(fp.get())) {
    *err = errno;
    return nullptr;
  }
  if (mem->empty()) return nullptr;
  return fileptr(fmemopen(mem->data(), mem->size(), "r"));
}

// Reads slot d from fp, whose format and encoding it finds out.
int readslot(int d, fileptr fp, pcre2_code* ff, pcre2_code* af, int quiet) {
  dictsink k(d);
  std::vector<char> mem;
  int err = 0;
  fp = seekable(std::move(fp), &mem, &err);
  if (!fp) {
    if (!err) return 0;
    readerror(quiet, d, err);
    return -1;
  }
  unsigned char h[4];
  int enc = ENC_AUTO;
  long start = 0;
  if (fread(h, 1, 4, fp.get()) == 4) {
    if (!memcmp(h, "TSD", 3)) {
      // Out of memory is final; a malformed file is read again as text, and what it gave
      // is dropped with its sink.
      dictsink t(d);
      int r = tsdload(fp.get(), &t, h[3], ff, af);
      if (r >= 0) addsink(&t);
      if (r >= 0 || r == -2) return r;
    }
    for (const mark& m : marks) {
      if (memcmp(h, m.bytes, m.len)) continue;
      if (&m != marks) {
        report(quiet, d, "Cannot read file encoding:\ntry UTF-8 or ISO-8859-1 encoding");
        return -1;
      }
      enc = ENC_MARKED;
      start = 3;
      break;
    }
  }
  if (ferror(fp.get()) || fseek(fp.get(), start, SEEK_SET)) {
    readerror(quiet, d, errno);
    return -1;
  }
  if (deb(DEB_DICT)) pstdout("Reading dictionary file %s (in mode %d), owd=%d\n", dictpaths[d], enc, 0);
  int r = readtext(fp.get(), &k, enc, ff, af, &err);
  if (r == 1) {
    readerror(quiet, d, err);
    return -1;
  }
  if (r == RD_NOTMARKED) {
    report(quiet, d, "File not encoded in accordance with its BOM");
    return -1;
  }
  return r == RD_NOMEM ? -2 : naftermin[d];
}

// Load path into slot 1 as the default, with the file filter ff; true when answers were loaded.
bool trydefault(const std::string& path, const char* ff) {
  if (path.size() >= (size_t)SLEN) return false;
  strlcpy0(dictpaths[0], path.c_str(), SLEN);
  strlcpy0(dsfilter[0], ff, SLEN);
  dafilter[0][0] = 0;
  dictsload(1);
  return atotal > 0;
}

bool readable(const std::string& path) {
  FILE* f = plat_fopen(path.c_str(), "rb");
  if (f) fclose(f);
  return f != nullptr;
}
}  // namespace

bool filterok(const char* pat) {
  if (!*pat) return true;
  int err;
  pcre2_code* re = compiled(pat, &err);
  pcre2_code_free(re);
  return re != nullptr;
}
// Whole steps of 25 points: each a factor of 10 in weight, so that 50 (or no score) is 0 and 100
// is 2. Whole numbers keep the weights of words at 50 and above whole, which the filler sums
// faster, and the filler fails least often with steps this size (bench/bench_words.sh).
float zynscore(float s100) { return std::round((s100 - UNSCORED) / 25); }

int dictload(int d, int quiet) {
  freedict(d);
  resetdict(d);
  if (!dictpaths[d][0]) {
    if (!dafilter[d][0]) return 0;
    if (deb(DEB_DICT)) pstdout("Reading dictionary file %s (in mode %d), owd=%d\n", dictpaths[d], ENC_MARKED, 1);
    dictsink k(d);
    char raw[SLEN];
    strlcpy0(raw, dafilter[d], SLEN);
    int r = takepiece(&k, raw, strlen(raw), ENC_MARKED, nullptr, nullptr);
    addsink(&k);
    if (r == RD_NOTMARKED) report(quiet, d, "File not encoded in accordance with its BOM");
    return r == RD_OK ? naftermin[d] : r;
  }
  filter ff = compilefilter(dsfilter[d], d, "file", quiet);
  filter af = compilefilter(dafilter[d], d, "answer", quiet);
  FILE* fp = plat_fopen(dictpaths[d], "rb");
  if (!fp) {
    report(quiet, d, "File not found");
    return -1;
  }
  return readslot(d, fileptr(fp), ff.get(), af.get(), quiet);
}

std::string everydaylist() {
  int v = prefint(PREF_STARTUP_SPELLING);
  std::string name = std::string("words-") + wordvarieties[v >= 0 && v < NVARIETIES ? v : 0] + ".txt";
  if (everydaydir) return std::string(everydaydir) + PLAT_SEP + name;
  std::string exe = plat_exedir();
  if (exe.empty()) return "";
  // Beside the program in the build tree, else in the installed prefix's data folder, seen from
  // the prefix's bin or, for the window's program, from its lib/zyn.
  const std::string up = std::string("..") + PLAT_SEP;
  for (const std::string& dir : {exe + PLAT_SEP + "share", exe + PLAT_SEP + up + "share", exe + PLAT_SEP + up + up + "share"}) {
    std::string path = dir + PLAT_SEP + "zyn" + PLAT_SEP + name;
    if (readable(path)) return path;
  }
  return "";
}

int dictsdefault() {
  dminscore[0] = startminscore >= 0 ? startminscore : prefint(PREF_STARTUP_MINSCORE1);
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
  if (trydefault(path, DEFFILTER)) return 0;
  // Zyn's everyday list has no possessives to filter out.
  std::string everyday = everydaylist();
  if (!everyday.empty() && trydefault(everyday, "")) return 0;
  if (trydefault(sysdictpath, DEFFILTER)) {
    char msg[SLEN + 200];
    pbuf(msg, sizeof msg, "Zyn's everyday word list is missing%s;\nusing %s instead", everyday.empty() ? "" : " or empty",
         sysdictpath);
    warnbox(msg);
    return 0;
  }
  dictpaths[0][0] = dsfilter[0][0] = dafilter[0][0] = 0;
  dminscore[0] = 0;
  return 4;
}
