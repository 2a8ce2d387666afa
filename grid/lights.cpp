// Derived structures: the entries (one per character position of a cell), the words (one per
// light, multiplex layer, free light and treatment message), the light numbers, the checking
// flags and the statistics, all rebuilt from scratch after every change to the document.
#include "grid/lights.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/arena.h"
#include "core/message.h"
#include "core/prefs.h"
#include "grid/geometry.h"
#include "treatment/treatment.h"

word* words = nullptr;
entry* entries = nullptr;
int nw = 0, ntw = 0, ne = 0, nc = 0, curword = -1, curent = -1;
int msgword0 = 0, msgent0 = 0;
gridstats gstats;

static arena<entry*> wordents;
static arena<int> wordgois;

int wordroom(word* w, int n) {
  w->e = wordents.take(n);
  w->goi = wordgois.take(n);
  return w->e && w->goi ? 0 : 1;
}

static square& sq(int x, int y) { return sqarray[x][y]; }

// While rebuild() runs, the merge representatives and light starts of every square are
// looked up in tables filled once, instead of walking the grid again for every use.
static bool cached = false;
static unsigned short repcache[MXSZ][MXSZ];    // x | y << 8 of the representative
static unsigned char startcache[MXSZ][MXSZ];   // bit d: a light starts here in direction d

static void repof(int& x, int& y) {
  if (!cached) {
    cellrep(x, y);
    return;
  }
  int r = repcache[x][y];
  x = r & 0xff, y = r >> 8;
}

static int startsin(int x, int y, int d) { return cached ? startcache[x][y] >> d & 1 : isstartoflight(x, y, d); }

static bool onecode(ABM b) { return b && !(b & (b - 1)); }

// The slots of cell (rx, ry) that a light in direction d (100+n: free light n) reads.
static int slotsof(int rx, int ry, int d, int* slots) {
  if (!getcprops(rx, ry)->unlinked) {
    slots[0] = 0;
    return 1;
  }
  if (d < 100) {
    slots[0] = d;
    return 1;
  }
  for (int s = 0; s < ndir(); s++) slots[s] = s;
  return ndir();
}

// The light's cells as representatives; multi is set for a multiplexed grid light.
static int lightcells(int* lx, int* ly, int x, int y, int d, int* multi) {
  int n = lightsquares(lx, ly, x, y, d);
  *multi = n > 0 && d < 100 && getlprops(lx[0], ly[0], d)->layered;
  for (int i = 0; i < n; i++) repof(lx[i], ly[i]);
  return n;
}

int lightmaxchars(int x, int y, int d) {
  int lx[MXCL], ly[MXCL], multi, slots[MAXNDIR], m = 0;
  int n = lightcells(lx, ly, x, y, d, &multi);
  for (int i = 0; i < n; i++) {
    int ns = slotsof(lx[i], ly[i], d, slots);
    for (int j = 0; j < ns; j++) m = std::max(m, sq(lx[i], ly[i]).nchars[slots[j]]);
  }
  return m;
}

// Multiplex layers of the light starting at (x, y) in d.
static int nlayers(int x, int y, int d) {
  if (!getlprops(x, y, d)->layered) return 1;
  return std::max(1, lightmaxchars(x, y, d));
}

int lightpositions(lightpos* out, int x, int y, int d, int layer) {
  int lx[MXCL], ly[MXCL], multi, slots[MAXNDIR], cnt = 0;
  int n = lightcells(lx, ly, x, y, d, &multi);
  for (int i = 0; i < n; i++) {
    const square& s = sq(lx[i], ly[i]);
    int ns = slotsof(lx[i], ly[i], d, slots);
    for (int j = 0; j < ns; j++) {
      int v = s.nchars[slots[j]];
      if (v <= 0) continue;
      int k0 = 0, k1 = v;
      if (multi) {
        k0 = (layer % v + v) % v;
        k1 = k0 + 1;
      }
      for (int k = k0; k < k1; k++) {
        if (cnt == MXCL) return -2;
        out[cnt++] = {lx[i], ly[i], slots[j], k, s.goi};
      }
    }
  }
  return n < 0 ? n : cnt;
}

int entryat(int x, int y, int slot, int pos) {
  if (!isclear(x, y) || slot < 0 || slot >= MAXNDIR || pos < 0) return -1;
  cellrep(x, y);
  const square& s = sq(x, y);
  if (s.ent[slot] < 0 || pos >= s.nchars[slot] || s.ent[slot] + pos >= ne) return -1;
  return s.ent[slot] + pos;
}

int wordat(int x, int y, int d, int layer) {
  if (d >= 100) return d - 100 < nfreelights ? freelights[d - 100].w : -1;
  if (!sqexists(x, y) || d < 0 || d >= ndir() || layer < 0) return -1;
  const square& s = sq(x, y);
  return s.wrd[d] < 0 || layer >= s.nlayers[d] ? -1 : s.wrd[d] + layer;
}

