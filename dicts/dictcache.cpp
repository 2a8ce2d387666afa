// The answer-index cache: its key, the file format with its checksum, reading, writing, and
// keeping the cache folder to a few files.
//
// A cache file is a header and then sections, each padded to 8 bytes: the key; the slots'
// counters and the loaded-slot mask; the rejected characters (slot, code point, count, first
// line); the hash chain heads; the records, the answers in index order and then the further
// citation forms chain by chain, as the index holds them (texts as offsets into the file's text,
// citation forms as record numbers); the answers' lengths; and the text: every answer's codes,
// then every citation form, each 0-terminated. A load maps the file and uses it in place after
// one pass that checks its sum and everything a consumer relies on.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "dicts/dictcache.h"

#include <glib.h>
#include <pcre2.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "dicts/personal.h"
#include "platform/platform.h"

long dictcachemin = 256 << 10;

namespace {
constexpr char MAGIC[8] = {'Z', 'y', 'n', 'I', 'n', 'd', 'e', 'x'};
constexpr uint64_t FORMAT = 5;  // raised whenever what a file holds, or how, changes

// The per-slot counters a load leaves, in the order they are stored.
int* const slotstats[] = {nusable, nafterff, nafteraf, naftermin, nnoword};
constexpr int NSTATS = sizeof slotstats / sizeof *slotstats;

// What a file written by another build or on another kind of machine may differ in.
constexpr uint32_t LAYOUT =
    sizeof(void*) | sizeof(answer) << 8 | NSTATS << 16 | (uint32_t)(std::endian::native == std::endian::little) << 31;

struct header {
  char magic[8];
  uint64_t format;
  uint32_t layout, pad;
  uint64_t sum;  // of every byte after the header
  uint64_t keylen, natotal, nrecs, nheads, codeslen, textlen, nrej;
};
static_assert(sizeof(header) % 8 == 0);
struct rejrow {
  int32_t slot, u, count, line;
};

constexpr size_t NSTATWORDS = NSTATS * MAXNDICTS + 1;  // the counters, then dloaded

// The bytes of the file the loaded index is read from: mapped, or read into memory.
plat_mapped cachemap;
char* cachebuf;

// A checksum of n bytes, going on from seed: four lanes over 8-byte words, each step a bijection
// of the lane and of the word, so that any one changed word changes the result.
constexpr uint64_t P = 0x9E3779B97F4A7C15ULL;
uint64_t fmix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  return h ^ (h >> 33);
}

uint64_t sumbytes(const void* p, size_t n, uint64_t seed) {
  const unsigned char* b = (const unsigned char*)p;
  uint64_t h[4] = {seed, seed + P, seed + 2 * P, seed + 3 * P};
  auto step = [](uint64_t v, uint64_t w) { return std::rotl((v ^ w) * P, 31); };
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    // The file's pages come from memory; fetching ahead keeps the reads going across page ends,
    // where the processor's own prefetching stops.
    __builtin_prefetch(b + i + 1024);
    for (int j = 0; j < 4; j++) {
      uint64_t w;
      memcpy(&w, b + i + 8 * j, 8);
      h[j] = step(h[j], w);
    }
  }
  for (int j = 0; i < n; j++) {
    uint64_t w = 0;
    size_t m = std::min<size_t>(8, n - i);
    memcpy(&w, b + i, m);
    h[j] = step(h[j], w);
    i += m;
  }
  uint64_t r = n;
  for (uint64_t v : h) r = fmix(r ^ v);
  return r;
}

