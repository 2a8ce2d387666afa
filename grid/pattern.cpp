// Block patterns. One attempt works on a copy of the grid's shape: which squares are white,
// the bars, the runs of white squares across and down through each. It places blocks a whole
// symmetry class at a time: first the British base, then blocks that mend what breaks the rules
// (needed only when the blocks, bars and letters already there break them), then blocks that
// break open areas, then blocks until the share drawn for the attempt is reached. Each block is
// one that keeps the rules and the white cells connected, chosen where it shortens the lights
// most (the sum of the squares of the run lengths drops most), with some randomness, so that
// light lengths spread as in a grid made by hand.
#include "grid/pattern.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "dicts/dicts.h"
#include "filler/filler.h"
#include "grid/geometry.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"

const char* const patstylenames[NPATSTYLES] = {"american", "british", "free"};

void patternshares(int style, int* minshare, int* maxshare) {
  static const int shares[NPATSTYLES][2] = {{14, 18}, {28, 34}, {16, 22}};
  int s = style >= 0 && style < NPATSTYLES ? style : PAT_AMERICAN;
  *minshare = shares[s][0];
  *maxshare = shares[s][1];
}

const char* patternmessage(int status) {
  switch (status) {
    case PS_OK: return "";
    case PS_NOTPLAIN: return "Blocks can be generated only\non a plain rectangular grid";
    case PS_BADPARAMS: return "The pattern settings are out of range";
    case PS_NOSEL: return "No cells are selected";
    case PS_SPLIT: return "The white cells are already\nin separate parts";
    case PS_NOBASE: return "The chequered base does not have\nthe grid's symmetry";
    case PS_NOTFILLABLE: return "No pattern found in which every\nlight has words that fit";
    default: return "No pattern found that keeps the rules";
  }
}

