// The dictionary store: canonical answers of words, per-slot storage blocks and statistics,
// and the sorted, merged and hashed answer index built from all slots.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "dicts/dicts.h"

#include <pcre2.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <system_error>
#include <thread>
#include <vector>

#include "core/message.h"
#include "dicts/dictcache.h"
#include "dicts/personal.h"
#include "platform/platform.h"

char dictpaths[MAXNDICTS][SLEN], dsfilter[MAXNDICTS][SLEN], dafilter[MAXNDICTS][SLEN];
int dminscore[MAXNDICTS];

int atotal = 0;
answer** answerlist = nullptr;
answer* answerrecs = nullptr;
uintptr_t answertextbase = 0;
int* answerhash = nullptr;
unsigned answerhashmask = 0;
unsigned char* answerlen = nullptr;
unsigned int indexgen = 0;

namespace {
bool weightsknown;  // wholeweights and posweights hold for the index as it is
bool wholeweights, posweights;

// The kinds of the weights seen one by one, made the index's by settle.
struct weighttally {
  bool whole = true, positive = true;
  double sum = 0;
  void add(double wt) {
    whole = whole && wholeweight(wt);
    positive = positive && wt > 0;
    sum += wt;
  }
  void settle() const { setweightkinds(whole && sum < 4e15, positive); }
};
}  // namespace

void setweightkinds(bool whole, bool positive) {
  wholeweights = whole;
  posweights = positive;
  weightsknown = true;
}

void answerweightkinds(bool* whole, bool* positive) {
  if (!weightsknown) {
    weighttally t;
    for (int i = 0; i < atotal; i++) t.add(answerlist[i]->weight);
    t.settle();
  }
  *whole = wholeweights;
  *positive = posweights;
}

int line = 0;
int nusable[MAXNDICTS], nafterff[MAXNDICTS], nafteraf[MAXNDICTS], naftermin[MAXNDICTS], nnoword[MAXNDICTS];
const rejview rejcount{false}, rejline{true};
unsigned int dloaded = 0;

dblock* dstrings[MAXNDICTS];
int dictthreads = 2;

namespace {
dblock* dtails[MAXNDICTS];     // last block of each slot's chain
dblock* pchain;                // the personal list's entries
std::map<int, dictsink::rejected> rejtab[MAXNDICTS];  // each slot's rejected characters by code point

// 10^(k/10) for a sum of scores held in tenths, capped at 1e10.
double scoreweight(int k) {
  static const std::array<double, 201> tab = [] {
    std::array<double, 201> t;
    for (int i = 0; i <= 200; i++) t[i] = pow(10.0, (i - 100) / 10.0);
    return t;
  }();
  if (k >= 100) return 1e10;
  if (k >= -100) return tab[k + 100];
  // Many entries of negative score: keep the weight positive.
  return std::max(pow(10.0, k / 10.0), DBL_MIN);
}

// Match a filter against a whole subject with the sink's match data. A JIT stack overflow is
// retried by the interpreter so that JIT compilation never changes a result. A subject known to
// be valid UTF-8 (a citation form: the readers pass nothing else) is not checked again.
int runfilter(dictsink* k, pcre2_code* re, const char* s, size_t n, bool valid) {
  if (!k->md) {
    k->md = pcre2_match_data_create(40, nullptr);
    if (!k->md) return PCRE2_ERROR_NOMEMORY;
  }
  uint32_t opts = valid ? PCRE2_NO_UTF_CHECK : 0;
  // A valid subject and a compiled filter take the shorter road into the compiled code.
  size_t jit = 0;
  int rc = valid && pcre2_pattern_info(re, PCRE2_INFO_JITSIZE, &jit) == 0 && jit
               ? pcre2_jit_match(re, (PCRE2_SPTR)s, n, 0, opts, k->md, nullptr)
               : pcre2_match(re, (PCRE2_SPTR)s, n, 0, opts, k->md, nullptr);
  if (rc == PCRE2_ERROR_JIT_STACKLIMIT) rc = pcre2_match(re, (PCRE2_SPTR)s, n, 0, opts | PCRE2_NO_JIT, k->md, nullptr);
  if (rc < -1 && deb(DEB_DICT)) pstdout("PCRE error %d\n", rc);
  return rc;
}

int store(dictsink* k, const char* cf, size_t n, const unsigned char* ans, int na, float score) {
  if (!k->tail || k->used + (int)n + na + 4 > DBLKSZ) {
    dblock* b = (dblock*)malloc(sizeof(dblock));
    if (!b) return -2;
    b->next = nullptr;
    b->count = 0;
    if (k->tail) k->tail->next = b;
    else k->head = b;
    k->tail = b;
    k->used = 0;
  }
  unsigned char* p = k->tail->data + k->used;
  p[0] = (unsigned char)floor(score * 10 + 128.5);
  p[1] = (unsigned char)k->d;
  memcpy(p + 2, ans, na + 1);
  memcpy(p + 3 + na, cf, n + 1);
  k->used += (int)n + na + 4;
  k->tail->count++;
  return 1;
}

void freechain(dblock* b) {
  while (b) {
    dblock* nx = b->next;
    free(b);
    b = nx;
  }
}
}  // namespace

