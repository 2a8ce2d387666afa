// The answer-index cache: its key, the file format with its checksum, reading, writing, and
// keeping the cache folder to a few files.
//
// A cache file is a header and then sections, each padded to 8 bytes: the key; the slots'
// counters and the loaded-slot mask; the rejected characters (slot, code point, count, first
// line); the hash chain heads in use, by chain; the records, the answers in index order and then
// the further citation forms chain by chain, with text offsets and record numbers in place of
// pointers; and the text: every answer's codes, then every citation form, each 0-terminated.
// Reading it is a copy, a checksum and one pass over the records, all in the order of the file.
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
constexpr uint64_t FORMAT = 2;  // raised whenever what a file holds, or how, changes

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
  uint64_t sum;  // of the sections, in order
  uint64_t keylen, natotal, nrecs, nheads, codeslen, textlen, nrej;
};

// A record as stored: an answer's fields in a record of the same size, so that records are read
// where they stay. Its texts are offsets with their lengths (offset | length << TEXTBITS), its
// next citation form a record number plus one (0 for none).
constexpr int TEXTBITS = 40;
constexpr uint64_t TEXTMASK = ((uint64_t)1 << TEXTBITS) - 1;
struct filerec {
  double weight;
  uint64_t cf, acf, codes;
  int32_t hlink;
  uint32_t masks;  // dmask | cfdmask << 12
};
static_assert(sizeof(filerec) == sizeof(answer));

struct headrow {
  int32_t chain, head;  // answerhash[chain] = head
};

struct rejrow {
  int32_t slot, u, count, line;
};

constexpr size_t NSTATWORDS = NSTATS * MAXNDICTS + 1;  // the counters, then dloaded