namespace {

constexpr int MAXATTEMPTS = 64;  // pattern attempts per command
constexpr int MAXCHECKS = 8;     // quick fill checks per command
constexpr double MAXSECONDS = 10;  // attempts begun after this long are not made (large grids)
constexpr int SAMPLE = 500;      // classes weighed per step on large grids

// Widest all-white rectangle allowed for each height 3 to 6 (and, turned, each width): as open
// as the corners of the standard grids get. Wider areas are stacks of long lights crossing long
// lights, which everyday word lists can rarely fill.
constexpr int OPENW[7] = {0, 0, 0, 7, 6, 5, 4};

// splitmix64: a small generator whose sequence is fixed for its seed.
struct rng {
  uint64_t s;
  uint64_t next() {
    uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  double unit() { return (double)(next() >> 11) * 0x1.0p-53; }
  int below(int n) { return (int)(next() % (uint64_t)n); }
};

// The working copy of one attempt.
struct pstate {
  const patternparams* p;
  int w, h;
  bool american, british;
  unsigned char white[MXSZ][MXSZ];  // [x][y]: a clear square, not (yet) a block
  unsigned char barr[MXSZ][MXSZ];   // a bar between (x, y) and (x+1, y)
  unsigned char bard[MXSZ][MXSZ];   // a bar between (x, y) and (x, y+1)
  unsigned char region[MXSZ][MXSZ]; // the rules are kept for these squares
  unsigned char ra[MXSZ][MXSZ];     // length of the across run through a white square
  unsigned char rd[MXSZ][MXSZ];     // length of the down run
  std::vector<std::vector<sqpos>> classes;  // squares that become blocks together
  std::vector<int> open;                    // classes still white
  long viol;                                // rule breaches counted by cellviol and the pairs
  int comp0;                                // parts of the white cells at the start
  int nblocks, nsq;                         // blocks and squares counted for the share
};
pstate S;

// Squares visited by one weighing (stamped), so that each rule item counts once.
unsigned stamp;
unsigned cellmk[MXSZ][MXSZ], pamk[MXSZ][MXSZ], pdmk[MXSZ][MXSZ];
std::vector<sqpos> zcells, zpa, zpd;
bool rowin[MXSZ], colin[MXSZ];
std::vector<int> zrows, zcols;

void runsrow(int y) {
  for (int x = 0; x < S.w;) {
    if (!S.white[x][y]) {
      S.ra[x][y] = 0;
      x++;
      continue;
    }
    int e = x;
    while (e + 1 < S.w && S.white[e + 1][y] && !S.barr[e][y]) e++;
    for (int k = x; k <= e; k++) S.ra[k][y] = (unsigned char)(e - x + 1);
    x = e + 1;
  }
}

void runscol(int x) {
  for (int y = 0; y < S.h;) {
    if (!S.white[x][y]) {
      S.rd[x][y] = 0;
      y++;
      continue;
    }
    int e = y;
    while (e + 1 < S.h && S.white[x][e + 1] && !S.bard[x][e]) e++;
    for (int k = y; k <= e; k++) S.rd[x][k] = (unsigned char)(e - y + 1);
    y = e + 1;
  }
}

bool checkedsq(int x, int y) { return S.ra[x][y] >= 2 && S.rd[x][y] >= 2; }

// Breaches at one square: American, a run shorter than the minimum in either direction (a run
// of one is an unchecked cell); otherwise a light shorter than the minimum, or a cell in no light.
int cellviol(int x, int y) {
  if (!S.white[x][y] || !S.region[x][y]) return 0;
  int a = S.ra[x][y], d = S.rd[x][y], m = S.p->minlen;
  if (S.american) return (a < m) + (d < m);
  return (a >= 2 && a < m) + (d >= 2 && d < m) + (a < 2 && d < 2);
}

// Two unchecked cells in a row along a light (not American, where no cell is unchecked).
int pairviol(int x, int y, int x2, int y2, int across) {
  if (S.american || x2 >= S.w || y2 >= S.h) return 0;
  if (!S.white[x][y] || !S.white[x2][y2] || !(S.region[x][y] || S.region[x2][y2])) return 0;
  if (across ? S.barr[x][y] || S.ra[x][y] < 2 : S.bard[x][y] || S.rd[x][y] < 2) return 0;
  return !checkedsq(x, y) && !checkedsq(x2, y2);
}

long allviol() {
  long v = 0;
  for (int x = 0; x < S.w; x++)
    for (int y = 0; y < S.h; y++) v += cellviol(x, y) + pairviol(x, y, x + 1, y, 1) + pairviol(x, y, x, y + 1, 0);
  return v;
}

void markcell(int x, int y, unsigned (*mk)[MXSZ], std::vector<sqpos>& out) {
  if (x < 0 || y < 0 || x >= S.w || y >= S.h || mk[x][y] == stamp) return;
  mk[x][y] = stamp;
  out.push_back({x, y});
}

// The rows and columns a class touches, and every rule item whose state they can change: the
// squares of those lines, and the pairs along them or reaching into them.
void buildzone(const std::vector<sqpos>& c) {
  for (int y : zrows) rowin[y] = false;
  for (int x : zcols) colin[x] = false;
  zrows.clear(), zcols.clear(), zcells.clear(), zpa.clear(), zpd.clear();
  stamp++;
  for (const sqpos& q : c) {
    if (!rowin[q.y]) rowin[q.y] = true, zrows.push_back(q.y);
    if (!colin[q.x]) colin[q.x] = true, zcols.push_back(q.x);
  }
  for (int y : zrows)
    for (int x = 0; x < S.w; x++) {
      markcell(x, y, cellmk, zcells);
      markcell(x, y, pamk, zpa);
      markcell(x, y - 1, pdmk, zpd);
      markcell(x, y, pdmk, zpd);
    }
  for (int x : zcols)
    for (int y = 0; y < S.h; y++) {
      markcell(x, y, cellmk, zcells);
      markcell(x, y, pdmk, zpd);
      markcell(x - 1, y, pamk, zpa);
      markcell(x, y, pamk, zpa);
    }
}

long zoneviol() {
  long v = 0;
  for (const sqpos& q : zcells) v += cellviol(q.x, q.y);
  for (const sqpos& q : zpa) v += pairviol(q.x, q.y, q.x + 1, q.y, 1);
  for (const sqpos& q : zpd) v += pairviol(q.x, q.y, q.x, q.y + 1, 0);
  return v;
}

// The sum of the squares of the run lengths over the zone's lines: each run of n squares gives
// each of its squares the length n.
long zonesumsq() {
  long s = 0;
  for (int y : zrows)
    for (int x = 0; x < S.w; x++) s += S.ra[x][y];
  for (int x : zcols)
    for (int y = 0; y < S.h; y++) s += S.rd[x][y];
  return s;
}

void setclass(const std::vector<sqpos>& c, int white) {
  for (const sqpos& q : c) S.white[q.x][q.y] = (unsigned char)white;
  for (int y : zrows) runsrow(y);
  for (int x : zcols) runscol(x);
}

// Parts of the white cells, joined where no bar lies between neighbours.
int components() {
  static unsigned char seen[MXSZ][MXSZ];
  static std::vector<sqpos> todo;
  memset(seen, 0, sizeof seen);
  int n = 0;
  for (int x = 0; x < S.w; x++)
    for (int y = 0; y < S.h; y++) {
      if (!S.white[x][y] || seen[x][y]) continue;
      n++;
      seen[x][y] = 1;
      todo.assign(1, {x, y});
      while (!todo.empty()) {
        sqpos q = todo.back();
        todo.pop_back();
        auto visit = [&](int a, int b, bool open) {
          if (open && S.white[a][b] && !seen[a][b]) seen[a][b] = 1, todo.push_back({a, b});
        };
        if (q.x + 1 < S.w) visit(q.x + 1, q.y, !S.barr[q.x][q.y]);
        if (q.x > 0) visit(q.x - 1, q.y, !S.barr[q.x - 1][q.y]);
        if (q.y + 1 < S.h) visit(q.x, q.y + 1, !S.bard[q.x][q.y]);
        if (q.y > 0) visit(q.x, q.y - 1, !S.bard[q.x][q.y - 1]);
      }
    }
  return n;
}

int counted(const std::vector<sqpos>& c) {
  int n = 0;
  for (const sqpos& q : c) n += S.region[q.x][q.y];
  return n;
}

void placeclass(int ci) {
  const std::vector<sqpos>& c = S.classes[ci];
  buildzone(c);
  long v0 = zoneviol();
  setclass(c, 0);
  S.viol += zoneviol() - v0;
  S.nblocks += counted(c);
  S.open.erase(std::find(S.open.begin(), S.open.end(), ci));
}

// A class weighed for one step: the change of breaches and the drop of the sum of squares.
struct cand {
  double key;
  long dv;
  int ci;
};

cand weigh(int ci, rng& r) {
  const std::vector<sqpos>& c = S.classes[ci];
  buildzone(c);
  long v0 = zoneviol(), s0 = zonesumsq();
  setclass(c, 0);
  long v1 = zoneviol(), s1 = zonesumsq();
  setclass(c, 1);
  return {(double)(s0 - s1) * (0.5 + 0.5 * r.unit()), v1 - v0, ci};
}

// One step: among the open classes that `allowed` admits (all of them, or a sample on large
// grids), those that lower the breaches by the most (mending) or keep them (otherwise), by
// decreasing key; the first that leaves the white cells in no more parts is placed. False when
// none is.
template <class F>
bool step(rng& r, bool mend, F allowed) {
  std::vector<int> pool;
  for (int ci : S.open)
    if (allowed(ci)) pool.push_back(ci);
  if ((int)pool.size() > SAMPLE) {
    for (int i = 0; i < SAMPLE; i++) std::swap(pool[i], pool[i + r.below((int)pool.size() - i)]);
    pool.resize(SAMPLE);
  }
  std::vector<cand> cs;
  for (int ci : pool) cs.push_back(weigh(ci, r));
  long best = 0;
  for (const cand& c : cs) best = std::min(best, c.dv);
  if (mend && best >= 0) return false;
  std::erase_if(cs, [&](const cand& c) { return c.dv != (mend ? best : 0); });
  std::sort(cs.begin(), cs.end(), [](const cand& a, const cand& b) { return a.key != b.key ? a.key > b.key : a.ci < b.ci; });
  for (const cand& c : cs) {
    const std::vector<sqpos>& cl = S.classes[c.ci];
    for (const sqpos& q : cl) S.white[q.x][q.y] = 0;
    int n = components();
    for (const sqpos& q : cl) S.white[q.x][q.y] = 1;
    if (n > S.comp0) continue;
    placeclass(c.ci);
    return true;
  }
  return false;
}

// Classes with a square in an all-white rectangle more open than OPENW allows, among the
// rectangles of squares whose rules are kept.
std::vector<char> openclasses(const std::vector<int>& classof) {
  static int sum[MXSZ + 1][MXSZ + 1];
  for (int x = 0; x <= S.w; x++)
    for (int y = 0; y <= S.h; y++)
      sum[x][y] = x && y ? (S.white[x - 1][y - 1] && S.region[x - 1][y - 1]) + sum[x - 1][y] + sum[x][y - 1] -
                               sum[x - 1][y - 1]
                         : 0;
  auto whiterect = [](int x, int y, int a, int b) {
    return x + a <= S.w && y + b <= S.h && sum[x + a][y + b] - sum[x][y + b] - sum[x + a][y] + sum[x][y] == a * b;
  };
  std::vector<char> out(S.classes.size(), 0);
  for (int t = 3; t <= 6; t++)
    for (int x = 0; x < S.w; x++)
      for (int y = 0; y < S.h; y++)
        for (int turn = 0; turn < 2; turn++) {
          int a = turn ? t : OPENW[t] + 1, b = turn ? OPENW[t] + 1 : t;
          if (!whiterect(x, y, a, b)) continue;
          for (int i = 0; i < a; i++)
            for (int j = 0; j < b; j++)
              if (classof[(x + i) * MXSZ + y + j] >= 0) out[classof[(x + i) * MXSZ + y + j]] = 1;
        }
  return out;
}

// Whether a square may become a block: clear, empty, not merged, without properties of its own
// and on no free light (a block there would change what those show), and in the selection when
// only selected cells are used.
bool blockable(int x, int y, int selonly) {
  if (!isclear(x, y)) return false;
  const square& s = sqarray[x][y];
  if (selonly && !(s.sqflags & SQF_SEL)) return false;
  if (s.nchars[0] > 1 || s.cellrec.cellown || mergedir(x, y) != 0 || ismerge(x, y, ndir())) return false;
  for (int sl = 0; sl < MAXNDIR; sl++)
    for (int k = 0; k < s.nchars[sl]; k++)
      if (s.charsets[sl][k] != ABM_ALL) return false;
  for (int i = 0; i < nfreelights; i++)
    if (onfreelight(i, x, y)) return false;
  return true;
}

// The symmetry classes: squares joined with every image of each (so that a class stays closed
// even where an image falls off a grid that is not square).
std::vector<int> symclasses() {
  std::vector<int> parent(MXSZ * MXSZ);
  for (int i = 0; i < MXSZ * MXSZ; i++) parent[i] = i;
  auto find = [&](int a) {
    while (parent[a] != a) a = parent[a] = parent[parent[a]];
    return a;
  };
  std::vector<int> img;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      img.clear();
      symmapply([](int ix, int iy, int, void* v) { ((std::vector<int>*)v)->push_back(ix * MXSZ + iy); }, &img, x, y, 0);
      for (int k : img) parent[find(k)] = find(x * MXSZ + y);
    }
  for (int i = 0; i < MXSZ * MXSZ; i++) parent[i] = find(i);
  return parent;
}

// The working copy for the document; PS_OK or why no pattern can be made.
int initstate(const patternparams& p) {
  S.p = &p;
  S.w = width, S.h = height;
  S.american = p.style == PAT_AMERICAN;
  S.british = p.style == PAT_BRITISH;
  S.nblocks = S.nsq = 0;
  for (int x = 0; x < S.w; x++)
    for (int y = 0; y < S.h; y++) {
      const square& s = sqarray[x][y];
      S.white[x][y] = isclear(x, y);
      S.barr[x][y] = x + 1 < S.w && (s.bars & 1);
      S.bard[x][y] = y + 1 < S.h && (s.bars & 2);
      S.region[x][y] = !p.selonly || (s.sqflags & SQF_SEL);
      if (!S.region[x][y] || (s.sqflags & SQF_CUTOUT)) continue;
      S.nsq++;
      S.nblocks += (s.sqflags & SQF_BLOCK) != 0;
    }
  for (int y = 0; y < S.h; y++) runsrow(y);
  for (int x = 0; x < S.w; x++) runscol(x);
  if (p.selonly && !S.nsq) return PS_NOSEL;
  S.comp0 = components();
  if (!S.comp0) return PS_NOPATTERN;
  if (!p.selonly && S.comp0 > 1) return PS_SPLIT;
  // Classes every square of which may become a block.
  std::vector<int> root = symclasses();
  std::vector<int> idx(MXSZ * MXSZ, -2);  // class index by root; -1 a class that cannot move
  S.classes.clear();
  for (int x = 0; x < S.w; x++)
    for (int y = 0; y < S.h; y++) {
      if (!sqexists(x, y)) continue;
      int& k = idx[root[x * MXSZ + y]];
      if (k == -2) {
        k = (int)S.classes.size();
        S.classes.emplace_back();
      }
      if (k == -1) continue;
      if (!blockable(x, y, p.selonly)) {
        S.classes[k].clear();
        k = -1;
        continue;
      }
      S.classes[k].push_back({x, y});
    }
  S.open.clear();
  for (int k = 0; k < (int)S.classes.size(); k++)
    if (!S.classes[k].empty()) S.open.push_back(k);
  return PS_OK;
}

// The chequered base: every class whose squares are all base squares; a class that mixes base
// and other squares has no symmetric base.
int placebase() {
  std::vector<int> base;
  for (int ci : S.open) {
    int n = 0;
    for (const sqpos& q : S.classes[ci]) n += chequerblock(q.x, q.y, S.p->parity);
    if (n && n != (int)S.classes[ci].size()) return PS_NOBASE;
    if (n) base.push_back(ci);
  }
  for (int ci : base) {
    for (const sqpos& q : S.classes[ci]) S.white[q.x][q.y] = 0;
    S.nblocks += counted(S.classes[ci]);
    S.open.erase(std::find(S.open.begin(), S.open.end(), ci));
  }
  for (int y = 0; y < S.h; y++) runsrow(y);
  for (int x = 0; x < S.w; x++) runscol(x);
  return components() > S.comp0 ? PS_NOPATTERN : PS_OK;
}

int attemptpattern(const patternparams& p, rng& r) {
  if (S.british) {
    int st = placebase();
    if (st != PS_OK) return st;
  }
  S.viol = allviol();
  auto any = [](int) { return true; };
  while (S.viol > 0)
    if (!step(r, true, any)) return PS_NOPATTERN;
  if (!S.british) {
    std::vector<int> classof(MXSZ * MXSZ, -1);
    for (int ci : S.open)
      for (const sqpos& q : S.classes[ci]) classof[q.x * MXSZ + q.y] = ci;
    for (;;) {
      std::vector<char> oc = openclasses(classof);
      if (std::none_of(S.open.begin(), S.open.end(), [&](int ci) { return oc[ci]; })) break;
      if (!step(r, false, [&](int ci) { return oc[ci] != 0; })) return PS_NOPATTERN;
    }
  }
  double share = p.minshare + (p.maxshare - p.minshare) * r.unit();
  int need = (int)ceil(p.minshare * S.nsq / 100.0);
  int target = std::max(need, (int)lround(share * S.nsq / 100.0));
  while (S.nblocks < target)
    if (!step(r, false, any)) break;
  return S.nblocks >= need ? PS_OK : PS_NOPATTERN;
}

bool paramsok(const patternparams& p) {
  return p.style >= 0 && p.style < NPATSTYLES && p.minlen >= 2 && p.minlen <= 15 && p.minshare >= 0 &&
         p.minshare <= p.maxshare && p.maxshare <= 90 && p.parity >= 0 && p.parity <= 3;
}

}  // namespace