void numbering() {
  eachsquare([](square& s) { s.number = s.goi = -1; });
  int num = 1, goi = 0, half = (width + 1) / 2;
  for (int y = 0; y < height; y++)
    for (int i = 0; i < width; i++) {
      // Hexagonal columns are numbered along the visual row: the upper (even) columns first.
      int x = gtype == 1 ? (i < half ? 2 * i : 2 * (i - half) + 1) : i;
      if (!isclear(x, y)) continue;
      square& s = sq(x, y);
      int rx = x, ry = y;
      repof(rx, ry);
      if (rx == x && ry == y && getcprops(x, y)->treatcell) s.goi = goi++;
      for (int d = 0; d < ndir(); d++)
        if (startsin(x, y, d) && !getlprops(x, y, d)->nonumber) {
          s.number = num++;
          break;
        }
    }
}

// Light starts found by the counting pass, reused by the word pass.
struct lstart {
  int x, y, d, layers;
};
static lstart starts[MAXNDIR * MXSZ * MXSZ];
static int nstarts;
static int repx[MXSZ * MXSZ], repy[MXSZ * MXSZ];
static int nreps;

// Clear the references of the previous rebuild and fill the caches.
static void clearderived() {
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      square& s = sq(x, y);
      for (int d = 0; d < MAXNDIR; d++) s.ent[d] = s.wrd[d] = -1, s.nlayers[d] = s.chk[d] = 0;
      int rx = x, ry = y;
      cellrep(rx, ry);
      repcache[x][y] = (unsigned short)(rx | ry << 8);
      startcache[x][y] = 0;
      for (int d = 0; d < ndir(); d++) startcache[x][y] |= isstartoflight(x, y, d) << d;
    }
  for (freelight& f : freelights) f.w = -1;
  memset(&gstats, 0, sizeof gstats);
  cached = true;
}

void releasewords() {
  for (int i = 0; i < nw; i++) {
    free(words[i].flist);
    free(words[i].jdata);
    free(words[i].jflbm);
    free(words[i].sdata);
  }
  free(words);
  free(entries);
  words = nullptr;
  entries = nullptr;
  wordents.clear();
  wordgois.clear();
  nw = ntw = ne = nc = 0;
}

static int cellslots(int x, int y) { return getcprops(x, y)->unlinked ? ndir() : 1; }

static void makeentries() {
  for (int i = 0; i < nreps; i++) {
    int x = repx[i], y = repy[i];
    square& s = sq(x, y);
    int ns = cellslots(x, y);
    for (int slot = 0; slot < ns; slot++) {
      if (s.nchars[slot] > 0) s.ent[slot] = ne;
      for (int k = 0; k < s.nchars[slot]; k++) {
        entry& e = entries[ne++];
        e.flbm = s.charsets[slot][k] & ABM_ALL;
        e.gx = x, e.gy = y;
        e.sel = (s.sqflags & SQF_SEL) != 0;
        if (onecode(e.flbm)) gstats.ccount[std::countr_zero(e.flbm) + 1]++;
        else if (e.flbm == ABM_ALL) gstats.nempty++;
        else gstats.nmulti++;
      }
    }
  }
  if (!isclear(cursorx, cursory)) return;
  int x = cursorx, y = cursory;
  repof(x, y);
  const square& s = sq(x, y);
  int slot = cursordir < ndir() && getcprops(x, y)->unlinked ? cursordir : 0;
  int v = s.nchars[slot];
  if (v > 0) curent = s.ent[slot] + (cursorlayer % v + v) % v;
}

// Returns 0, or 1 when memory ran out.
static int makeword(int x, int y, int d, int layer) {
  lightprops* lp = getlprops(x, y, d);
  if (!lp->dmask) return 0;
  static lightpos pos[MXCL];
  int n = lightpositions(pos, x, y, d, layer);
  word& w = words[nw];
  int k = 0;
  for (int i = 0; i < n; i++) {
    // A cell whose representative owns no entry exists only in inconsistent merge data.
    int e = sq(pos[i].x, pos[i].y).ent[pos[i].slot];
    if (e < 0) continue;
    pos[k] = pos[i];
    pos[k++].pos += e;
  }
  if (k == 0) {
    if (d >= 100) gstats.nbadfree++;
    else gstats.nbadlights++;
    if (deb(DEB_REBUILD)) pstdout("rebuild: no word for light (%d,%d) dir %d (%d positions)\n", x, y, d, n);
    return 0;
  }
  // Two more for the message slots of a treated word.
  if (wordroom(&w, k + 2)) return 1;
  for (int i = 0; i < k; i++) {
    w.e[i] = &entries[pos[i].pos];
    w.goi[i] = pos[i].goi;
  }
  w.nent = w.wlen = w.jlen = k;
  w.ldir = d;
  w.lp = lp;
  w.layer = layer;
  if (d < 100) {
    w.gx = x, w.gy = y;
    if (layer == 0) sq(x, y).wrd[d] = nw;
    sq(x, y).nlayers[d]++;
  } else {
    freelights[d - 100].w = nw;
  }
  if (curent >= 0 && d == cursordir && layer == cursorlayer)
    for (int i = 0; i < k; i++)
      if (w.e[i] - entries == curent) curword = nw;
  if (lp->ten && treattype) ntw++;
  nc += k;
  if (deb(DEB_REBUILD))
    pstdout("rebuild: word %d at (%d,%d) dir %d layer %d: %d entries\n", nw, w.gx, w.gy, d, layer, k);
  nw++;
  return 0;
}

