// The clue store: lookups by light, the list of lights in clue order, setting clues, orphans,
// and moving clues with whole-grid edits and with free lights that are dropped.
#include "grid/clues.h"

#include <glib.h>

#include <algorithm>
#include <map>
#include <set>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/undo.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/zyn.h"

namespace {

// Shared with the undo snapshots that hold it; changed in place only while nothing else does.
std::shared_ptr<std::vector<clue>> store = std::make_shared<std::vector<clue>>();

std::vector<clue>& writable() {
  if (store.use_count() > 1) store = std::make_shared<std::vector<clue>>(*store);
  return *store;
}

bool bykey(const clue& a, const clue& b) { return a.k < b.k; }

void install(std::vector<clue>&& v) {
  std::stable_sort(v.begin(), v.end(), bykey);
  store = std::make_shared<std::vector<clue>>(std::move(v));
}

// The squares of the grid in the order numbering visits them: row by row, and on hexagonal
// grids with vertical lights the upper (even) columns of a row first.
template <class F>
void innumberorder(F f) {
  int half = (width + 1) / 2;
  for (int y = 0; y < height; y++)
    for (int i = 0; i < width; i++) f(gtype == 1 ? (i < half ? 2 * i : 2 * (i - half) + 1) : i, y);
}

// The positions of a light, as the answer lists count them: 0 or 1 is no light to list.
int lightlen(int x, int y, int d) {
  lightpos pos[MXCL];
  return lightpositions(pos, x, y, d, 0);
}

bool listable(int n) { return n >= 2 || n == -2; }

}  // namespace

cluestore cluesget() { return store; }
// Every store was made writable; a snapshot only ever hands back one it was given.
void cluesset(cluestore s) {
  store = s ? std::const_pointer_cast<std::vector<clue>>(s) : std::make_shared<std::vector<clue>>();
}
void cluesclear() { cluesset(nullptr); }

std::vector<cluelight> cluelights() {
  std::vector<cluelight> out;
  for (int d = 0; d < ndir(); d++)
    innumberorder([&](int x, int y) {
      if (!isclear(x, y) || !isstartoflight(x, y, d)) return;
      int n = lightlen(x, y, d);
      if (listable(n)) out.push_back({{x, y, d}, sqarray[x][y].number, n});
    });
  for (int i = 0; i < nfreelights; i++) {
    int n = lightlen(0, 0, 100 + i);
    if (listable(n)) out.push_back({{0, 0, 100 + i}, i + 1, n});
  }
  return out;
}

std::string cluenumtext(const cluelight& l) { return l.number < 1 ? "-" : std::to_string(l.number); }

const clue* cluefor(const cluekey& k) {
  auto it = std::lower_bound(store->begin(), store->end(), clue{k, {}, {}}, bykey);
  return it != store->end() && it->k == k ? &*it : nullptr;
}

std::string clueenum(const cluelight& l) {
  const clue* c = cluefor(l.k);
  if (c && !c->enumr.empty()) return c->enumr;
  return std::to_string(l.len < 0 ? MXCL : l.len);
}

std::string cluebracketed(const cluelight& l) {
  std::string s = "(";
  s += clueenum(l);
  return s += ')';
}

int cluesinuse() { return !store->empty(); }

std::string cluecut(const std::string& s, size_t n) {
  if (s.size() <= n) return s;
  size_t l = n;
  // Step back over continuation bytes to the start of the character that does not fit.
  while (l > 0 && ((unsigned char)s[l] & 0xc0) == 0x80) l--;
  return s.substr(0, l);
}

cluestatus clueset(const cluekey& k, const std::string& text0, const std::string& enumr0) {
  // Copies: the arguments may be the text of a clue this changes.
  std::string text = text0, enumr = enumr0;
  if (text.size() > MXCLUE || enumr.size() > MXENUM) return CLUE_TOOLONG;
  if (!g_utf8_validate(text.data(), (gssize)text.size(), nullptr) ||
      !g_utf8_validate(enumr.data(), (gssize)enumr.size(), nullptr))
    return CLUE_BADUTF8;
  const clue* c = cluefor(k);
  if (c ? c->text == text && c->enumr == enumr : text.empty() && enumr.empty()) return CLUE_UNCHANGED;
  std::vector<clue>& v = writable();
  auto it = std::lower_bound(v.begin(), v.end(), clue{k, {}, {}}, bykey);
  bool have = it != v.end() && it->k == k;
  if (text.empty() && enumr.empty()) v.erase(it);
  else if (have) it->text = std::move(text), it->enumr = std::move(enumr);
  else v.insert(it, clue{k, std::move(text), std::move(enumr)});
  return CLUE_SET;
}

void cluesfromfile(std::vector<clue> v) {
  std::erase_if(v, [](const clue& c) { return c.text.empty() && c.enumr.empty(); });
  for (clue& c : v) {
    if (c.text.size() > MXCLUE) c.text = cluecut(c.text, MXCLUE);
    if (c.enumr.size() > MXENUM) c.enumr = cluecut(c.enumr, MXENUM);
  }
  install(std::move(v));
}