int makepattern(const patternparams& p, int attempt, std::vector<sqpos>& blocks) {
  blocks.clear();
  if (gtype != 0) return PS_NOTPLAIN;
  if (!paramsok(p)) return PS_BADPARAMS;
  int st = initstate(p);
  if (st != PS_OK) return st;
  rng r = {(uint64_t)p.seed * 0xD1B54A32D192ED03ULL ^ (uint64_t)(attempt + 1) * 0x9E3779B97F4A7C15ULL};
  st = attemptpattern(p, r);
  if (st != PS_OK) return st;
  for (int x = 0; x < S.w; x++)
    for (int y = 0; y < S.h; y++)
      if (!S.white[x][y] && isclear(x, y)) blocks.push_back({x, y});
  std::sort(blocks.begin(), blocks.end());
  return PS_OK;
}

// Make the squares blocks (dropping their selection), or put back the flags they had.
static void setblocks(const std::vector<sqpos>& b, std::vector<unsigned char>& saved, int on) {
  if (on) saved.clear();
  for (size_t i = 0; i < b.size(); i++) {
    unsigned char& f = sqarray[b[i].x][b[i].y].sqflags;
    if (on) saved.push_back(f);
    f = on ? SQF_BLOCK : saved[i];
  }
}

editreport generateblocks(const patternparams& p, patternresult* res) {
  editreport r;
  patternresult out;
  if (p.selonly && selmode != SEL_CELLS && gtype == 0) {
    seltoc();
    countsel();
  }
  beginedit();
  bool refused = false;  // some pattern failed the fill check
  std::vector<sqpos> b;
  std::vector<unsigned char> saved;
  const gint64 t0 = g_get_monotonic_time();
  for (int a = 0; a < MAXATTEMPTS && out.checks < MAXCHECKS; a++) {
    if (a && g_get_monotonic_time() - t0 > MAXSECONDS * 1e6) break;
    out.status = makepattern(p, a, b);
    if (out.status == PS_NOPATTERN) continue;
    if (out.status != PS_OK) break;
    out.attempt = a;
    out.added = (int)b.size();
    out.blocks = S.nblocks;
    out.squares = S.nsq;
    setblocks(b, saved, 1);
    if (atotal > 0) {
      out.checks++;
      int ok = propagate() == FS_DONE;
      filler_stop();
      if (!ok) {
        setblocks(b, saved, 0);
        refused = true;
        out.status = PS_NOTFILLABLE;
        continue;
      }
      out.checked = 1;
    }
    break;
  }
  if (out.status == PS_NOPATTERN && refused) out.status = PS_NOTFILLABLE;
  if (res) *res = out;
  if (out.status != PS_OK) {
    // The document is as it was; the background fill the check stopped starts again.
    return endnothing();
  }
  r.all = r.marks = r.sel = 1;
  return endedit(r);
}
