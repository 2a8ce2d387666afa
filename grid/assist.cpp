// Interactive assistance: the feasible-characters line, the rows of the feasible-word list and
// what the list's actions do to the document.
#include "grid/assist.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "alphabet/alphabet.h"
#include "dicts/dicts.h"
#include "dicts/personal.h"
#include "filler/ansform.h"
#include "filler/failure.h"
#include "filler/filler.h"
#include "filler/lists.h"
#include "filler/search.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/zyn.h"

std::string feaslabeltext() {
  if (assistmode == 0 || !isclear(cursorx, cursory)) return "";
  if (curent < 0 || curent >= ne || curword < 0 || curword >= nw || words[curword].fe) return "";
  const entry* e = entries + curent;
  unsigned char poss[64] = {0};
  // The published set: the filler thread may still be unwinding its working sets.
  if (e->flbmh) getposs(e, poss, 0, 0);
  std::string chars;
  for (int i = 0; poss[i]; i++)
    if (e->flbmh & codebit(poss[i])) chars += icctext[poss[i]];
  if (chars.empty()) return " No feasible characters";
  return (chars.size() > strlen(icctext[poss[0]]) ? " Feasible characters: " : " Feasible character: ") + chars;
}

std::vector<listedword> listedwords() {
  std::vector<listedword> v;
  if (!isclear(cursorx, cursory)) return v;
  char text[ANSFORMLEN];
  for (int i = 0; i < llistlen; i++) {
    const ltsrec& c = lts[llist[i]];
    ansform(text, llist[i], llistdm);
    listedword w{text, std::string(c.s, c.len0), text, c.ans, c.w};
    if (c.ans >= 0 && c.ans < atotal) w.cf = answerlist[c.ans]->cf;
    v.push_back(std::move(w));
  }
  return v;
}

editreport enterword(const listedword& w, unsigned int em) {
  editreport r;
  if (em & 0x10) return r;
  lightpos pos[MXCL];
  int n = lightpositions(pos, cursorx, cursory, cursordir, cursorlayer);
  if (n < 2 || (int)w.codes.size() != n) return r;
  int cells = 0;
  for (int i = 0; i < n; i++) cells += i == 0 || pos[i].x != pos[i - 1].x || pos[i].y != pos[i - 1].y;
  if (cells < 2) return r;
  beginedit();
  for (int i = 0; i < n; i++) {
    sqarray[pos[i].x][pos[i].y].charsets[pos[i].slot][pos[i].pos] = codebit((unsigned char)w.codes[i]);
    reportcell(r, pos[i].x, pos[i].y);
  }
  return endedit(r);
}

int banword(int ans, editreport* r) {
  if (ans < 0 || ans >= atotal) return 1;
  beginedit();  // the filler thread reads the bans while it builds its lists
  dictsidle();
  answerlist[ans]->banned = 1;
  indexgen++;
  editreport e;
  e = endedit(e);
  if (r) *r = e;
  return 0;
}

editreport unbanall() {
  beginedit();
  dictsidle();
  // Only the banned are written: an index read from the cache shares its file's pages until then.
  for (int i = 0; i < atotal; i++)
    if (answerlist[i]->banned) answerlist[i]->banned = 0;
  indexgen++;
  editreport r;
  return endedit(r);
}

std::string lightname(int w) {
  if (w < 0 || w >= nw) return "";
  const word& wd = words[w];
  if (w >= msgword0) return "message " + std::to_string(((wd.lp->dmask >> 10) & 1) + 1);
  if (wd.ldir >= 100) return "free light " + std::to_string(wd.ldir - 100);
  const char* dir = gtypes[gtype].dname[wd.ldir];
  int num = sqarray[wd.gx][wd.gy].number;
  std::string s = num > 0 ? std::to_string(num) + " " + dir
                          : std::string("the ") + dir + " light at " + std::to_string(wd.gx) + "," + std::to_string(wd.gy);
  if (sqarray[wd.gx][wd.gy].nlayers[wd.ldir] > 1) s += ", layer " + std::to_string(wd.layer + 1);
  return s;
}

std::string failuremessage() { return failuretext(lastfailure, lightname); }

std::vector<sqpos> failuresquares() {
  std::vector<sqpos> v;
  for (int w : lastfailure.words) {
    if (w < 0 || w >= nw) continue;
    for (int k = 0; k < words[w].nent; k++) {
      const entry* e = words[w].e[k];
      if (e - entries < msgent0) v.push_back({e->gx, e->gy});  // message slots have no square
    }
  }
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

int setpersonal(const char* cf, int score, editreport* rep) {
  beginedit();  // the filler thread reads the index
  dictsidle();    // and so does the writer of its cache file
  score = std::clamp(score, 0, 100);
  int r = setpersonalanswer(cf, score);
  if (r == 2) {
    editreport e = endnothing();
    if (rep) *rep = e;
    return 2;
  }
  if (r == 0) indexgen++;  // the weights and masks the filler keeps by length changed
  int written = personalset(cf, score);
  if (r == 1) dictsload(0);
  editreport e;
  e = endreplace(e);
  if (rep) *rep = e;
  return written;
}

int listedscore(const listedword& w) {
  int p = personalscore(w.cf.c_str());
  if (p >= 0) return p;
  return (int)std::lround(std::clamp(score100((float)log10(w.weight)), 0.0f, 100.0f));
}
