// Candidate lists: interning of light strings in lts with its two hash tables, the entry
// methods, each light's initial list and the per-fill driver buildlists.
#include "filler/lists.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <tuple>
#include <vector>

#include "alphabet/alphabet.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "filler/jumble.h"
#include "filler/search.h"
#include "treatment/treatment.h"

ltsrec* lts = nullptr;
double* ltsw = nullptr;
int nlts = 0, nsid = 0;
static int ltscap = 0;

// Hash chain heads, allocated on first use. They hold record index + 1, so that 0 marks an
// empty chain and fresh zeroed pages need no filling.
static int* hashs = nullptr;  // by untagged string
static int* hashf = nullptr;  // by answer, method and string

// String blocks, each starting with a pointer to the block opened before it. Emptying the
// storage keeps the blocks, the lts array and tfl for the next fill: the background fill
// restarts after every keystroke, and fresh memory costs a page fault per page.
static char* blocks = nullptr;
static char* spareblocks = nullptr;
static int blockused = LTSBLK;

static int* tfl = nullptr;
static int ntfl = 0, tflcap = 0;

unsigned int lightdm = 0, lightem = 1;
int lightten = 0, curans = -1;
static double curweight;  // the weight of answer curans, read where the answer was
extern "C" {
int lightlength = 0, lightx = 0, lighty = 0, lightdir = 0, clueorderindex = 0;
int gridorderindex[MXCL], checking[MXCL];
}

unsigned char* usedans = nullptr;
unsigned char* usedstr = nullptr;
unsigned char* recused = nullptr;
int nusedrecs = 0;
int* usedrecs = nullptr;
// Records sharing an answer or an untagged string, chained so that a mark reaches them all,
// and each marked record's place in usedrecs.
static int *anshead, *sidhead, *ansnext, *sidnext, *usedpos;
unsigned char** wchr = nullptr;
unsigned char** winit = nullptr;
unsigned char* wsorted = nullptr;
static std::vector<std::vector<unsigned char>> initchr;  // the initial arrays wchr points at

// Answers of each length in index order, so that an untreated light visits only the answers
// that can fit it; built for the lengths a fill needs, and kept while the index and its bans
// stay as they are (the background fill restarts after every keystroke). Each entry carries
// what the light's filter on answers needs, so that the answer records are not visited again
// for every light.
struct lenans {
  int i;                  // answer index
  unsigned dmask;         // 0 when banned
  const char* codes;
  double weight;
};
static std::vector<std::vector<lenans>> bylen;
static std::vector<bool> bylenmade;  // by length: bylen holds that length's answers
static unsigned int bylengen;        // the indexgen bylen was made for

// When every light of a fill takes its answers untreated and entered normally, a light string
// is its answer's codes: the answers are distinct, so each string is new unless its answer was
// interned before, which ansrec0 records (the record plus one, 0 for none: the array comes from
// the system's zeroed memory, so that a fill touches only the pages of the answers it meets), and
// the hash chains are not needed.
static bool plainfill = false;
static int* ansrec0 = nullptr;
static int ansrec0n = 0;  // answers ansrec0 has room for

static unsigned int hashfull(int ans, int em, unsigned int h) {
  return ((unsigned int)ans * 27u + (unsigned int)em + h * 113u) & (LTSHSZ - 1);
}

int ltsclear() {
  if (!hashs) {
    hashs = (int*)calloc(LTSHSZ, sizeof(int));
    hashf = (int*)calloc(LTSHSZ, sizeof(int));
    if (!hashs || !hashf) {
      free(hashs);
      free(hashf);
      hashs = hashf = nullptr;
      return 1;
    }
  } else if (plainfill) {
    for (int i = 0; i < nlts; i++) ansrec0[lts[i].ans] = 0;
  } else if (nlts < LTSHSZ / 16) {
    // Only the chains the records sit in are non-empty.
    for (int i = 0; i < nlts; i++) {
      hashs[lts[i].h & (LTSHSZ - 1)] = 0;
      hashf[hashfull(lts[i].ans, lts[i].em, lts[i].h)] = 0;
    }
  } else {
    memset(hashs, 0, sizeof(int) * LTSHSZ);
    memset(hashf, 0, sizeof(int) * LTSHSZ);
  }
  while (blocks) {
    char* prev;
    memcpy(&prev, blocks, sizeof prev);
    memcpy(blocks, &spareblocks, sizeof spareblocks);
    spareblocks = blocks;
    blocks = prev;
  }
  blockused = LTSBLK;
  ntfl = 0;
  nlts = nsid = 0;
  plainfill = false;
  return 0;
}

