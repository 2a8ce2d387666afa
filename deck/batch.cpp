// The batch run: the deck tables become the filler's words and entries, and after the fill
// the result is printed with each word's citation forms.
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "core/message.h"
#include "deck/deck.h"
#include "dicts/dicts.h"
#include "filler/ansform.h"
#include "filler/failure.h"
#include "filler/filler.h"
#include "filler/lists.h"
#include "filler/search.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "platform/platform.h"
#include "treatment/treatment.h"

namespace {

// The distinct light properties of the deck words, which point at them (few: one set per block).
std::vector<lightprops> dklp;

bool anydictsetting() {
  if (dkdictseen) return true;
  // Values given with -d count as dictionary settings too.
  for (int d = 0; d < MAXNDICTS; d++)
    if (dictpaths[d][0] || dsfilter[d][0] || dafilter[d][0]) return true;
  return false;
}

// The filler's words and entries from the deck tables; 0, or 16 when memory ran out.
int makewords() {
  releasewords();
  makemsgforms();
  words = (word*)calloc((size_t)dknw + 2, sizeof(word));
  entries = (entry*)calloc((size_t)dkne + 2 * (size_t)dknw, sizeof(entry));
  if (!words || !entries) {
    free(words);
    free(entries);
    words = nullptr;
    entries = nullptr;
    deckerror("Out of memory");
    return 16;
  }
  std::map<std::tuple<unsigned, unsigned, unsigned char>, int> props;
  std::vector<int> lpof(dknw);
  for (int i = 0; i < dknw; i++) {
    const dkword& dw = dkwords[i];
    auto it = props.emplace(std::make_tuple(dw.dmask, (unsigned)fixemask(dw.emask), dw.ten), (int)props.size()).first;
    lpof[i] = it->second;
  }
  dklp.assign(props.size(), lightprops{});
  for (auto& [k, j] : props) {
    dklp[j].dmask = std::get<0>(k);
    dklp[j].emask = std::get<1>(k);
    dklp[j].ten = std::get<2>(k);
  }
  for (int k = 0; k < dkne; k++) {
    entries[k].flbm = dkents[k].flbm;
    entries[k].sel = 1;
  }
  ntw = nc = 0;
  for (int i = 0; i < dknw; i++) {
    const dkword& dw = dkwords[i];
    word& w = words[i];
    w.lp = &dklp[lpof[i]];
    w.nent = w.wlen = w.jlen = dw.nent;
    w.commitdep = -1;
    // A treated word gets one more entry for the slot of each message.
    bool slots = dw.ten && treattype > 0;
    if (wordroom(&w, dw.nent + (slots ? 2 : 0))) {
      deckerror("Out of memory");
      return 16;
    }
    for (int k = 0; k < dw.nent; k++) {
      w.e[k] = entries + dw.e[k];
      w.goi[k] = -1;
      entries[dw.e[k]].checking++;
    }
    nc += dw.nent;
    if (slots) ntw++;
  }
  nw = dknw;
  ne = dkne;
  msgword0 = dknw;
  msgent0 = dkne;
  curword = curent = -1;
  if (buildmsgwords()) {
    deckerror("Out of memory");
    return 16;
  }
  return 0;
}

void printsets(const word& w) {
  char buf[64];
  for (int k = 0; k < w.nent; k++) {
    abmtostr(buf, sizeof buf, w.e[k]->flbmh, 1);
    pstdout("%s", buf);
  }
}

// A word as the result lines name it: W and its index, or M and the message's number.
std::string deckwordname(int w) {
  bool msg = w >= msgword0;
  std::string s(msg ? "M" : "W");
  return s.append(std::to_string(msg ? (int)((words[w].lp->dmask >> 10) & 1) : w));
}

}  // namespace

int loaddeck() {
  if (deb(DEB_DECK)) pstdout("loaddeck() filename=%s...\n", filename);
  deckreset();
  FILE* f = plat_fopen(filename, "r");
  if (!f) {
    deckerror("Failed to open input deck");
    return 16;
  }
  int r = parsedeck(f);
  fclose(f);
  if (treattype == TT_PLUGIN) {
    const char* err = loadplugin();
    if (err) {
      dkline = 0;
      deckerror("Failed to load custom plug-in");
      if (deb(DEB_DECK)) pstdout("%s\n", err);
      return 16;
    }
  }
  if (!anydictsetting()) dictsdefault();
  else if (dictsload(0)) return 16;
  if (makewords()) return 16;
  return r;
}

int dumpdeck() {
  if (deb(DEB_DECK)) {
    pstdout("dumpdeck(): dkne=%d dknw=%d\n", dkne, dknw);
    for (int h = 0; h < dkhashsz; h++)
      if (dkhash[h] >= 0) pstdout("H%4d>%4d\n", h, dkhash[h]);
    for (int k = 0; k < dkne; k++)
      pstdout("E%3d %10s: %016llx H>%d\n", k, dkents[k].name, (unsigned long long)dkents[k].flbm, dkents[k].hnext);
    for (int i = 0; i < dknw; i++) {
      pstdout("W%2d dmask=%08x emask=%08x ten=%d:", i, dkwords[i].dmask, dkwords[i].emask, dkwords[i].ten);
      for (int k = 0; k < dkwords[i].nent; k++) pstdout(" %3d", dkwords[i].e[k]);
      pstdout("\n");
    }
    pstdout("filler_status=%d\n", filler_status.load());
  }
  if (filler_status == FS_NOFILL) {
    pstream(stderr, "No fill found\n");
    std::string where = failuretext(lastfailure, deckwordname);
    if (!where.empty()) pstream(stderr, "%s\n", where.c_str());
    return 4;
  }
  // A fill that failed for want of resources has no result to print.
  const char* fail = filler_status == FS_LISTS  ? "Error generating lists of feasible lights"
                     : filler_status == FS_DEPTH ? "Out of stack space"
                     : filler_status == FS_NOMEM ? "Out of memory"
                     : filler_status != FS_DONE  ? "Fill did not complete"
                                                 : nullptr;
  if (fail) {
    pstream(stderr, "Error: %s\n", fail);
    return 16;
  }
  // Drop the search state of the fill (it owns the lists it replaced) before fixing its result.
  unwindall();
  for (int k = 0; k < ne; k++) entries[k].flbm = entries[k].flbmh;
  if (filler_start(FM_PROPAGATE)) {
    pstream(stderr, "Internal error A\n");
    return 16;
  }
  filler_wait();
  if (deb(DEB_DECK))
    for (int k = 0; k < ne; k++) pstdout("E%3d flbmh=%016llx\n", k, (unsigned long long)entries[k].flbmh);
  char buf[ANSFORMLEN];
  for (int i = 0; i < dknw; i++) {
    const word& w = words[i];
    pstdout("W%d ", i);
    printsets(w);
    if (w.flist && w.flistlen > 0) {
      pstdout("\n# ");
      for (int j = 0; j < w.flistlen; j++) {
        ansform(buf, w.flist[j], w.lp->dmask);
        pstdout("%s%s", j ? "; " : "", buf);
      }
    }
    pstdout("\n");
  }
  for (int i = msgword0; i < nw; i++) {
    // A message word's dictionary bit 9+m names its message.
    pstdout("M%d ", (words[i].lp->dmask >> 10) & 1);
    printsets(words[i]);
    pstdout("\n");
  }
  unwindall();
  return 0;
}