// The checksum of the bytes after the header: each piece of PIECE bytes summed with its number as
// the seed, and the pieces' sums folded in order. The writer sums a piece at a time as it writes;
// a load sums the two halves of the pieces at once.
constexpr size_t PIECE = 64 << 10;
size_t npieces(size_t n) { return std::max<size_t>(1, (n + PIECE - 1) / PIECE); }
uint64_t piecesum(const char* b, size_t n, size_t k) { return sumbytes(b + k * PIECE, std::min(PIECE, n - k * PIECE), k); }
uint64_t foldsum(uint64_t acc, uint64_t piece) { return fmix(acc ^ piece); }
uint64_t sumsection(const void* p, size_t n) {
  uint64_t acc = FORMAT;
  for (size_t k = 0; k < npieces(n); k++) acc = foldsum(acc, piecesum((const char*)p, n, k));
  return acc;
}

size_t pad8(size_t n) { return (n + 7) & ~(size_t)7; }

void putnum(std::string& k, uint64_t v) { k.append((const char*)&v, sizeof v); }
void putstr(std::string& k, const char* s) {
  putnum(k, strlen(s));
  k += s;
}

void trace(const char* what, const std::string& path) {
  if (deb(DEB_DICT)) pstdout("index cache: %s %s\n", what, path.c_str());
}

// Where each section starts in a file of header h, the last entry being the file's size.
enum { S_KEY, S_STATS, S_REJ, S_HASH, S_RECS, S_LENS, S_TEXT, S_END };
struct places {
  size_t at[S_END + 1];
};
// False when the counts are not a writer's or do not fit in n bytes.
bool place(const header& h, size_t n, places* p) {
  if (h.keylen > n || h.nrej > n || h.nrecs > n || h.natotal > n || h.textlen > n) return false;
  const size_t len[S_END] = {h.keylen, NSTATWORDS * sizeof(int32_t), h.nrej * sizeof(rejrow), h.nheads * sizeof(int),
                             h.nrecs * sizeof(answer), h.natotal, h.textlen};
  p->at[0] = sizeof h;
  for (int i = 0; i < S_END; i++) p->at[i + 1] = p->at[i] + pad8(len[i]);
  return true;
}

// Whether every byte of the n bytes of codes is a code of the alphabet's range or a terminator,
// adding the terminators to *ends; eight bytes at a time. Adding 127 - MAXICC to a byte above
// MAXICC sets its top bit, which the bytes from 128 up have already; a zero byte is one whose top
// bit stays clear both as it is and after adding 127 to its low seven bits.
bool allcodes(const unsigned char* p, size_t n, uint64_t* ends) {
  static_assert(MAXICC < 127);
  constexpr uint64_t ONES = 0x0101010101010101ULL, ADD = ONES * (127 - MAXICC), TOP = ONES * 0x80, LOW = ONES * 0x7f;
  constexpr uint64_t EVEN = 0x00ff00ff00ff00ffULL;
  uint64_t over = 0, zeros = 0;
  size_t i = 0;
  while (i + 8 <= n) {
    // Zeros are counted in the bytes of acc, which 255 steps cannot overflow.
    uint64_t acc = 0;
    for (int k = 0; k < 255 && i + 8 <= n; k++, i += 8) {
      uint64_t w;
      memcpy(&w, p + i, 8);
      over |= (w + ADD) | w;
      acc += (~(((w & LOW) + LOW) | w) & TOP) >> 7;
    }
    zeros += (((acc & EVEN) + ((acc >> 8) & EVEN)) * 0x0001000100010001ULL) >> 48;
  }
  if (over & TOP) return false;
  for (; i < n; i++) {
    if (p[i] > MAXICC) return false;
    zeros += !p[i];
  }
  *ends += zeros;
  return true;
}