// Room for one more record; 0, or -1 when out of memory.
static int growlts() {
  if (nlts < ltscap) return 0;
  int ncap = ltscap * 2 + 5000;
  if (deb(DEB_LISTS)) pstdout("lts realloc: %d\n", ncap);
  ltsrec* p = (ltsrec*)realloc(lts, sizeof(ltsrec) * ncap);
  if (!p) return -1;
  lts = p;
  double* q = (double*)realloc(ltsw, sizeof(double) * ncap);
  if (!q) return -1;
  ltsw = q;
  ltscap = ncap;
  return 0;
}

// Copies a string of n codes into the string blocks; null when out of memory.
static char* storestring(const char* s, int n) {
  if (blockused + n + 1 > LTSBLK) {
    if (deb(DEB_LISTS)) pstdout("memblk alloc\n");
    char* b = spareblocks;
    if (b) memcpy(&spareblocks, b, sizeof spareblocks);
    else if (!(b = (char*)malloc(LTSBLK + 8))) return nullptr;
    memcpy(b, &blocks, sizeof blocks);
    blocks = b;
    blockused = 0;
  }
  char* store = blocks + 8 + blockused;
  memcpy(store, s, n);
  store[n] = 0;
  blockused += n + 1;
  return store;
}

static void fillrec(ltsrec& r, char* store, int n0, unsigned int h, int ans, int em, int sid) {
  r.ans = ans;
  r.em = em;
  r.s = store;
  r.sid = sid;
  r.ten = lightten;
  r.h = h;
  r.len0 = n0;
  r.w = ans < 0 ? 1.0 : ans == curans ? curweight : answerlist[ans]->weight;
  ltsw[&r - lts] = r.w;
  r.lbm = 0;
  for (int i = 0; i < n0; i++) {
    int c = (unsigned char)store[i];
    if (c >= 1 && c <= 61) r.lbm |= 1ULL << (c - 1);
  }
}

// addlts for a string of n codes.
static int addltsn(const char* s, int n, int ans, int em) {
  int n0 = n - (lightten ? 2 : 0);
  if (n0 <= 0) return -1;
  unsigned int h = 0;
  for (int i = 0; i < n0; i++) h = h * 113u + (unsigned int)(signed char)s[i];
  if (plainfill) {
    int& slot = ansrec0[ans];
    if (slot) return slot - 1;
    char* store;
    if (growlts() || !(store = storestring(s, n))) return -1;
    ltsrec& r = lts[nlts];
    fillrec(r, store, n0, h, ans, em, nsid++);
    r.hnexts = r.hnext = -1;
    slot = nlts + 1;
    return nlts++;
  }
  unsigned int hf = hashfull(ans, em, h);
  for (int i = hashf[hf] - 1; i >= 0; i = lts[i].hnext)
    if (lts[i].ans == ans && lts[i].em == em && !strcmp(lts[i].s, s)) return i;
  if (growlts()) return -1;
  int sid = -1;
  char* store = nullptr;
  unsigned int hs = h & (LTSHSZ - 1);
  for (int i = hashs[hs] - 1; i >= 0; i = lts[i].hnexts) {
    if (lts[i].len0 != n0 || memcmp(lts[i].s, s, n0)) continue;
    // The duplicates rule is for the lights' answers: a message word's string has an id of its
    // own, so that it never strikes, and is never struck by, an equal string.
    if (sid < 0 && ans >= 0 && lts[i].ans >= 0) sid = lts[i].sid;
    if (!store && !strcmp(lts[i].s, s)) store = lts[i].s;
    if (store && (sid >= 0 || ans < 0)) break;
  }
  if (!store && !(store = storestring(s, n))) return -1;
  if (sid < 0) sid = nsid++;
  ltsrec& r = lts[nlts];
  fillrec(r, store, n0, h, ans, em, sid);
  r.hnexts = hashs[hs] - 1;
  hashs[hs] = nlts + 1;
  r.hnext = hashf[hf] - 1;
  hashf[hf] = nlts + 1;
  return nlts++;
}