// Checking flags and statistics of every word made from a light or free light.
static void checkwords() {
  // Counted in a compact array: the entry records are large and visited in no useful order.
  static std::vector<int> count;
  count.assign(ne, 0);
  for (int i = 0; i < nw; i++)
    for (int j = 0; j < words[i].nent; j++) count[words[i].e[j] - entries]++;
  gstats.ncells = ne;
  for (int i = 0; i < ne; i++) {
    entries[i].checking = count[i];
    gstats.ncheckedcells += count[i] > 1;
  }
  int minp = prefint(PREF_STATS_MIN_CHECK_PERCENT), maxp = prefint(PREF_STATS_MAX_CHECK_PERCENT);
  for (int i = 0; i < nw; i++) {
    word& w = words[i];
    int n = w.nent, m = 0, run = 0, fl = 0;
    for (int j = 0; j < n; j++) {
      if (count[w.e[j] - entries] > 1) {
        m++;
        run = 0;
        continue;
      }
      run++;
      if (run >= 2) fl |= CHK_TWO;
      if (run >= 3) fl |= CHK_THREE;
    }
    if (m * 100 < n * minp) fl |= CHK_UNDER;
    // One checked cell beyond the limit is tolerated.
    if (n * maxp < m * 100 - 100) fl |= CHK_OVER;
    lenstats& ls = gstats.len[n];
    if (ls.count == 0 || m < ls.minchk) ls.minchk = m;
    ls.maxchk = std::max(ls.maxchk, m);
    ls.sumchk += m;
    ls.count++;
    ls.under += (fl & CHK_UNDER) != 0;
    ls.over += (fl & CHK_OVER) != 0;
    gstats.nlights++;
    gstats.nchars += n;
    gstats.nchecked += m;
    gstats.ntwounch += (fl & CHK_TWO) != 0;
    gstats.nthreeunch += (fl & CHK_THREE) != 0;
    // All layers of a multiplexed light share one start square.
    if (w.ldir < 100) sq(w.gx, w.gy).chk[w.ldir] |= fl;
  }
}

int rebuild() {
  gridcheck(width <= sqext && height <= sqext, "squares in use are initialised");
  curent = curword = -1;
  releasewords();
  clearderived();
  makemsgforms();
  // Numbering first, so that the words copy this rebuild's treatment indices (goi).
  numbering();

  nstarts = 0;
  int nwords = 0;
  for (int d = 0; d < ndir(); d++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        if (startsin(x, y, d)) {
          starts[nstarts] = {x, y, d, nlayers(x, y, d)};
          nwords += starts[nstarts++].layers;
        }
  nwords += nfreelights;

  nreps = 0;
  int nents = 0;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (!isclear(x, y)) continue;
      int rx = x, ry = y;
      repof(rx, ry);
      if (rx != x || ry != y) continue;
      repx[nreps] = x, repy[nreps++] = y;
      for (int s = 0; s < cellslots(x, y); s++) {
        gridcheck(sq(x, y).nchars[s] >= 0 && sq(x, y).nchars[s] <= MXCP, "characters per cell");
        nents += sq(x, y).nchars[s];
      }
    }
  if (deb(DEB_REBUILD)) pstdout("rebuild: %d words and %d entries counted\n", nwords, nents);

  // Room for two message words, and for one message slot per message in every word (one
  // more entry so that an empty grid still gets an array).
  words = (word*)calloc(nwords + 2, sizeof(word));
  entries = (entry*)calloc(nents + 2 * nwords + 1, sizeof(entry));
  auto outofmemory = [] {
    releasewords();
    cached = false;
    if (deb(DEB_REBUILD)) pstdout("rebuild: out of memory\n");
    return 1;
  };
  if (!words || !entries) return outofmemory();

  makeentries();
  gridcheck(ne == nents, "entry count");
  for (int i = 0; i < nstarts; i++)
    for (int l = 0; l < starts[i].layers; l++)
      if (makeword(starts[i].x, starts[i].y, starts[i].d, l)) return outofmemory();
  for (int i = 0; i < nfreelights; i++)
    if (makeword(0, 0, 100 + i, 0)) return outofmemory();
  checkwords();

  msgword0 = nw;
  msgent0 = ne;
  // Treated lights get one extra entry per message, and the messages up to two words of their
  // own, in the spare room left in the arrays.
  if (ntw > 0 && buildmsgwords()) return outofmemory();
  cached = false;

  if (deb(DEB_REBUILD))
    pstdout("rebuild: nw=%d ntw=%d ne=%d nc=%d curword=%d curent=%d\n", nw, ntw, ne, nc, curword, curent);
  return 0;
}