// The sections of a file, to be checked for everything a writer cannot have made, so that no
// damaged file leads a consumer outside the index, into a loop, or to a code outside the
// alphabet's range: the answers' codes lie back to back with the lengths given, and every
// citation form is a terminated text. The bytes after the header are summed and checked in runs
// of pieces that both threads take in turn, a piece at a time, so that each piece is read from
// memory once: the records, hash heads and codes that start in a piece are checked just after it
// is summed. Taking runs in turn keeps both threads busy to the end, whichever starts first and
// however the records and texts lie. The runs' findings are then joined in order.
struct sections {
  const header& h;
  const places& at;  // from the file's start
  const rejrow* rej;
  const int* hash;
  answer* recs;
  const unsigned char* lens;
  const unsigned char* text;
  answer** list;  // answerlist, which the check fills as it goes
};
struct partcheck {
  bool ok = true;
  uint64_t ends = 0;         // terminators among the run's codes
  uint64_t co0 = 0, co = 0;  // where the run's first answer's codes start, and its last ones end
  bool whole = true;         // every answer's weight in the run is a whole number
  double sum = 0;            // of those weights
};
constexpr size_t RUN = 8;  // pieces per run

// The elements of size bytes from byte `start` on, count of them, whose first byte lies in [a, b).
std::pair<uint64_t, uint64_t> startingin(size_t a, size_t b, size_t start, uint64_t count, size_t size) {
  auto first = [&](size_t x) { return x <= start ? 0 : std::min<uint64_t>(count, (x - start + size - 1) / size); };
  return {first(a), first(b)};
}

void checkrecs(const sections& s, partcheck& r, uint64_t lo, uint64_t hi) {
  // In locals, which the byte reads cannot alias. Each record's tests are all made, joined with |,
  // so that the loops do not branch on what they read; the text is read only at places within
  // the codes.
  const uint64_t natotal = s.h.natotal, nrecs = s.h.nrecs, codeslen = s.h.codeslen, textlen = s.h.textlen;
  const unsigned char* text = s.text;
  uint64_t co = r.co;
  bool whole = r.whole, bad = !r.ok;
  double sum = r.sum;
  auto common = [&](const answer& a, uint64_t i) {
    const uint64_t f = a.cf.off, k = (uint64_t)(int64_t)a.acf.k;
    // Citation chains run forwards into the citation records (k - 1 wraps for none).
    const bool chain = k != 0 && ((k - 1 <= i) | (k - 1 < natotal) | (k - 1 >= nrecs));
    return (f < codeslen) | (f >= textlen) | chain | (((a.dmask | a.cfdmask) & ~ALLSLOTS) != 0) | (a.banned != 0) |
           !((a.weight > 0) & (a.weight < HUGE_VAL));
  };
  const uint64_t amid = std::min(hi, natotal);
  for (uint64_t i = lo; i < amid; i++) {
    const answer& a = s.recs[i];
    s.list[i] = &s.recs[i];
    const double w = a.weight;
    whole &= wholeweight(w);
    sum += w;
    const unsigned l = s.lens[i];
    const uint64_t end = co + l;  // where the answer's terminator must be
    bad |= (a.answercodes.off != co) | (l == 0) | (l > (unsigned)MXANSLEN) | (end >= codeslen);
    bad |= text[end < codeslen ? end : 0] != 0;
    co = end + 1;
    // Hash chains run backwards, so that none can loop.
    bad |= (a.hlink < -1) | (a.hlink >= (int64_t)i);
    bad |= common(a, i);
  }
  for (uint64_t i = std::max(lo, natotal); i < hi; i++) {
    const answer& a = s.recs[i];
    const uint64_t c = a.answercodes.off;
    const bool inside = c < codeslen;
    bad |= (!inside) | ((c != 0) & (text[inside && c ? c - 1 : 0] != 0)) | (a.hlink != -1);
    bad |= common(a, i);
  }
  r.ok = !bad;
  r.co = co;
  r.whole = whole;
  r.sum = sum;
}