int addlts(const char* s, int ans, int em) { return addltsn(s, (int)strlen(s), ans, em); }

void ltshist(int li, unsigned char* hist) {
  memset(hist, 0, 62);
  const ltsrec& r = lts[li];
  for (int i = 0; i < r.len0; i++) {
    int c = (unsigned char)r.s[i];
    if (c >= 1 && c <= 61) hist[c]++;
  }
}

// addtfl for a string of n codes.
static int addtfln(const char* s, int n, int ans, int em) {
  if (!n) return 0;
  if (n > MXLTS - (lightten ? 2 : 0)) return 0;
  int i;
  if (lightten) {
    char buf[MXLTS + 3];
    memcpy(buf, s, n);
    buf[n++] = msgcharICC[0];
    buf[n++] = msgcharICC[1];
    buf[n] = 0;
    i = addltsn(buf, n, ans, em);
  } else {
    i = addltsn(s, n, ans, em);
  }
  if (i < 0) return -1;
  if (ntfl >= tflcap) {
    int ncap = tflcap * 3 / 2 + 500;
    int* p = (int*)realloc(tfl, sizeof(int) * ncap);
    if (!p) return -1;
    tfl = p;
    tflcap = ncap;
  }
  tfl[ntfl++] = i;
  return 0;
}

int addtfl(const char* s, int ans, int em) { return addtfln(s, (int)strlen(s), ans, em); }

extern "C" int iswordICC(const char* s) {
  if (!s) return 0;
  int i = findanswer(s);
  return i >= 0 && (answerlist[i]->dmask & lightdm) ? 1 : 0;
}

extern "C" int treatedanswerICC(const char* s) {
  // A plug-in may pass anything: a string is taken only when it is lightlength codes of 1 to 61,
  // since every later table is indexed by code.
  if (!s) return 0;
  int l = 0;
  for (; l <= lightlength && s[l]; l++)
    if ((unsigned char)s[l] > ICC_DASH) return 0;
  if (l != lightlength) return 0;
  // An untreated answer is a word of the light's dictionaries by construction.
  if (mustbeword && lightten && !iswordICC(s)) return 0;
  if (lightem & 0x10) return addtfln(s, l, curans, 4);
  char t[MXLTS + 1];
  t[l] = 0;
  int r;
  if (lightem & 1)
    if ((r = addtfln(s, l, curans, 0))) return r;
  if (lightem & 2) {
    for (int j = 0; j < l; j++) t[j] = s[l - 1 - j];
    if ((r = addtfln(t, l, curans, 1))) return r;
  }
  if ((lightem & 4) && l > 1 && !(l == 2 && (lightem & 2)))
    for (int i = 1; i < l; i++) {
      for (int j = 0; j < l; j++) t[j] = s[(i + j) % l];
      if ((r = addtfln(t, l, curans, 2))) return r;
    }
  if ((lightem & 8) && !(l == 2 && (lightem & 1)))
    for (int i = 1; i < l; i++) {
      for (int k = 0; k < l; k++) t[k] = s[(i + l - 1 - k) % l];
      if ((r = addtfln(t, l, curans, 3))) return r;
    }
  return 0;
}

// Lengths of the message forms, measured once per fill.
static int msglen[2], msglenU[2], msglenUAZ[2], msglenUAZ09[2], msglenICCAZ[2],
    msglenICCAZ09[2], msglenAZ[2], msglenAZ09[2], msglenraw[2];

static int ulen(const int* p) {
  int n = 0;
  while (p[n]) n++;
  return n;
}

static void measuremsgs() {
  for (int m = 0; m < 2; m++) {
    msglen[m] = (int)strlen(treatmsgICC[m]);
    msglenraw[m] = (int)strlen(treatmsg[m]);
    msglenU[m] = ulen(treatmsgU[m]);
    msglenUAZ[m] = ulen(treatmsgUAZ[m]);
    msglenUAZ09[m] = ulen(treatmsgUAZ09[m]);
    msglenICCAZ[m] = (int)strlen(treatmsgICCAZ[m]);
    msglenICCAZ09[m] = (int)strlen(treatmsgICCAZ09[m]);
    msglenAZ[m] = (int)strlen(treatmsgAZ[m]);
    msglenAZ09[m] = (int)strlen(treatmsgAZ09[m]);
  }
}

