// The dictionary store: canonical answers of words, per-slot storage blocks and statistics,
// and the sorted, merged and hashed answer index built from all slots.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "dicts/dicts.h"

#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/message.h"

int atotal = 0;
answer** answerlist = nullptr;
answer* answerrecs = nullptr;
int* answerhash = nullptr;

int line = 0;
int nusable[MAXNDICTS], nafterff[MAXNDICTS], nafteraf[MAXNDICTS];
int (*rejcount)[MAXUCP] = nullptr;
int (*rejline)[MAXUCP] = nullptr;
unsigned int dloaded = 0;

dblock* dstrings[MAXNDICTS];
int dictthreads = 2;

namespace {
dblock* dtails[MAXNDICTS];     // last block of each slot's chain
bool rejdirty[MAXNDICTS];      // the slot's rejected-character rows differ from their reset state

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
// retried by the interpreter so that JIT compilation never changes a result.
int runfilter(dictsink* k, pcre2_code* re, const char* s, size_t n) {
  if (!k->md) {
    k->md = pcre2_match_data_create(40, nullptr);
    if (!k->md) return PCRE2_ERROR_NOMEMORY;
  }
  int rc = pcre2_match(re, (PCRE2_SPTR)s, n, 0, 0, k->md, nullptr);
  if (rc == PCRE2_ERROR_JIT_STACKLIMIT) rc = pcre2_match(re, (PCRE2_SPTR)s, n, 0, PCRE2_NO_JIT, k->md, nullptr);
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
  memcpy(p + 2, cf, n + 1);
  memcpy(p + 3 + n, ans, na + 1);
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
  for (auto& [u, r] : k->rej) {
    if (rejcount[d][u] == 0) rejline[d][u] = line + r.line;
    rejcount[d][u] += r.count;
    rejdirty[d] = true;
  }
  line += k->line;
  k->rej.clear();
  k->nusable = k->nafterff = k->nafteraf = k->line = 0;
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

int resetdict(int d) {
  if (!rejcount) {
    rejcount = (int(*)[MAXUCP])calloc(MAXNDICTS, sizeof *rejcount);
    rejline = (int(*)[MAXUCP])malloc(MAXNDICTS * sizeof *rejline);
    if (!rejcount || !rejline) {
      free(rejcount);
      free(rejline);
      rejcount = nullptr;
      rejline = nullptr;
      return -2;
    }
    std::fill_n(&rejline[0][0], MAXNDICTS * MAXUCP, -1);
  } else if (rejdirty[d]) {
    std::fill_n(rejcount[d], MAXUCP, 0);
    std::fill_n(rejline[d], MAXUCP, -1);
  }
  rejdirty[d] = false;
  nusable[d] = nafterff[d] = nafteraf[d] = 0;
  line = 0;
  return 0;
}

int adddictword(dictsink* sk, const char* citation, pcre2_code_8* ff, pcre2_code_8* af, float score) {
  int cps[SLEN];
  unsigned char ans[MXANSLEN + 1];
  char canon[MXANSLEN * 16 + 1];  // icctext of each ICC, for the answer filter and traces
  bool wantcanon = af || deb(DEB_CANON);
  int ncp = utf8tocps(cps, citation, SLEN);
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
  for (int i = 0; i < ncp; i++) {
    int u = cps[i];
    if (u >= MAXUCP) continue;
    if (u < 0x80 ? (u <= 0x20 || u == 0x7f) : !g_unichar_isgraph(u)) continue;
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
  size_t n = strlen(citation);
  if (ff && runfilter(sk, ff, citation, n) < 0) {
    if (deb(DEB_CANON)) pstdout("  failed file filter\n");
    return 0;
  }
  sk->nafterff++;
  if (af && runfilter(sk, af, canon, cl) < 0) {
    if (deb(DEB_CANON)) pstdout("  failed answer filter\n");
    return 0;
  }
  sk->nafteraf++;
  return store(sk, citation, n, ans, k, score);
}

int anscmp(const answer* a, const answer* b) {
  int r = strcmp(a->answercodes, b->answercodes);  // strcmp compares as unsigned bytes
  return r ? r : strcmp(a->cf, b->cf);
}

void dictsfree() {
  for (int d = 0; d < MAXNDICTS; d++) freedict(d);
  free(answerrecs);
  free(answerlist);
  answerrecs = nullptr;
  answerlist = nullptr;
  atotal = 0;
  // Consumers may still hash into the table: leave no index that points into freed records.
  if (answerhash) std::fill_n(answerhash, HTABSZ, -1);
}

int findanswer(const char* icc) {
  if (!atotal) return -1;
  for (int i = answerhash[anshash(icc) & (HTABSZ - 1)]; i >= 0; i = answerlist[i]->hlink)
    if (!strcmp(answerlist[i]->answercodes, icc)) return i;
  return -1;
}

namespace {
int outofmemory(int quiet) {
  dictsfree();
  if (!quiet) errbox("Out of memory loading dictionaries");
  return 4;
}

// Sort key of record i: its first five codes (6 bits each; codes are 1..61 and the terminator
// 0 sorts first) above the index, so that most comparisons need no look at the record.
constexpr int KEYIDXBITS = 31;
uint64_t sortkey(const char* s, int i) {
  uint64_t v = 0;
  for (int j = 0; j < 5; j++) v = v << 6 | (unsigned char)(*s ? *s++ : 0);
  return v << KEYIDXBITS | (unsigned)i;
}
}  // namespace

int dictsload(int quiet) {
  dictsfree();
  dloaded = 0;
  int total = 0;
  bool failed = false;
  for (int d = 0; d < MAXNDICTS; d++) {
    int r = dictload(d, quiet);
    if (r == -2) return outofmemory(quiet);
    if (r < 0) failed = true;
    else if (r > 0) {
      total += r;
      dloaded |= 1u << d;
    }
  }
  if (total == 0) {
    if (!quiet) errbox("No words available from any dictionary");
    dictsfree();
    return 2;
  }
  if (failed) {
    dictsfree();
    return 1;
  }
  atotal = total;
  if (deb(DEB_DICT)) pstdout("atotal=%9d\n", atotal);
  answerrecs = (answer*)malloc(sizeof(answer) * atotal);
  answerlist = (answer**)malloc(sizeof(answer*) * atotal);
  if (!answerhash) answerhash = (int*)malloc(sizeof(int) * HTABSZ);
  if (!answerrecs || !answerlist || !answerhash) return outofmemory(quiet);

  // One record per stored entry; hlink carries the entry's score in tenths until the merge.
  // The sort keys live in answerlist's memory until the merge turns them into pointers.
  static_assert(sizeof(uint64_t) == sizeof(answer*));
  uint64_t* keys = (uint64_t*)answerlist;
  int k = 0;
  for (int d = 0; d < MAXNDICTS; d++)
    for (dblock* b = dstrings[d]; b; b = b->next) {
      const unsigned char* p = b->data;
      for (int j = 0; j < b->count; j++) {
        answer* a = &answerrecs[k];
        a->hlink = p[0] - 128;
        a->weight = scoreweight(a->hlink);
        a->dmask = a->cfdmask = 1u << p[1];
        a->cf = (const char*)p + 2;
        a->answercodes = a->cf + strlen(a->cf) + 1;
        a->acf = nullptr;
        a->banned = 0;
        p = (const unsigned char*)a->answercodes + strlen(a->answercodes) + 1;
        keys[k] = sortkey(a->answercodes, k);
        k++;
      }
    }
  if (deb(DEB_DICT)) pstdout("k=%9d\n", k);
  assert(k == atotal);
  constexpr uint64_t IDX = (1ull << KEYIDXBITS) - 1;
  std::sort(keys, keys + atotal, [](uint64_t x, uint64_t y) {
    if ((x ^ y) > IDX) return x < y;
    return anscmp(&answerrecs[x & IDX], &answerrecs[y & IDX]) < 0;
  });

  // Merge equal answers. Scores are summed as tenths, so the weight is 10 to the sum of the
  // scores whatever the order of the entries (a running product could overflow or underflow).
  // Answer i is written over key i or an earlier one, never over a key still to be read.
  int na = 0;
  answer *A = nullptr, *T = nullptr, *prev = nullptr;
  for (int i = 0; i < atotal; i++) {
    answer* r = &answerrecs[keys[i] & IDX];
    if (!prev || strcmp(r->answercodes, prev->answercodes)) {
      memcpy(&answerlist[na++], &r, sizeof r);  // bytes, as this memory held keys
      A = T = r;
    } else {
      A->dmask |= r->dmask;
      A->hlink += r->hlink;
      r->hlink = -1;
      if (strcmp(r->cf, prev->cf)) {
        T->acf = r;
        T = r;
      } else {
        T->cfdmask |= r->cfdmask;
      }
    }
    prev = r;
  }
  atotal = na;

  std::fill_n(answerhash, HTABSZ, -1);
  for (int i = 0; i < atotal; i++) {
    answer* a = answerlist[i];
    a->weight = scoreweight(a->hlink);
    int* head = &answerhash[anshash(a->answercodes) & (HTABSZ - 1)];
    a->hlink = *head;
    *head = i;
  }
  if (deb(DEB_DICT)) pstdout("Total unique answers by entry: %d\n", atotal);
  return 0;
}