// Sums pieces [k0, k1) of the len bytes after the header into sums and checks what starts in them.
partcheck checkrun(const sections& s, const char* after, size_t len, size_t k0, size_t k1, uint64_t* sums) {
  const header& h = s.h;
  const size_t hd = sizeof h;
  partcheck r;
  const size_t from = k0 * PIECE, to = std::min(len, k1 * PIECE);
  const uint64_t first = startingin(from, to, s.at.at[S_RECS] - hd, h.nrecs, sizeof(answer)).first;
  r.co = r.co0 = first < h.natotal ? s.recs[first].answercodes.off : h.codeslen;
  // The first answer's codes must lie within the codes for the checks to read them safely.
  if (first < h.natotal && r.co0 >= h.codeslen) r.ok = false;
  for (size_t k = k0; k < k1 && r.ok; k++) {
    sums[k] = piecesum(after, len, k);
    const size_t a = k * PIECE, b = std::min(len, a + PIECE);
    auto heads = startingin(a, b, s.at.at[S_HASH] - hd, h.nheads, sizeof(int));
    // A head below 0 reads as above natotal, which is below 2^31.
    const uint32_t most = (uint32_t)h.natotal;
    uint32_t over = 0;
    for (uint64_t c = heads.first; c < heads.second; c++) over |= (uint32_t)s.hash[c] > most;
    bool good = !over;
    auto recs = startingin(a, b, s.at.at[S_RECS] - hd, h.nrecs, sizeof(answer));
    checkrecs(s, r, recs.first, recs.second);
    auto codes = startingin(a, b, s.at.at[S_TEXT] - hd, h.codeslen, 1);
    good = good && allcodes(s.text + codes.first, codes.second - codes.first, &r.ends);
    r.ok = r.ok && good;
  }
  return r;
}

// Whether the runs together passed: the answers' codes start at 0 and follow each other across
// the runs, and the rejected characters are a writer's. *whole tells whether the answers' weights
// are whole numbers summing below 4e15 (every weight is above 0).
bool joinchecks(const sections& s, const std::vector<partcheck>& p, bool* whole) {
  const header& h = s.h;
  if (s.text[h.codeslen - 1] || s.text[h.textlen - 1]) return false;
  uint64_t ends = 0, co = 0;
  bool w = true;
  double sum = 0;
  for (const partcheck& r : p) {
    if (!r.ok || r.co0 != co) return false;
    ends += r.ends;
    co = r.co;
    w = w && r.whole;
    sum += r.sum;
  }
  if (ends != h.natotal || co != h.codeslen) return false;
  for (uint64_t i = 0; i < h.nrej; i++) {
    const rejrow& q = s.rej[i];
    if (q.slot < 0 || q.slot >= MAXNDICTS || q.u < 0 || q.u >= MAXUCP || q.count < 1 || q.line < 0) return false;
  }
  *whole = w && sum < 4e15;
  return true;
}

// Makes the slots' statistics those stored.
void putstats(const int32_t* stats, const rejrow* rej, uint64_t nrej) {
  for (int d = 0; d < MAXNDICTS; d++) resetdict(d);
  for (int k = 0; k < NSTATS; k++)
    for (int d = 0; d < MAXNDICTS; d++) slotstats[k][d] = stats[k * MAXNDICTS + d];
  dloaded = (unsigned)stats[NSTATS * MAXNDICTS];
  for (uint64_t i = 0; i < nrej; i++) setrejected(rej[i].slot, rej[i].u, rej[i].count, rej[i].line);
  line = 0;
}

const char* const reasons[] = {"read", "truncated", "of another format or machine", "of another key",
                               "with a wrong checksum", "damaged", "too large for memory"};