// The fixed allocation: message m's character for the light at clue-order index i.
static void setmsgchars(int m, int i) {
  msgchar[m] = i < msglenraw[m] ? treatmsg[m][i] : '-';
  msgcharU[m] = i < msglenU[m] ? treatmsgU[m][i] : '-';
  msgcharUAZ[m] = i < msglenUAZ[m] ? treatmsgUAZ[m][i] : '-';
  msgcharUAZ09[m] = i < msglenUAZ09[m] ? treatmsgUAZ09[m][i] : '-';
  msgcharICC[m] = i < msglen[m] ? treatmsgICC[m][i] : ICC_DASH;
  msgcharICCAZ[m] = i < msglenICCAZ[m] ? treatmsgICCAZ[m][i] : ICC_DASH;
  msgcharICCAZ09[m] = i < msglenICCAZ09[m] ? treatmsgICCAZ09[m][i] : ICC_DASH;
  msgcharAZ[m] = i < msglenAZ[m] ? treatmsgAZ[m][i] : '-';
  msgcharAZ09[m] = i < msglenAZ09[m] ? treatmsgAZ09[m][i] : '-';
}

// A discretionary allocation tries tag code c for message m.
static void settag(int m, int c) {
  int u = c == ICC_DASH ? '-' : icccp[c];
  msgcharICC[m] = (char)c;
  msgcharU[m] = u;
  msgcharAZ09[m] = c != ICC_DASH && (iccclass[c] == 0 || iccclass[c] == 1) && u < 128 ? (char)u : '-';
}

static int lowcode(ABM b, int from) {
  for (int c = from; c <= 61; c++)
    if (b & (1ULL << (c - 1))) return c;
  return 0;
}

// Passes every answer of the light's dictionaries through the treatment and entry methods.
static int passanswers() {
  if (!lightten) {
    if (lightlength < 1 || lightlength >= (int)bylen.size()) return 0;
    fillassert(bylenmade[lightlength], "answers of the light's length grouped");
    for (const lenans& a : bylen[lightlength]) {
      if (!(a.dmask & lightdm)) continue;
      curans = a.i;
      curweight = a.weight;
      int r = treatedanswerICC(a.codes);
      if (r) return r;
      if (abortflag.load(std::memory_order_relaxed)) return -5;
    }
    return 0;
  }
  for (int i = 0; i < atotal; i++) {
    const answer* a = answerlist[i];
    if (!(a->dmask & lightdm) || a->banned) continue;
    curans = i;
    curweight = a->weight;
    int r = applytreatment(a->answercodes);
    if (r) return r;
    if (abortflag.load(std::memory_order_relaxed)) return -5;
  }
  return 0;
}

// A light's ten flag counts only while a treatment is chosen: only then has it message slots.
static bool treated(const lightprops* lp) { return lp->ten && treattype != 0; }

// The answers gathered in tfl as a list of their own: 0, or 1 when out of memory.
static int takelist(int** fl, int* fll) {
  int* p = (int*)malloc(sizeof(int) * ntfl + 1);
  if (!p) return 1;
  if (ntfl) memcpy(p, tfl, sizeof(int) * ntfl);
  *fl = p;
  *fll = ntfl;
  return 0;
}