namespace {

std::set<cluekey> lightkeys() {
  std::set<cluekey> keys;
  for (const cluelight& l : cluelights()) keys.insert(l.k);
  return keys;
}

// Whether clue i of v is shown by a light: it has a light's key and is the first with it.
bool shown(const std::vector<clue>& v, size_t i, const std::set<cluekey>& keys) {
  return keys.count(v[i].k) && (i == 0 || v[i - 1].k != v[i].k);
}

}  // namespace

int cluesorphans() {
  std::set<cluekey> keys = lightkeys();
  int n = 0;
  for (size_t i = 0; i < store->size(); i++) n += !shown(*store, i, keys);
  return n;
}

int cluesdeleteorphans() {
  std::set<cluekey> keys = lightkeys();
  std::vector<clue> v;
  for (size_t i = 0; i < store->size(); i++)
    if (shown(*store, i, keys)) v.push_back((*store)[i]);
  int n = (int)(store->size() - v.size());
  if (n) install(std::move(v));
  return n;
}

void cluecounts(int* clued, int* lights) {
  std::vector<cluelight> ls = cluelights();
  *lights = (int)ls.size();
  *clued = 0;
  for (const cluelight& l : ls) {
    const clue* c = cluefor(l.k);
    if (c && !c->text.empty()) ++*clued;
  }
}

std::vector<cluemove> cluecapture() {
  std::vector<cluemove> out;
  std::set<cluekey> keys = lightkeys();
  for (size_t i = 0; i < store->size(); i++) {
    const clue& c = (*store)[i];
    if (c.k.d >= 100) continue;
    cluemove m{c, {}, {}};
    int lx[MXCL], ly[MXCL];
    int n = shown(*store, i, keys) ? lightsquares(lx, ly, c.k.x, c.k.y, c.k.d) : 0;
    if (n >= 1) m.x.assign(lx, lx + n), m.y.assign(ly, ly + n);
    else m.x = {c.k.x}, m.y = {c.k.y};
    out.push_back(std::move(m));
  }
  return out;
}

void clueplace(std::vector<cluemove>& moves) {
  std::vector<clue> v;
  for (const clue& c : *store)
    if (c.k.d >= 100) v.push_back(c);
  std::set<cluekey> taken;
  for (cluemove& m : moves) {
    // Each square of the old light votes for the lights through it in the new grid.
    std::map<cluekey, int> votes;
    if (m.x.size() >= 2)
      for (size_t i = 0; i < m.x.size(); i++)
        for (int d = 0; d < ndir(); d++) {
          int x = m.x[i], y = m.y[i];
          if (isclear(x, y) && lightstart(x, y, d) == 1 && isstartoflight(x, y, d)) votes[{x, y, d}]++;
        }
    cluekey best{};
    int most = 1;  // a crossing light shares one square; the light itself shares more
    for (const auto& [k, n] : votes)
      if (n > most && !taken.count(k) && listable(lightlen(k.x, k.y, k.d))) best = k, most = n;
    if (most > 1) {
      m.c.k = best;
      taken.insert(best);
    } else if (!m.x.empty()) {
      m.c.k.x = m.x[0], m.c.k.y = m.y[0];
    }
    v.push_back(std::move(m.c));
  }
  install(std::move(v));
}

void cluefreemoved(const int* newindex, int n) {
  if (store->empty()) return;
  // A dropped free light's clue goes past every index a free light can have, so that no free
  // light made later inherits it.
  int spare = 100 + MXFL;
  for (const clue& c : *store) spare = std::max(spare, c.k.d + 1);
  std::vector<clue> v = *store;
  for (clue& c : v) {
    int i = c.k.d - 100;
    if (i < 0 || i >= n) continue;
    c.k.d = newindex[i] >= 0 ? 100 + newindex[i] : spare++;
  }
  install(std::move(v));
}

cluestatus clueedit(const cluekey& k, const std::string& text, const std::string& enumr) {
  cluestatus s = clueset(k, text, enumr);
  if (s == CLUE_SET) undo_push();
  return s;
}

int cluedeleteorphansstep() {
  int n = cluesdeleteorphans();
  if (n) undo_push();
  return n;
}

int cluecursor(const cluekey& k) {
  if (k.d >= 100) {
    if (k.d - 100 >= nfreelights || freelights[k.d - 100].n < 1) return 1;
    cursorx = freelights[k.d - 100].x[0], cursory = freelights[k.d - 100].y[0];
  } else {
    if (k.d >= ndir() || !isclear(k.x, k.y)) return 1;
    cursorx = k.x, cursory = k.y;
  }
  cursordir = k.d;
  cursorlayer = 0;
  return 0;
}

cluekey cursorclue() {
  if (cursordir >= 100) return {0, 0, cursordir};
  int x = cursorx, y = cursory;
  if (cursordir >= ndir() || !isclear(x, y) || lightstart(x, y, cursordir) != 1) return {0, 0, -1};
  return {x, y, cursordir};
}

std::string cluepattern(const cluelight& l) {
  lightpos pos[MXCL];
  int n = lightpositions(pos, l.k.x, l.k.y, l.k.d, 0);
  std::string s;
  for (int i = 0; i < n; i++) {
    int c = settoicc(sqarray[pos[i].x][pos[i].y].charsets[pos[i].slot][pos[i].pos] & ABM_ALL);
    s += c > 0 ? icctext[c] : "?";
  }
  return s;
}