// Use the n bytes of a cache file (8-byte aligned) in place: CR_OK when they held key's index,
// now loaded and reading them until dictsfree; otherwise nothing is loaded.
int usebytes(char* b, size_t n, const std::string& key) {
  header h;
  if (n < sizeof h) return CR_SHORT;
  memcpy(&h, b, sizeof h);
  if (memcmp(h.magic, MAGIC, sizeof MAGIC) || h.format != FORMAT || h.layout != LAYOUT) return CR_FORMAT;
  if (h.keylen != key.size()) return CR_KEY;
  if (n < sizeof h + key.size()) return CR_SHORT;
  if (memcmp(b + sizeof h, key.data(), key.size())) return CR_KEY;
  // Sizes a writer can make, and a file of exactly the size they give.
  if (h.natotal < 1 || h.natotal > h.nrecs || h.nrecs > INT32_MAX || h.nheads > (uint64_t)HTABSZ ||
      !std::has_single_bit(h.nheads) || h.codeslen < 2 || h.codeslen >= h.textlen || h.nrej > (uint64_t)MAXNDICTS * MAXUCP)
    return CR_BAD;
  places p;
  if (!place(h, n, &p) || p.at[S_END] != n) return CR_SHORT;
  const int32_t* stats = (const int32_t*)(b + p.at[S_STATS]);
  const rejrow* rej = (const rejrow*)(b + p.at[S_REJ]);
  int* hash = (int*)(b + p.at[S_HASH]);
  answer* recs = (answer*)(b + p.at[S_RECS]);
  unsigned char* lens = (unsigned char*)(b + p.at[S_LENS]);
  const unsigned char* text = (const unsigned char*)(b + p.at[S_TEXT]);
  // The sum and the checks in runs taken by both threads; the checks read only what lies within
  // the file, so a file whose sum is wrong is as safe to check.
  answer** list = (answer**)plat_bigalloc(h.natotal * sizeof(answer*));
  if (!list) return CR_NOMEM;
  const sections sec{h, p, rej, hash, recs, lens, text, list};
  const char* after = b + sizeof h;
  const size_t len = n - sizeof h, np = npieces(len), nruns = (np + RUN - 1) / RUN;
  std::vector<uint64_t> sums(np);
  std::vector<partcheck> runs(nruns);
  std::atomic<size_t> next{0};
  std::atomic<bool> damaged{false};
  ontwo(dictthreads > 1, [&](int) {
    for (size_t i; !damaged.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < nruns;) {
      runs[i] = checkrun(sec, after, len, i * RUN, std::min(np, (i + 1) * RUN), sums.data());
      if (!runs[i].ok) damaged = true;
    }
  });
  // A run that found damage stops the others; its file is damaged whatever its sum.
  if (!damaged) {
    uint64_t sum = FORMAT;
    for (uint64_t v : sums) sum = foldsum(sum, v);
    if (sum != h.sum) {
      free(list);
      return CR_SUM;
    }
  }
  bool whole = false;
  if (damaged || !joinchecks(sec, runs, &whole)) {
    free(list);
    return CR_BAD;
  }
  putstats(stats, rej, h.nrej);
  atotal = (int)h.natotal;
  setweightkinds(whole, true);
  answerlist = list;
  answerrecs = recs;
  answerhash = hash;
  answerhashmask = (unsigned)h.nheads - 1;
  answerlen = lens;
  answertextbase = (uintptr_t)text;
  if (deb(DEB_DICT)) pstdout("Total unique answers by entry: %d\n", atotal);
  return CR_OK;
}

void trimcache(const std::string& dir) {
  std::vector<plat_direntry> files = plat_listdir(dir.c_str()), kept;
  int64_t old = (g_get_real_time() - (int64_t)24 * 3600 * 1000000) * 1000;
  for (const plat_direntry& e : files) {
    if (e.name.rfind("index-", 0) == 0) kept.push_back(e);
    // A temporary file of a write that never ended.
    else if (e.name.rfind(".zynsave", 0) == 0 && e.mtime_ns < old) plat_remove((dir + PLAT_SEP + e.name).c_str());
  }
  std::sort(kept.begin(), kept.end(), [](const plat_direntry& a, const plat_direntry& b) { return a.mtime_ns > b.mtime_ns; });
  for (size_t i = CACHEKEEP; i < kept.size(); i++) {
    std::string p = dir + PLAT_SEP + kept[i].name;
    if (!plat_remove(p.c_str())) trace("dropped", p);
  }
}
}  // namespace