int getinitflist(int** fl, int* fll, const lightprops* lp, int llen) {
  ntfl = 0;
  lightdm = lp->dmask;
  lightem = lp->emask;
  lightten = treated(lp);
  int r = 0;
  if (lightdm & 0x600) {
    int m = (lightdm & 0x200) ? 0 : 1;
    if (deb(DEB_LISTS)) {
      pstdout("msgword[%d]=<", m);
      printICCs(msgword[m]);
      pstdout(">\n");
    }
    lightten = 0;
    lightlength = (int)strlen(msgword[m]);
    r = addtfl(msgword[m], -1 - m, 0);
    if (r) return r;
  } else {
    lightem = fixemask(lightem);
    lightlength = llen;
    ABM tags[2] = {0, 0};
    int enumerate = 0;
    for (int m = 0; m < 2; m++) {
      setmsgchars(m, clueorderindex);
      if (!lightten || (allocmode[m] != 1 && allocmode[m] != 2)) continue;
      for (int i = 0; i < msglen[m]; i++) {
        int c = (unsigned char)treatmsgICC[m][i];
        if (c >= 1 && c <= 61) tags[m] |= 1ULL << (c - 1);
      }
      if (msglen[m] < ntw) tags[m] |= ABM_DASH;
      if (clueorderindex < MXMSGSLOTS) tags[m] &= msgconstr[m][clueorderindex];
      if (!tags[m]) goto done;
      settag(m, lowcode(tags[m], 1));
      enumerate = 1;
    }
    for (;;) {
      if (enumerate && deb(DEB_LISTS))
        pstdout("  building list with msgcharICC[]=%d,%d\n", msgcharICC[0], msgcharICC[1]);
      r = passanswers();
      if (r) return r;
      if (!enumerate) break;
      // Advance the tag codes like an odometer, message 0 fastest.
      int m = 0;
      for (; m < 2; m++) {
        if (!tags[m]) continue;
        int c = lowcode(tags[m], (unsigned char)msgcharICC[m] + 1);
        if (c) {
          settag(m, c);
          break;
        }
        settag(m, lowcode(tags[m], 1));
      }
      if (m == 2) break;
    }
  }
done:
  if (takelist(fl, fll)) return 1;
  if (deb(DEB_LISTS)) pstdout("%d entries\n", ntfl);
  return 0;
}

// bylen for the lengths wanted (by length, true for each) that it lacks.
static void makebylen(const std::vector<bool>& want) {
  if (bylengen != indexgen || bylen.empty()) {
    bylen.assign(MXANSLEN + 1, {});
    bylenmade.assign(MXANSLEN + 1, false);
    bylengen = indexgen;
  }
  std::vector<bool> add(MXANSLEN + 1, false);
  bool any = false;
  for (int l = 1; l <= MXANSLEN; l++) any |= add[l] = want[l] && !bylenmade[l];
  if (!any) return;
  std::vector<int> count(MXANSLEN + 1, 0);
  for (int i = 0; i < atotal; i++) count[answerlen[i]]++;
  for (int l = 1; l <= MXANSLEN; l++)
    if (add[l]) {
      bylen[l].reserve(count[l]);
      bylenmade[l] = true;
    }
  for (int i = 0; i < atotal; i++) {
    int l = answerlen[i];
    if (!add[l]) continue;
    const answer* a = answerlist[i];
    bylen[l].push_back({i, a->banned ? 0u : (unsigned)a->dmask, a->answercodes, a->weight});
  }
}

void freewordlists() {
  for (int i = 0; i < nw; i++) {
    word* w = words + i;
    free(w->flist);
    free(w->jdata);
    free(w->jflbm);
    free(w->sdata);
    w->flist = nullptr;
    w->jdata = nullptr;
    w->jflbm = nullptr;
    w->sdata = nullptr;
    w->flistlen = 0;
  }
  initchr.clear();
  free(wchr);
  free(winit);
  free(wsorted);
  wchr = (unsigned char**)calloc(nw + 1, sizeof *wchr);
  winit = (unsigned char**)calloc(nw + 1, sizeof *winit);
  wsorted = (unsigned char*)calloc(nw + 1, 1);
}

void freeused() {
  for (void* p : {(void*)usedans, (void*)usedstr, (void*)recused, (void*)usedrecs, (void*)anshead,
                  (void*)sidhead, (void*)ansnext, (void*)sidnext, (void*)usedpos})
    free(p);
  usedans = usedstr = recused = nullptr;
  usedrecs = anshead = sidhead = ansnext = sidnext = usedpos = nullptr;
  nusedrecs = 0;
}