dictsink::dictsink(int slot) : d(slot), minscore(slot < MAXNDICTS ? dminscore[slot] : 0) {}

dictsink::~dictsink() {
  freechain(head);
  pcre2_match_data_free(md);
}

void addsink(dictsink* k) {
  int d = k->d;
  if (k->head) {
    if (dtails[d]) dtails[d]->next = k->head;
    else dstrings[d] = k->head;
    dtails[d] = k->tail;
  }
  k->head = k->tail = nullptr;
  k->used = 0;
  nusable[d] += k->nusable;
  nafterff[d] += k->nafterff;
  nafteraf[d] += k->nafteraf;
  naftermin[d] += k->naftermin;
  nnoword[d] += k->nnoword;
  for (auto& [u, r] : k->rej) setrejected(d, u, r.count, line + r.line);
  line += k->line;
  k->rej.clear();
  k->nusable = k->nafterff = k->nafteraf = k->naftermin = k->nnoword = k->line = 0;
}

int rejview::row::operator[](int u) const {
  auto it = rejtab[d].find(u);
  if (it == rejtab[d].end()) return lines ? -1 : 0;
  return lines ? it->second.line : it->second.count;
}

std::vector<int> rejectedchars(int d) {
  std::vector<int> r;
  for (const auto& [u, x] : rejtab[d]) r.push_back(u);
  return r;
}

void setrejected(int d, int u, int count, int ln) {
  auto [it, fresh] = rejtab[d].try_emplace(u, dictsink::rejected{0, ln});
  it->second.count += count;
}

size_t latin1toutf8(const char* in, size_t n, char* out) {
  size_t o = 0;
  for (size_t i = 0; i < n; i++) {
    unsigned char c = in[i];
    if (c < 0x80) {
      out[o++] = (char)c;
    } else {
      out[o++] = (char)(0xC0 | c >> 6);
      out[o++] = (char)(0x80 | (c & 0x3F));
    }
  }
  out[o] = 0;
  return o;
}

void freedict(int d) {
  freechain(dstrings[d]);
  dstrings[d] = dtails[d] = nullptr;
}

void resetdict(int d) {
  rejtab[d].clear();
  nusable[d] = nafterff[d] = nafteraf[d] = naftermin[d] = nnoword[d] = 0;
  line = 0;
}