std::string indexkey() {
  if (!prefint(PREF_DICT_CACHE) || deb(DEB_CANON)) return "";
  std::string k(MAGIC, sizeof MAGIC);
  putnum(k, FORMAT);
  putnum(k, LAYOUT);
  putnum(k, (uint64_t)glib_major_version << 32 | glib_minor_version << 16 | glib_micro_version);
  char pv[64] = "";
  pcre2_config(PCRE2_CONFIG_VERSION, pv);
  putstr(k, pv);
  std::string ak = alphakey();
  putnum(k, ak.size());
  k += ak;
  uint64_t total = 0;
  for (int d = 0; d < MAXNDICTS; d++) {
    putstr(k, dictpaths[d]);
    putstr(k, dsfilter[d]);
    putstr(k, dafilter[d]);
    putnum(k, (uint64_t)dminscore[d]);
    if (!dictpaths[d][0]) continue;
    plat_fileid id;
    if (plat_identify(dictpaths[d], &id) || !filterok(dsfilter[d]) || !filterok(dafilter[d])) return "";
    for (uint64_t v : {id.dev, id.ino, id.size, (uint64_t)id.mtime_ns, (uint64_t)id.ctime_ns}) putnum(k, v);
    total += id.size;
  }
  // The personal list's words and scores, in order.
  putnum(k, personalwords.size());
  for (const personalword& w : personalwords) {
    putstr(k, w.cf.c_str());
    putnum(k, (uint64_t)w.score);
  }
  if (total < (uint64_t)dictcachemin) return "";
  return k;
}

std::string cachename(const std::string& key) {
  char name[40];
  pbuf(name, sizeof name, "index-%016llx", (unsigned long long)sumbytes(key.data(), key.size(), 0));
  return name;
}

int readindex(FILE* f, const std::string& key) {
  long here = ftell(f);
  if (here < 0 || fseek(f, 0, SEEK_END)) return CR_SHORT;
  long end = ftell(f);
  if (end < 0 || fseek(f, here, SEEK_SET)) return CR_SHORT;
  size_t n = (size_t)(end - here);
  // Records are read where they lie, so the bytes need the alignment of a record.
  char* b = (char*)plat_bigalloc(pad8(n));
  if (!b) return CR_NOMEM;
  int r = fread(b, 1, n, f) == n ? usebytes(b, n, key) : CR_SHORT;
  if (r == CR_OK) cachebuf = b;
  else free(b);
  return r;
}