static int initused() {
  freeused();
  usedans = (unsigned char*)calloc(atotal + 2, 1);
  usedstr = (unsigned char*)calloc(nsid + 1, 1);
  recused = (unsigned char*)calloc(nlts + 1, 1);
  usedrecs = (int*)malloc(sizeof(int) * (nlts + 1));
  anshead = (int*)malloc(sizeof(int) * (atotal + 2));
  sidhead = (int*)malloc(sizeof(int) * (nsid + 1));
  ansnext = (int*)malloc(sizeof(int) * (nlts + 1));
  sidnext = (int*)malloc(sizeof(int) * (nlts + 1));
  usedpos = (int*)malloc(sizeof(int) * (nlts + 1));
  if (!usedans || !usedstr || !recused || !usedrecs || !anshead || !sidhead || !ansnext || !sidnext || !usedpos)
    return 1;
  for (int i = 0; i < atotal + 2; i++) anshead[i] = -1;
  for (int i = 0; i < nsid; i++) sidhead[i] = -1;
  for (int i = 0; i < nlts; i++) {
    ansnext[i] = anshead[lts[i].ans + 2];
    anshead[lts[i].ans + 2] = i;
    sidnext[i] = sidhead[lts[i].sid];
    sidhead[lts[i].sid] = i;
  }
  return 0;
}

static void updrec(int r) {
  unsigned char u = usedans[lts[r].ans + 2] || usedstr[lts[r].sid];
  if (u == recused[r]) return;
  recused[r] = u;
  if (u) {
    usedpos[r] = nusedrecs;
    usedrecs[nusedrecs++] = r;
  } else {
    int last = usedrecs[--nusedrecs];
    usedrecs[usedpos[r]] = last;
    usedpos[last] = usedpos[r];
  }
}

void setused(int li, int v) {
  const ltsrec& L = lts[li];
  if (usedans[L.ans + 2] != v) {
    usedans[L.ans + 2] = (unsigned char)v;
    for (int r = anshead[L.ans + 2]; r >= 0; r = ansnext[r]) updrec(r);
  }
  if (usedstr[L.sid] != v) {
    usedstr[L.sid] = (unsigned char)v;
    for (int r = sidhead[L.sid]; r >= 0; r = sidnext[r]) updrec(r);
  }
}

// Makes the compact code array of word wi from its flist.
static int makechr(int wi) {
  word* w = words + wi;
  int n = w->nent;
  try {
    initchr.emplace_back((size_t)w->flistlen * n + CHRSLACK);
  } catch (const std::bad_alloc&) {
    return 1;
  }
  unsigned char* p = initchr.back().data();
  for (int j = 0; j < w->flistlen; j++) {
    const char* s = lts[w->flist[j]].s;
    unsigned char* q = p + (size_t)j * n;
    int k = 0;
    for (; k < n && s[k]; k++) q[k] = (unsigned char)s[k];
    for (; k < n; k++) q[k] = 0;
  }
  wchr[wi] = p;
  return 0;
}

// Allocates the jumble or spread data of a word's list; 0 on success.
static int makejdata(word* w) {
  int n = w->flistlen;
  if (w->jmode == 1) {
    w->jdata = malloc((size_t)n * sizeof(jrec) + 1);
    w->jflbm = (ABM*)malloc(sizeof(ABM) * ((size_t)n * w->jlen + 1));
    if (!w->jdata || !w->jflbm) return 1;
    for (size_t i = 0; i < (size_t)n * w->jlen; i++) w->jflbm[i] = ABM_ALLDASH;
  } else if (w->jmode == 2) {
    int st = sdatastride(w);
    w->sdatalen = st;
    w->sdata = (double*)malloc(sizeof(double) * ((size_t)n * st + 1));
    if (!w->sdata) return 1;
    for (int j = 0; j < n; j++) {
      ABM* sets = (ABM*)(w->sdata + (size_t)j * st);
      for (int k = 0; k < w->nent; k++) sets[k] = ABM_ALLDASH;
    }
  }
  return 0;
}

// The initial list of a settled, untreated light entered normally: the one answer its cells
// spell, when the light's dictionaries have it. The depth-0 filter would keep only that answer
// of the whole list, since answers are distinct; building it directly spares the pass over every
// answer of the length and the filter (a batch fill's result is propagated with every light
// settled, and so is a nearly finished grid after each keystroke). 0, or 1 when out of memory.
static int settledlist(word* w) {
  const lightprops* lp = w->lp;
  char s[MXLTS + 1];
  const int n = w->wlen;
  ntfl = 0;
  lightdm = lp->dmask;
  lightem = 1;
  lightten = 0;
  lightlength = n;
  for (int k = 0; k < n; k++) s[k] = (char)abmcode(w->e[k]->flbm);
  s[n] = 0;
  const int a = findanswer(s);
  if (a >= 0 && !answerlist[a]->banned && (answerlist[a]->dmask & lightdm)) {
    curans = a;
    curweight = answerlist[a]->weight;
    if (treatedanswerICC(answerlist[a]->answercodes) < 0) return 1;
  }
  return takelist(&w->flist, &w->flistlen);
}