int adddictword(dictsink* sk, const char* citation, pcre2_code_8* ff, pcre2_code_8* af, float score, float s100) {
  unsigned char ans[MXANSLEN + 1];
  char canon[MXANSLEN * 16 + 1];  // icctext of each ICC, for the answer filter and traces
  bool wantcanon = af || deb(DEB_CANON);
  int k = 0;
  size_t cl = 0;
  auto append = [&](int c) {
    if (k == MXANSLEN) return false;
    ans[k++] = (unsigned char)c;
    if (wantcanon) {
      size_t l = strlen(icctext[c]);
      memcpy(canon + cl, icctext[c], l);
      cl += l;
    }
    return true;
  };
  // The code points as utf8tocps gives them (unprintable ones dropped), decoded here on the
  // way, as this runs for every word of every list.
  const unsigned char* q = (const unsigned char*)citation;
  for (int ncp = 0; *q && ncp < SLEN - 1;) {
    unsigned u = *q++;
    if (u >= 0x20 && u <= 0x7e) {
      ncp++;
      if (u == 0x20) continue;  // spaces are dropped silently
    } else if (u < 0xc0 || u >= 0xfe) {
      continue;
    } else {
      int more = u < 0xe0 ? 1 : u < 0xf0 ? 2 : u < 0xf8 ? 3 : u < 0xfc ? 4 : 5;
      u &= 0x3fu >> more;
      for (; more > 0 && *q; more--) u = u << 6 | (*q++ & 0x3fu);
      if (more || !g_unichar_isprint(u)) continue;
      ncp++;
      if (u >= MAXUCP || !g_unichar_isgraph(u)) continue;
    }
    if (int c = cptoicc[u]) {
      if (!append(c)) return 0;
    } else if (int s = cpsubst[u]) {
      for (int p : substpair[s])
        if (p > 0 && p < MAXUCP && cptoicc[p] && !append(cptoicc[p])) return 0;
    } else {
      auto [it, fresh] = sk->rej.try_emplace(u, dictsink::rejected{0, sk->line});
      it->second.count++;
    }
  }
  size_t n = *q ? strlen(citation) : (size_t)((const char*)q - citation);
  ans[k] = 0;
  canon[cl] = 0;
  if (deb(DEB_CANON)) {
    pstdout("adddictword: citation=<%s> canonical UTF-8=<%s> canonical ICC=<", citation, canon);
    for (int i = 0; i < k; i++) pstdout("%s", icctext[ans[i]]);
    pstdout(">\n  Unicode:");
    for (int i = 0; i < k; i++) pstdout(" U+%06X", icccp[ans[i]]);
    pstdout("\n");
  }
  if (k == 0) {
    if (deb(DEB_CANON)) pstdout("  too short\n");
    return 0;
  }
  sk->nusable++;
  if (ff && runfilter(sk, ff, citation, n, true) < 0) {
    if (deb(DEB_CANON)) pstdout("  failed file filter\n");
    return 0;
  }
  sk->nafterff++;
  // The alphabet's texts may be anything a user typed or a document held.
  if (af && runfilter(sk, af, canon, cl, false) < 0) {
    if (deb(DEB_CANON)) pstdout("  failed answer filter\n");
    return 0;
  }
  sk->nafteraf++;
  if (s100 < sk->minscore) {
    if (deb(DEB_CANON)) pstdout("  below the minimum score\n");
    return 0;
  }
  sk->naftermin++;
  return store(sk, citation, n, ans, k, score);
}

int anscmp(const answer* a, const answer* b) {
  int r = strcmp(a->answercodes, b->answercodes);  // strcmp compares as unsigned bytes
  return r ? r : strcmp(a->cf, b->cf);
}

void dictsidle() { cachewait(); }

void dictsexit() {
  cachehandoff();
  dictsfree();
}

void dictsfree() {
  dictsidle();
  for (int d = 0; d < MAXNDICTS; d++) freedict(d);
  // An index read from the cache has its records, hash and lengths in the file's bytes.
  if (!cachefree()) {
    free(answerrecs);
    free(answerhash);
    free(answerlen);
  }
  freechain(pchain);
  pchain = nullptr;
  free(answerlist);
  answerrecs = nullptr;
  answerlist = nullptr;
  atotal = 0;
  answerhash = nullptr;
  answerlen = nullptr;
  answertextbase = 0;
  weightsknown = false;
  indexgen++;
}