char* cachetext;  // the texts of an index read from the cache

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
  for (; i + 32 <= n; i += 32)
    for (int j = 0; j < 4; j++) {
      uint64_t w;
      memcpy(&w, b + i + 8 * j, 8);
      h[j] = step(h[j], w);
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

// A section's checksum, going on from seed: the sums of its pieces of PIECE bytes in turn, so
// that the writer can sum what it writes a piece at a time.
constexpr size_t PIECE = 64 << 10;
uint64_t sumsection(const void* p, size_t n, uint64_t seed) {
  const char* b = (const char*)p;
  for (size_t at = 0; at < n || at == 0; at += PIECE) seed = sumbytes(b + at, std::min(PIECE, n - at), seed);
  return seed;
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

// The bytes of each section as the file lays them out, and their checksum.
struct sections {
  std::string key;
  std::vector<int32_t> stats;
  std::vector<rejrow> rej;
  std::vector<headrow> heads;
  const void* recs;
  const char* text;
  header h;

  size_t recbytes() const { return h.nrecs * sizeof(filerec); }
  uint64_t sum() const {
    uint64_t s = sumsection(key.data(), key.size(), FORMAT);
    s = sumsection(stats.data(), stats.size() * sizeof(int32_t), s);
    s = sumsection(rej.data(), rej.size() * sizeof(rejrow), s);
    s = sumsection(heads.data(), heads.size() * sizeof(headrow), s);
    s = sumsection(recs, recbytes(), s);
    return sumsection(text, h.textlen, s);
  }
  // Bytes after the header and the key.
  size_t rest() const {
    return pad8(NSTATWORDS * sizeof(int32_t)) + pad8(h.nrej * sizeof(rejrow)) + pad8(h.nheads * sizeof(headrow)) +
           recbytes() + pad8(h.textlen);
  }
};

bool readpadded(FILE* f, void* p, size_t n) {
  char pad[8];
  return fread(p, 1, n, f) == n && fread(pad, 1, pad8(n) - n, f) == pad8(n) - n;
}

// Bytes from the stream's position to its end, -1 when unknown.
long remaining(FILE* f) {
  long here = ftell(f);
  if (here < 0 || fseek(f, 0, SEEK_END)) return -1;
  long end = ftell(f);
  if (fseek(f, here, SEEK_SET)) return -1;
  return end - here;
}

// Whether no byte of n is above MAXICC, eight at a time: adding 127 - MAXICC to a byte above
// it sets its top bit, which the bytes from 128 up have already.
bool allcodes(const unsigned char* p, size_t n) {
  static_assert(MAXICC < 127);
  constexpr uint64_t ADD = 0x0101010101010101ULL * (127 - MAXICC), TOP = 0x8080808080808080ULL;
  uint64_t acc = 0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    memcpy(&w, p + i, 8);
    acc |= (w + ADD) | w;
  }
  acc &= TOP;
  for (; i < n; i++) acc |= p[i] > MAXICC;
  return !acc;
}

// Checks every record and turns its offsets into pointers; false for anything a writer cannot
// have made, so that no damaged file that passed the checksum leads anywhere outside the index,
// into a loop, or to a code outside the alphabet's range.
bool relocate(answer* recs, const sections& s, char* text, unsigned char* lens) {
  const header& h = s.h;
  // Every byte of the codes is a code or a terminator, and the last a terminator.
  if (text[h.codeslen - 1] || !allcodes((const unsigned char*)text, h.codeslen)) return false;
  for (uint64_t i = 0; i < h.nrecs; i++) {
    filerec fr;
    memcpy(&fr, &recs[i], sizeof fr);
    uint64_t co = fr.codes & TEXTMASK, cl = fr.codes >> TEXTBITS, fo = fr.cf & TEXTMASK, fl = fr.cf >> TEXTBITS;
    if (cl == 0 || cl > (uint64_t)MXANSLEN || cl >= h.codeslen || co >= h.codeslen - cl || !text[co] ||
        text[co + cl] || fl >= (uint64_t)SLEN || fl >= h.textlen || fo < h.codeslen || fo >= h.textlen - fl ||
        text[fo + fl])
      return false;
    if (i < h.natotal) lens[i] = (unsigned char)cl;
    // Chains run forwards into the citation records and hash chains backwards, so that none
    // can loop.
    if (fr.acf && (fr.acf - 1 <= i || fr.acf - 1 < h.natotal || fr.acf - 1 >= h.nrecs)) return false;
    if (i < h.natotal ? fr.hlink < -1 || fr.hlink >= (int64_t)i : fr.hlink != -1) return false;
    if ((fr.masks & ~0x3ff3ffu) || !(fr.weight > 0) || !std::isfinite(fr.weight)) return false;
    answer a;
    a.weight = fr.weight;
    a.cf = text + fo;
    a.acf = fr.acf ? &recs[fr.acf - 1] : nullptr;
    a.answercodes = text + co;
    a.hlink = fr.hlink;
    a.dmask = fr.masks & 0xfff;
    a.cfdmask = fr.masks >> 12;
    a.banned = 0;
    recs[i] = a;
  }
  int32_t last = -1;
  for (const headrow& r : s.heads) {
    if (r.chain <= last || r.chain >= HTABSZ || r.head < 1 || (uint64_t)r.head > h.natotal) return false;
    last = r.chain;
  }
  for (const rejrow& r : s.rej)
    if (r.slot < 0 || r.slot >= MAXNDICTS || r.u < 0 || r.u >= MAXUCP || r.count < 1 || r.line < 0) return false;
  return true;
}

// Makes the slots' statistics those stored.
void putstats(const sections& s) {
  for (int d = 0; d < MAXNDICTS; d++) resetdict(d);
  for (int k = 0; k < NSTATS; k++)
    for (int d = 0; d < MAXNDICTS; d++) slotstats[k][d] = s.stats[k * MAXNDICTS + d];
  dloaded = (unsigned)s.stats[NSTATS * MAXNDICTS];
  for (const rejrow& r : s.rej) setrejected(r.slot, r.u, r.count, r.line);
  line = 0;
}

const char* const reasons[] = {"read", "truncated", "of another format or machine", "of another key",
                               "with a wrong checksum", "damaged", "too large for memory"};

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
  sections s;
  header& h = s.h;
  if (fread(&h, sizeof h, 1, f) != 1) return CR_SHORT;
  if (memcmp(h.magic, MAGIC, sizeof MAGIC) || h.format != FORMAT || h.layout != LAYOUT) return CR_FORMAT;
  if (h.keylen != key.size()) return CR_KEY;
  s.key.resize(key.size());
  if (!readpadded(f, s.key.data(), key.size())) return CR_SHORT;
  if (s.key != key) return CR_KEY;
  // Sizes a writer can make, and a file of exactly the size they give, before any is allocated.
  if (h.natotal < 1 || h.natotal > h.nrecs || h.nrecs > INT32_MAX || h.nheads > h.natotal || h.codeslen < 2 ||
      h.codeslen >= h.textlen || h.textlen > TEXTMASK || h.nrej > (uint64_t)MAXNDICTS * MAXUCP)
    return CR_BAD;
  long left = remaining(f);
  if (left < 0 || (size_t)left != s.rest()) return CR_SHORT;

  s.stats.resize(NSTATWORDS);
  s.rej.resize(h.nrej);
  s.heads.resize(h.nheads);
  int* hash = newhash((int)std::min<uint64_t>(h.natotal, INT32_MAX));
  answer* recs = (answer*)plat_bigalloc(s.recbytes());
  answer** list = (answer**)plat_bigalloc(h.natotal * sizeof(answer*));
  char* text = (char*)plat_bigalloc(h.textlen);
  unsigned char* lens = (unsigned char*)malloc(h.natotal);
  s.recs = recs, s.text = text;
  int r = CR_OK;
  if (!hash || !recs || !list || !text || !lens) r = CR_NOMEM;
  else if (!readpadded(f, s.stats.data(), NSTATWORDS * sizeof(int32_t)) ||
           !readpadded(f, s.rej.data(), h.nrej * sizeof(rejrow)) ||
           !readpadded(f, s.heads.data(), h.nheads * sizeof(headrow)) || !readpadded(f, recs, s.recbytes()) ||
           !readpadded(f, text, h.textlen))
    r = CR_SHORT;
  else if (s.sum() != h.sum) r = CR_SUM;
  else if (!relocate(recs, s, text, lens)) r = CR_BAD;
  if (r != CR_OK) {
    free(lens);
    free(hash);
    free(recs);
    free(list);
    free(text);
    return r;
  }
  putstats(s);
  for (uint64_t i = 0; i < h.natotal; i++) list[i] = &recs[i];
  for (const headrow& hr : s.heads) hash[hr.chain] = hr.head;
  atotal = (int)h.natotal;
  answerlist = list;
  answerrecs = recs;
  answerhash = hash;
  answerlen = lens;
  cachetext = text;
  if (deb(DEB_DICT)) pstdout("Total unique answers by entry: %d\n", atotal);
  return CR_OK;
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

// A section written and summed a piece at a time, and padded at its end.
struct outsection {
  FILE* f;
  uint64_t* sum;
  bool* ok;
  std::vector<char> buf = std::vector<char>(PIECE);
  size_t n = 0, total = 0;
  void flush() {
    if (*ok && writerstop.load(std::memory_order_relaxed)) *ok = false, writerhalted = true;
    if (!*ok) {
      n = 0;
      return;
    }
    *sum = sumbytes(buf.data(), n, *sum);
    *ok = *ok && fwrite(buf.data(), 1, n, f) == n;
    total += n;
    n = 0;
  }
  void put(const void* p, size_t len) {
    const char* c = (const char*)p;
    while (len && *ok) {
      size_t k = std::min(len, PIECE - n);
      memcpy(buf.data() + n, c, k);
      n += k, c += k, len -= k;
      if (n == PIECE) flush();
    }
  }
  void end() {
    if (n || !total) flush();
    static const char zeros[8] = {};
    *ok = *ok && fwrite(zeros, 1, pad8(total) - total, f) == pad8(total) - total;
  }
};

// Writes the loaded index, walking it rather than copying it, so that a write takes little
// memory besides what it reads.
int writejob(FILE* f, const savejob& j) {
  if (!atotal) return 1;
  auto masks = [](const answer* a) { return (uint32_t)a->dmask | (uint32_t)a->cfdmask << 12; };
  header h;
  memset(&h, 0, sizeof h);
  memcpy(h.magic, MAGIC, sizeof MAGIC);
  h.format = FORMAT;
  h.layout = LAYOUT;
  h.keylen = j.key.size();
  h.natotal = atotal;
  h.nrej = j.rej.size();
  uint64_t cfslen = 0;
  for (int i = 0; i < atotal; i++) {
    h.codeslen += strlen(answerlist[i]->answercodes) + 1;
    for (const answer* c = answerlist[i]; c; c = c->acf) {
      cfslen += strlen(c->cf) + 1;
      h.nrecs++;
    }
  }
  h.textlen = h.codeslen + cfslen;
  for (int c = 0; c < HTABSZ; c++) h.nheads += answerhash[c] != 0;

  uint64_t sum = FORMAT;
  bool ok = fwrite(&h, sizeof h, 1, f) == 1;
  auto section = [&] { return outsection{f, &sum, &ok}; };
  outsection k = section();
  k.put(j.key.data(), j.key.size());
  k.end();
  outsection st = section();
  st.put(j.stats.data(), j.stats.size() * sizeof(int32_t));
  st.end();
  outsection rj = section();
  rj.put(j.rej.data(), j.rej.size() * sizeof(rejrow));
  rj.end();
  outsection hd = section();
  for (int c = 0; c < HTABSZ; c++)
    if (answerhash[c]) {
      headrow r{c, answerhash[c]};
      hd.put(&r, sizeof r);
    }
  hd.end();
  // The records: the answers, then the further citation forms chain by chain. The texts go
  // in the same order: all codes, then each answer's citation forms.
  outsection rc = section();
  uint64_t codes = 0, cf = h.codeslen, cite = atotal;
  auto text = [](uint64_t off, const char* s) { return off | (uint64_t)strlen(s) << TEXTBITS; };
  for (int i = 0; i < atotal && ok; i++) {
    const answer* a = answerlist[i];
    filerec r{a->weight, text(cf, a->cf), a->acf ? cite + 1 : 0, text(codes, a->answercodes), a->hlink, masks(a)};
    rc.put(&r, sizeof r);
    codes += strlen(a->answercodes) + 1;
    for (const answer* c = a; c; c = c->acf) cf += strlen(c->cf) + 1;
    for (const answer* c = a->acf; c; c = c->acf) cite++;
  }
  codes = 0, cf = h.codeslen, cite = atotal;
  for (int i = 0; i < atotal && ok; i++) {
    const answer* a = answerlist[i];
    uint64_t co = text(codes, a->answercodes);
    codes += strlen(a->answercodes) + 1;
    cf += strlen(a->cf) + 1;
    for (const answer* c = a->acf; c; c = c->acf) {
      filerec r{c->weight, text(cf, c->cf), c->acf ? cite + 2 : 0, co, -1, masks(c)};
      rc.put(&r, sizeof r);
      cf += strlen(c->cf) + 1;
      cite++;
    }
  }
  rc.end();
  outsection tx = section();
  for (int i = 0; i < atotal && ok; i++) tx.put(answerlist[i]->answercodes, strlen(answerlist[i]->answercodes) + 1);
  for (int i = 0; i < atotal && ok; i++)
    for (const answer* c = answerlist[i]; c; c = c->acf) tx.put(c->cf, strlen(c->cf) + 1);
  tx.end();
  h.sum = sum;
  // The header goes in last; then back to the end, where a stream in memory takes its length
  // from.
  long end = ftell(f);
  ok = ok && end > 0 && fseek(f, 0, SEEK_SET) == 0 && fwrite(&h, sizeof h, 1, f) == 1 && fseek(f, end, SEEK_SET) == 0;
  return ok && !ferror(f) && fflush(f) == 0 ? 0 : 1;
}
}  // namespace