int buildlists() {
  clueorderindex = 0;
  freewordlists();
  if (!wchr || !winit || !wsorted) {
    filler_status = FS_LISTS;
    return 1;
  }
  measuremsgs();
  plainfill = nlts == 0;  // the table must hold no record interned the general way
  std::vector<bool> lens(MXANSLEN + 1, false);
  for (int i = 0; i < nw; i++) {
    const lightprops* lp = words[i].lp;
    bool built = fillmode > 0 || assistmode == 2 || (assistmode == 1 && i == curword);
    plainfill = plainfill && (!built || (!treated(lp) && !(lp->dmask & 0x600) && fixemask(lp->emask) == 1));
    if (built && words[i].wlen >= 1 && words[i].wlen <= MXANSLEN) lens[words[i].wlen] = true;
  }
  makebylen(lens);
  if (plainfill && ansrec0n != atotal) {
    free(ansrec0);
    ansrec0 = (int*)calloc(std::max(atotal, 1), sizeof(int));
    ansrec0n = ansrec0 ? atotal : 0;
    if (!ansrec0) {
      filler_status = FS_LISTS;
      return 1;
    }
  }
  // Untreated lights of equal length and properties get equal lists.
  std::map<std::tuple<int, unsigned, unsigned, int>, int> same;
  for (int i = 0; i < nw; i++) {
    word* w = words + i;
    const lightprops* lp = w->lp;
    lightx = w->gx;
    lighty = w->gy;
    lightdir = w->ldir;
    for (int k = 0; k < w->nent && k < MXCL; k++) {
      checking[k] = w->e[k]->checking;
      gridorderindex[k] = w->goi[k];
    }
    if (fillmode > 0 || assistmode == 2 || (assistmode == 1 && i == curword)) {
      int r = 0;
      auto key = std::make_tuple(w->wlen, lp->dmask, (unsigned)fixemask(lp->emask), w->nent);
      bool plain = !treated(lp) && !(lp->dmask & 0x600);
      bool settled = plain && w->fe && w->jmode == 0 && fixemask(lp->emask) == 1 && w->nent == w->wlen &&
                     w->wlen >= 1 && w->wlen <= MXLTS;
      auto it = plain && !settled ? same.find(key) : same.end();
      bool shared = it != same.end();
      if (settled) {
        r = settledlist(w);
      } else if (shared) {
        const word* o = words + it->second;
        w->flist = (int*)malloc(sizeof(int) * o->flistlen + 1);
        if (!w->flist) r = 1;
        else {
          if (o->flistlen) memcpy(w->flist, o->flist, sizeof(int) * o->flistlen);
          w->flistlen = o->flistlen;
          wchr[i] = wchr[it->second];
          if (deb(DEB_LISTS)) pstdout("%d entries\n", w->flistlen);
        }
      } else {
        r = getinitflist(&w->flist, &w->flistlen, lp, w->wlen);
        if (!r && plain) same[key] = i;
      }
      if (r == -5) {
        if (deb(DEB_SEARCH)) pstdout("aborted while building word lists\n");
        filler_status = FS_STOPPED;
        return 1;
      }
      if (r || (!shared && makechr(i)) || (!w->fe && makejdata(w))) {
        filler_status = FS_LISTS;
        return 1;
      }
      wsorted[i] = std::is_sorted(w->flist, w->flist + w->flistlen);
      winit[i] = wchr[i];
    }
    if (abortflag.load(std::memory_order_relaxed)) {
      if (deb(DEB_SEARCH)) pstdout("aborted while building word lists\n");
      filler_status = FS_STOPPED;
      return 1;
    }
    if (treated(lp)) clueorderindex++;
  }
  ntfl = 0;
  if (initused()) {
    filler_status = FS_LISTS;
    return 1;
  }
  return 0;
}