int* newhash(int n) {
  // One chain per answer or two, so that a look-up meets about one other answer.
  const unsigned heads = std::min<unsigned>(HTABSZ, std::bit_ceil((unsigned)std::max(n, 64)));
  answerhashmask = heads - 1;
  // A short list's table comes from the system's zeroed memory; a long one's is touched whole,
  // and huge pages make that cheap.
  if (n < HTABSZ / 16) return (int*)calloc(heads, sizeof(int));
  int* h = (int*)plat_bigalloc(heads * sizeof(int));
  if (h) memset(h, 0, heads * sizeof(int));
  return h;
}

int findanswer(const char* icc) {
  if (!atotal) return -1;
  for (int i = answerhash[anshash(icc) & answerhashmask] - 1; i >= 0; i = answerlist[i]->hlink)
    if (!strcmp(answerlist[i]->answercodes, icc)) return i;
  return -1;
}

namespace {
// Zyn's score of a personal score: Never use (0) is the lowest score there is, which no other
// entry has, so that the index can tell it.
float personalz(int score) { return score == 0 ? -10 : zynscore((float)score); }

// The personal words into their own chain; the number stored, or -2 when memory ran out.
int loadpersonal() {
  dictsink k(PERSONAL);
  for (const personalword& w : personalwords)
    if (adddictword(&k, w.cf.c_str(), nullptr, nullptr, personalz(w.score), (float)w.score) == -2) return -2;
  pchain = k.head;
  k.head = k.tail = nullptr;
  return k.naftermin;
}

// The masks of a personal entry: every slot, or none for a word never to be used (-10).
unsigned personalmask(int tenths) { return tenths <= -100 ? 0 : ALLSLOTS; }

int outofmemory(int quiet) {
  dictsfree();
  if (!quiet) errbox("Out of memory loading dictionaries");
  return 4;
}

// The sort goes over one pair per stored entry: a key holding the answer's first ten codes
// (6 bits each; codes are 1..61 and the terminator 0 sorts first), so that most comparisons
// need no look at the entry, and the entry's answer. Entries equal in answer and citation form
// may come in any order: the merge gives the same index for every order.
struct sortpair {
  uint64_t key;
  const char* codes;  // the entry's answer; its citation form follows
};

const char* cfof(const char* codes) { return codes + strlen(codes) + 1; }

// The order of anscmp.
bool pairless(const sortpair& x, const sortpair& y) {
  if (x.key != y.key) return x.key < y.key;
  int c = strcmp(x.codes, y.codes);
  if (!c) c = strcmp(cfof(x.codes), cfof(y.codes));
  if (c) return c < 0;
  // Equal entries in slot order, the higher score first within a slot: the first entry of a
  // citation form gives its weight, so the order must not depend on where the blocks were
  // allocated.
  const unsigned char *ex = (const unsigned char*)x.codes - 2, *ey = (const unsigned char*)y.codes - 2;
  if (ex[1] != ey[1]) return ex[1] < ey[1];
  if (ex[0] != ey[0]) return ex[0] > ey[0];
  return std::less<const char*>()(x.codes, y.codes);
}

// The pairs of block b's entries, from out on.
void makepairs(const dblock* b, sortpair* out) {
  const unsigned char* p = b->data;
  for (int j = 0; j < b->count; j++) {
    const char* s = (const char*)p + 2;
    uint64_t v = 0;
    const char* q = s;
    for (int i = 0; i < 10; i++) v = v << 6 | (unsigned char)(*q ? *q++ : 0);
    *out++ = {v, s};
    const char* cf = q + strlen(q) + 1;
    p = (const unsigned char*)cf + strlen(cf) + 1;
  }
}

// Sorts the pairs, on two threads when there are many: the pairs are split around a sampled
// key, so that every pair of the first part sorts before every pair of the second.
void sortpairs(sortpair* v, int n) {
  bool two = dictthreads > 1 && n >= 100000;
  sortpair* mid = v;
  if (two) {
    std::vector<uint64_t> sample;
    for (int i = 0; i < 1023; i++) sample.push_back(v[(long)i * n / 1023].key);
    std::nth_element(sample.begin(), sample.begin() + 511, sample.end());
    uint64_t pivot = sample[511];
    mid = std::partition(v, v + n, [pivot](const sortpair& p) { return p.key < pivot; });
  }
  ontwo(two, [&](int part) {
    if (part == 0) std::sort(v, mid, pairless);
    else std::sort(mid, v + n, pairless);
  });
}
}  // namespace