namespace {
// What a write needs besides the index itself, taken on the main thread, so that a write on
// a thread of its own reads nothing the main thread may change.
struct savejob {
  std::string key;
  std::vector<int32_t> stats;
  std::vector<rejrow> rej;
};

savejob newjob(const std::string& key) {
  savejob j{key, {}, {}};
  for (int k = 0; k < NSTATS; k++)
    for (int d = 0; d < MAXNDICTS; d++) j.stats.push_back(slotstats[k][d]);
  j.stats.push_back((int32_t)dloaded);
  for (int d = 0; d < MAXNDICTS; d++)
    for (int u : rejectedchars(d)) j.rej.push_back({d, u, rejcount[d][u], rejline[d][u]});
  return j;
}

// Set to make a write on the writer thread give up at its next piece; writerhalted tells that it
// did (read after the thread is joined).
std::atomic<bool> writerstop{false};
bool writerhalted;

// The bytes after the header, written and summed a piece at a time.
struct outstream {
  FILE* f;
  uint64_t sum = FORMAT;
  bool ok = true;
  std::vector<char> buf = std::vector<char>(PIECE);
  size_t n = 0, total = 0, pieces = 0;
  // Writes the piece in buf; the last flush may find it empty, which is no piece unless it is
  // the only one.
  void flush() {
    if (ok && writerstop.load(std::memory_order_relaxed)) ok = false, writerhalted = true;
    if (!ok) {
      n = 0;
      return;
    }
    if (n == 0 && pieces > 0) return;
    sum = foldsum(sum, sumbytes(buf.data(), n, pieces++));
    ok = fwrite(buf.data(), 1, n, f) == n;
    n = 0;
  }
  void put(const void* p, size_t len) {
    const char* c = (const char*)p;
    total += len;
    while (len && ok) {
      size_t k = std::min(len, PIECE - n);
      memcpy(buf.data() + n, c, k);
      n += k, c += k, len -= k;
      if (n == PIECE) flush();
    }
  }
  // Ends a section: zeros up to a multiple of 8 bytes.
  void pad() {
    static const char zeros[8] = {};
    put(zeros, pad8(total) - total);
  }
};

// A record as the file holds it: texts as offsets into the file's text, the next citation form
// as a record number plus one.
answer filerec(const answer* a, uint64_t cf, uint64_t codes, int32_t next, int hlink) {
  answer r;
  memset((void*)&r, 0, sizeof r);  // the padding too, so that a file's bytes are always the same
  r.weight = a->weight;
  r.cf.off = cf;
  r.answercodes.off = codes;
  r.acf.k = next;
  r.hlink = hlink;
  r.dmask = a->dmask;
  r.cfdmask = a->cfdmask;
  return r;
}

// Writes the loaded index, walking it rather than copying it, so that a write takes little
// memory besides what it reads.
int writejob(FILE* f, const savejob& j) {
  if (!atotal) return 1;
  header h;
  memset(&h, 0, sizeof h);
  memcpy(h.magic, MAGIC, sizeof MAGIC);
  h.format = FORMAT;
  h.layout = LAYOUT;
  h.keylen = j.key.size();
  h.natotal = atotal;
  h.nheads = (uint64_t)answerhashmask + 1;
  h.nrej = j.rej.size();
  uint64_t cfslen = 0;
  for (int i = 0; i < atotal; i++) {
    h.codeslen += answerlen[i] + 1;
    for (const answer* c = answerlist[i]; c; c = c->acf) {
      cfslen += strlen(c->cf) + 1;
      h.nrecs++;
    }
  }
  h.textlen = h.codeslen + cfslen;

  bool ok = fwrite(&h, sizeof h, 1, f) == 1;
  outstream o{f};
  o.put(j.key.data(), j.key.size());
  o.pad();
  o.put(j.stats.data(), j.stats.size() * sizeof(int32_t));
  o.pad();
  o.put(j.rej.data(), j.rej.size() * sizeof(rejrow));
  o.pad();
  o.put(answerhash, h.nheads * sizeof(int));
  // The records: the answers, then the further citation forms chain by chain. The texts go
  // in the same order: all codes, then each answer's citation forms.
  uint64_t codes = 0, cf = h.codeslen;
  int32_t cite = atotal;
  for (int i = 0; i < atotal && o.ok; i++) {
    const answer* a = answerlist[i];
    answer r = filerec(a, cf, codes, a->acf ? cite + 1 : 0, a->hlink);
    o.put(&r, sizeof r);
    codes += answerlen[i] + 1;
    for (const answer* c = a; c; c = c->acf) cf += strlen(c->cf) + 1;
    for (const answer* c = a->acf; c; c = c->acf) cite++;
  }
  codes = 0, cf = h.codeslen, cite = atotal;
  for (int i = 0; i < atotal && o.ok; i++) {
    const answer* a = answerlist[i];
    cf += strlen(a->cf) + 1;
    for (const answer* c = a->acf; c; c = c->acf) {
      answer r = filerec(c, cf, codes, c->acf ? cite + 2 : 0, -1);
      o.put(&r, sizeof r);
      cf += strlen(c->cf) + 1;
      cite++;
    }
    codes += answerlen[i] + 1;
  }
  o.put(answerlen, atotal);
  o.pad();
  for (int i = 0; i < atotal && o.ok; i++) o.put(answerlist[i]->answercodes, answerlen[i] + 1);
  for (int i = 0; i < atotal && o.ok; i++)
    for (const answer* c = answerlist[i]; c; c = c->acf) o.put(c->cf, strlen(c->cf) + 1);
  o.pad();
  o.flush();
  h.sum = o.sum;
  // The header goes in last; then back to the end, where a stream in memory takes its length
  // from.
  long end = ftell(f);
  ok = ok && o.ok && end > 0 && fseek(f, 0, SEEK_SET) == 0 && fwrite(&h, sizeof h, 1, f) == 1 &&
       fseek(f, end, SEEK_SET) == 0;
  return ok && !ferror(f) && fflush(f) == 0 ? 0 : 1;
}
}  // namespace