int writeindex(FILE* f, const std::string& key) { return writejob(f, newjob(key)); }

void cachereseal(std::string& bytes) {
  header h;
  if (bytes.size() < sizeof h) return;
  memcpy(&h, bytes.data(), sizeof h);
  // Each section where the header's counts put it, as far as the bytes go: a file too short for
  // them is refused by its size anyway.
  size_t at = sizeof h;
  uint64_t sum = FORMAT;
  for (uint64_t n : {h.keylen, (uint64_t)NSTATWORDS * sizeof(int32_t), h.nrej * sizeof(rejrow),
                     h.nheads * sizeof(headrow), h.nrecs * sizeof(filerec), h.textlen}) {
    size_t from = std::min(at, bytes.size());
    size_t len = (size_t)std::min<uint64_t>(n, bytes.size() - from);
    sum = sumsection(bytes.data() + from, len, sum);
    at = from + pad8(len);
  }
  h.sum = sum;
  memcpy(bytes.data(), &h, sizeof h);
}

bool cacheload(const std::string& key) {
  std::string dir = plat_cachedir(false);
  if (dir.empty()) return false;
  std::string path = dir + PLAT_SEP + cachename(key);
  FILE* f = plat_fopenplain(path.c_str());
  if (!f) {
    trace("none at", path);
    return false;
  }
  int r = readindex(f, key);
  fclose(f);
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

void cachefree() {
  free(cachetext);
  cachetext = nullptr;
}