namespace {
// Reads every slot and builds the index from them.
int readslots(int quiet) {
  int total = 0;
  bool failed = false;
  for (int d = 0; d < MAXNDICTS; d++) {
    int r = dictload(d, quiet);
    if (r == -2) return outofmemory(quiet);
    if (r < 0) {
      // What a slot read before it failed is not used.
      failed = true;
      freedict(d);
    } else if (r > 0) {
      total += r;
      dloaded |= 1u << d;
    }
  }
  int np = loadpersonal();
  if (np < 0) return outofmemory(quiet);
  total += np;
  if (total == 0) {
    if (!quiet) errbox("No words available from any dictionary");
    dictsfree();
    return 2;
  }
  // A slot that cannot be loaded was reported; the others are indexed all the same.
  atotal = total;
  if (deb(DEB_DICT)) pstdout("atotal=%9d\n", atotal);
  answerrecs = (answer*)plat_bigalloc(sizeof(answer) * atotal);
  answerlist = (answer**)plat_bigalloc(sizeof(answer*) * atotal);
  answerhash = newhash(atotal);
  answerlen = (unsigned char*)malloc(atotal);
  if (!answerrecs || !answerlist || !answerhash || !answerlen) return outofmemory(quiet);

  // The pairs live at the end of answerrecs' memory, where the records, written in sorted
  // order from the front, reach pair i only once it has been read: record i ends at byte
  // 40(i+1), pair i+1 starts at byte 24n + 16(i+1), and i < n.
  static_assert(sizeof(answer) == 40 && sizeof(sortpair) == 16);
  const int n = atotal;
  sortpair* pairs = (sortpair*)((char*)answerrecs + (sizeof(answer) - sizeof(sortpair)) * (size_t)n);
  // Blocks in load order, and the index of each one's first entry, to share the pairs out.
  std::vector<std::pair<dblock*, int>> blocks;
  int k = 0;
  for (int d = 0; d <= MAXNDICTS; d++)
    for (dblock* b = d < MAXNDICTS ? dstrings[d] : pchain; b; b = b->next) {
      blocks.push_back({b, k});
      k += b->count;
    }
  if (deb(DEB_DICT)) pstdout("k=%9d\n", k);
  assert(k == n);
  size_t half = blocks.size() / 2;
  bool two = dictthreads > 1 && n >= 100000;
  ontwo(two, [&](int part) {
    size_t from = part ? half : 0, to = part ? blocks.size() : half;
    for (size_t i = from; i < to; i++) makepairs(blocks[i].first, pairs + blocks[i].second);
    // The memory the merge below writes all of, and that is new to the process, is touched
    // here on both threads rather than one page at a time in the merge.
    if (two && part == 0) memset((void*)answerrecs, 0, (char*)pairs - (char*)answerrecs);
  });
  sortpairs(pairs, n);

  // One pass in sorted order writes the records and merges equal answers. Scores are summed as
  // tenths, so the weight is 10 to the sum of the scores whatever the order of the entries (a
  // running product could overflow or underflow); the sum is kept in the weight until the end.
  // Entries and hash chains are met in no useful order, so each is fetched some steps ahead:
  // the entry of a pair a few pairs on, and the chain head of an answer, which joins its chain
  // a few answers later (answers still join in index order, so each chain lists them from the
  // highest index down).
  constexpr int AHEAD = 8;
  struct pending {
    int i;
    unsigned int h;
  } ring[AHEAD];
  auto link = [&](const pending& p) {
    int* head = &answerhash[p.h];
    answerlist[p.i]->hlink = *head - 1;
    *head = p.i + 1;
  };
  int na = 0;
  answer *A = nullptr, *T = nullptr, *prev = nullptr;
  bool Apersonal = false;  // A's answer has a personal entry
  uint64_t prevkey = 0;
  for (int i = 0; i < n; i++) {
    sortpair sp;
    memcpy(&sp, (const char*)pairs + sizeof(sortpair) * i, sizeof sp);  // bytes, as records overwrite pairs
    if (i + AHEAD < n) {
      const char* ahead;
      memcpy(&ahead, (const char*)pairs + sizeof(sortpair) * (i + AHEAD) + offsetof(sortpair, codes), sizeof ahead);
      __builtin_prefetch(ahead);
    }
    answer* r = &answerrecs[i];
    const unsigned char* ent = (const unsigned char*)sp.codes - 2;
    int tenths = ent[0] - 128;
    bool personal = ent[1] == PERSONAL;
    r->dmask = r->cfdmask = personal ? ALLSLOTS : 1u << ent[1];
    r->answercodes = sp.codes;
    r->cf = cfof(sp.codes);
    r->acf = nullptr;
    r->banned = 0;
    // Entries whose first ten codes differ are different answers without a look at them.
    bool same = prev && sp.key == prevkey && !strcmp(r->answercodes, prev->answercodes);
    if (!same) {
      r->weight = tenths;
      Apersonal = personal;
      if (personal) r->dmask = personalmask(tenths);
      pending& p = ring[na % AHEAD];
      if (na >= AHEAD) link(p);
      p = {na, anshash(r->answercodes) & answerhashmask};
      __builtin_prefetch(&answerhash[p.h]);
      answerlen[na] = (unsigned char)(cfof(sp.codes) - sp.codes - 1);
      answerlist[na++] = r;
      A = T = r;
    } else {
      r->weight = scoreweight(tenths);
      r->hlink = -1;
      if (personal) {
        // The personal score replaces the slots' scores, whichever entry came first.
        A->dmask = personalmask(tenths);
        A->weight = tenths;
        Apersonal = true;
      } else if (!Apersonal) {
        A->dmask |= r->dmask;
        A->weight += tenths;
      }
      if (strcmp(r->cf, prev->cf)) {
        T->acf = r;
        T = r;
      } else {
        T->cfdmask |= r->cfdmask;
      }
    }
    prev = r;
    prevkey = sp.key;
  }
  for (int j = std::max(0, na - AHEAD); j < na; j++) link(ring[j % AHEAD]);
  atotal = na;
  weighttally t;
  for (int i = 0; i < atotal; i++) {
    answerlist[i]->weight = scoreweight((int)answerlist[i]->weight);
    t.add(answerlist[i]->weight);
  }
  t.settle();
  if (deb(DEB_DICT)) pstdout("Total unique answers by entry: %d\n", atotal);
  return failed ? 1 : 0;
}
}  // namespace

int setpersonalanswer(const char* cf, int score) {
  dictsink k(PERSONAL);
  if (adddictword(&k, cf, nullptr, nullptr, 0, UNSCORED) != 1) return 2;
  int i = findanswer((const char*)k.head->data + 2);
  if (i < 0) return 1;
  int tenths = (int)floor(personalz(score) * 10 + 0.5);
  answerlist[i]->weight = scoreweight(tenths);
  answerlist[i]->dmask = personalmask(tenths);
  weightsknown = false;
  return 0;
}

int dictsload(int quiet) {
  std::string key = indexkey();
  dictsfree();
  dloaded = 0;
  if (!key.empty() && cacheload(key)) return 0;
  int r = readslots(quiet);
  // The lists may have changed while they were read: the index is kept only for what it was
  // made from.
  if (r == 0 && !key.empty() && indexkey() == key) cachesave(key);
  return r;
}