int writeindex(FILE* f, const std::string& key) { return writejob(f, newjob(key)); }

void cachereseal(std::string& bytes) {
  header h;
  if (bytes.size() < sizeof h) return;
  memcpy(&h, bytes.data(), sizeof h);
  h.sum = sumsection(bytes.data() + sizeof h, bytes.size() - sizeof h);
  memcpy(bytes.data(), &h, sizeof h);
}

bool cacheload(const std::string& key) {
  std::string dir = plat_cachedir(false);
  if (dir.empty()) return false;
  std::string path = dir + PLAT_SEP + cachename(key);
  plat_mapped m;
  if (plat_mapfile(path.c_str(), &m)) {
    trace("none at", path);
    return false;
  }
  int r = usebytes(m.p, m.n, key);
  if (r == CR_OK) cachemap = m;
  else plat_unmapfile(&m);
  if (r != CR_OK) {
    trace((std::string("not used: a file ") + reasons[r]).c_str(), path);
    return false;
  }
  plat_touch(path.c_str());
  trace(reasons[r], path);
  return true;
}

namespace {
void savefile(const savejob& j) {
  std::string dir = plat_cachedir(true);
  if (dir.empty()) {
    trace("not written: no folder of the user's own at", "$XDG_CACHE_HOME/zyn or ~/.cache/zyn");
    return;
  }
  std::string path = dir + PLAT_SEP + cachename(j.key);
  plat_newfile nf;
  nf.scratch = true;
  if (plat_newopen(nf, path.c_str())) {
    trace("not written:", path);
    return;
  }
  if (writejob(nf.f, j)) {
    plat_newabort(nf);
    trace("not written:", path);
    return;
  }
  if (plat_newcommit(nf)) {
    trace("not written:", path);
    return;
  }
  trace("wrote", path);
  trimcache(dir);
}

// The thread writing a cache file: it only reads the index, which stays as it is until
// cachewait (before it changes or goes, and at exit). job is what it writes, kept for
// cachehandoff.
struct writerthread {
  std::thread t;
  savejob job;
  ~writerthread() {
    if (t.joinable()) t.join();
  }
} writer;

void savejobfile(void* j) { savefile(*(const savejob*)j); }
}  // namespace

void cachesave(const std::string& key) {
  cachewait();
  savejob j = newjob(key);
  // A load does not wait for its file to be written; with traces, which keep their order only
  // on one thread, it does.
  if (!deb(DEB_DICT)) {
    try {
      writer.job = j;
      writerhalted = false;
      writer.t = std::thread([j] { savefile(j); });
      return;
    } catch (const std::system_error&) {
    }
  }
  savefile(j);
}

void cachewait() {
  if (writer.t.joinable()) writer.t.join();
}

void cachehandoff() {
  if (!writer.t.joinable()) return;
  writerstop = true;
  writer.t.join();
  writerstop = false;
  if (!writerhalted) return;  // it had finished
  // The thread has removed its unfinished file; a process of its own writes the whole of it
  // again, from this process's index as it is now, while this one ends.
  if (plat_background(savejobfile, &writer.job)) savefile(writer.job);
}

bool cachefree() {
  bool had = cachemap.p || cachebuf;
  plat_unmapfile(&cachemap);
  free(cachebuf);
  cachebuf = nullptr;
  return had;
}
