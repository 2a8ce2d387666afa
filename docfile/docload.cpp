// Reading documents: choosing the format from the first line, the native records with their
// field rules, the legacy grid form, and the steps every load ends with.
#include <glib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/hooks.h"
#include "core/message.h"
#include "core/undo.h"
#include "dicts/dicts.h"
#include "docfile/docfile.h"
#include "docfile/import.h"
#include "docfile/readers.h"
#include "filler/filler.h"
#include "grid/clues.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "platform/platform.h"
#include "treatment/treatment.h"

int readfields(const char* p, const char* fmt, int* v, const char** rest) {
  int n = 0;
  for (; fmt[n]; n++) {
    const char* q = p;
    while (*q == ' ') q++;
    if (fmt[n] == 'x') {
      unsigned int h = 0;
      const char* s = q;
      for (;; q++) {
        int c = *q;
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) break;
        h = h << 4 | (unsigned)d;
      }
      if (q == s) break;
      v[n] = (int)(h & 0xffffff);
    } else if (!readint(q, &v[n])) {
      break;
    }
    if (*q && *q != ' ') break;
    p = q;
  }
  if (rest) *rest = p;
  return n;
}

namespace {

// Free light indices a clue record may name: far more than the free lights a grid can have,
// since a dropped free light's clue is kept past them.
constexpr int MXCLUEFREE = 1 << 20;

// Record groups in the order they are written and must be read.
enum {
  G_ALP, G_GLP, G_GSP, G_GSPMK, G_TM, G_TMSG, G_TCST, G_DFN, G_DSF, G_DAF,
  G_SQ, G_SQSP, G_SQSPMK, G_SQLP, G_VL, G_VLP, G_SQCT, G_CPR, G_NOTE, G_CLU, G_CLF, G_DMS, G_END, NGROUPS
};
const char* const groupkw[NGROUPS] = {"ALP", "GLP", "GSP", "GSPMK", "TM", "TMSG", "TCST", "DFN", "DSF", "DAF", "SQ",
                                      "SQSP", "SQSPMK", "SQLP", "VL", "VLP", "SQCT", "CPR", "NOTE", "CLU", "CLF", "DMS",
                                      "END"};

// The text of a clue's continuation line with its escapes undone; false for an escape that
// the writer never makes or for text that is not UTF-8.
bool unescape(const std::string& in, std::string& out) {
  size_t at = in.find('\\');
  if (at == std::string::npos) {
    out = in;
    return g_utf8_validate(out.data(), (gssize)out.size(), nullptr);
  }
  out.assign(in, 0, at);
  for (size_t i = at; i < in.size(); i++) {
    char c = in[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == in.size()) return false;
    if (in[i] == '\\' || in[i] == 'n') {
      out += in[i] == 'n' ? '\n' : '\\';
      continue;
    }
    if (in[i] != 'x' || i + 2 >= in.size() || !isxdigit((unsigned char)in[i + 1]) || !isxdigit((unsigned char)in[i + 2]))
      return false;
    out += (char)std::stoi(in.substr(i + 1, 2), nullptr, 16);
    i += 2;
  }
  return g_utf8_validate(out.data(), (gssize)out.size(), nullptr);
}

bool ingroup(const std::string& l, int g) {
  size_t n = strlen(groupkw[g]);
  return l.compare(0, n, groupkw[g]) == 0 && (l.size() == n || l[n] == ' ');
}

// The group a line belongs to: its keyword alone or followed by a space; -1 for none. Most
// lines belong to the group of the line before, which is tried first.
int groupof(const std::string& l, int likely) {
  if (likely >= 0 && likely < NGROUPS && ingroup(l, likely)) return likely;
  for (int g = 0; g < NGROUPS; g++)
    if (ingroup(l, g)) return g;
  return -1;
}

// Free lights as the VL and VLP records give them, by the file's numbering; made into the
// document's free lights at the end, without gaps.
struct flread {
  std::vector<unsigned char> set;  // cell k was given
  std::vector<int> x, y;
  lightprops lp;
};

struct nativereader {
  linereader& lr;
  int nd;
  std::vector<flread> fl;
  std::vector<clue> clues;
  int skipped = 0;  // records refused: a path or filter too long to keep whole

  nativereader(linereader& l, int ndirs) : lr(l), nd(ndirs) {}

  // A path or filter kept whole, or refused (the record is skipped and counted): cut short it
  // would name another file or match other words.
  bool fits(const std::string& t) {
    if (t.size() < (size_t)SLEN) return true;
    if (deb(DEB_DOC)) pstdout("too long: <%.60s>\n", lr.line.c_str());
    skipped++;
    return false;
  }

  // A continuation line: its text after the "+". A line that is not one is left to be read
  // as a line of its own.
  bool cont(std::string& text) {
    if (!lr.next()) return false;
    if (lr.line.empty() || lr.line[0] != '+') {
      lr.unget();
      return false;
    }
    text.assign(lr.line, 1);
    return true;
  }

  void readlp(lightprops* l, const int* v, int n, int keepown) {
    initlightprops(l);
    if (n > 0) l->dmask = (unsigned)v[0] & 0x1ff;
    if (n > 1) l->emask = (unsigned)fixemask((unsigned)v[1]);
    if (n > 2) l->ten = v[2] != 0;
    if (n > 3 && keepown) l->lightown = v[3] != 0;
    if (n > 4) l->nonumber = v[4] != 0;
    // Any value but 0 means on.
    if (n > 5) l->layered = v[5] == 0 ? 0 : v[5] < 0 || v[5] > 255 ? 1 : (unsigned char)v[5];
  }

  static int clampstyle(int v, int max) { return v < 0 || v > max ? max : v; }

  void readcp(cellprops* c, const int* v, int n, int keepown) {
    initcellprops(c);
    if (n > 0) c->bgcolour = (unsigned)v[0];
    if (n > 1) c->fgcolour = (unsigned)v[1];
    if (n > 2) c->treatcell = v[2] != 0;
    if (n > 3 && keepown) c->cellown = v[3] != 0;
    if (n > 4) c->fontstyle = (unsigned char)clampstyle(v[4], 3);
    if (n > 5) c->unlinked = (unsigned char)clampstyle(v[5], 2);
    if (n > 6) c->markcolour = (unsigned)v[6];
  }

  // An alphabet entry, unless its code is out of range or its representation empty. The
  // alphabet keeps the representation's first bytes as its text: only the characters it stands
  // for are passed on, so the text a save writes reads back as the same entry.
  void readalp(const int* v, const std::string& reptext, std::string equiv) {
    if (v[0] < 1 || v[0] > MAXICC || reptext.empty()) return;
    int cps[4];
    int n = utf8tocps(cps, reptext.c_str(), 4);
    std::string rep;
    for (int i = 0; i < n; i++) {
      char buf[8];
      cptoutf8(buf, cps[i]);
      rep += buf;
    }
    if (rep.empty()) return;
    std::erase_if(equiv, iscontrol);
    alphaentry(v[0], rep.c_str(), equiv.c_str(), v[1] != 0, v[2] != 0, v[3] != 0);
  }

  bool insquare(int x, int y) { return x >= 0 && x < width && y >= 0 && y < height; }

  // One record of group g whose header is lr.line; -1 for a format error, else 0 (also when
  // the record is skipped because an index is out of range).
  int record(int g) {
    const char* p = lr.line.c_str() + strlen(groupkw[g]);
    int v[12];
    std::string t, t2;
    switch (g) {
      case G_ALP:
        if (readfields(p, "dddd", v) < 4) return -1;
        if (cont(t) && cont(t2)) readalp(v, t, t2);
        return 0;
      case G_GLP: {
        int n = readfields(p, "dddddd", v);
        if (n < 4) return -1;
        readlp(&deflight, v, n, 0);
        return 0;
      }
      case G_GSP: {
        int n = readfields(p, "xxddddx", v);
        if (n < 4) return -1;
        readcp(&defcell, v, n, 0);
        return 0;
      }
      case G_GSPMK: {
        if (readfields(p, "d", v) < 1) return -1;
        if (cont(t) && v[0] >= 0 && v[0] < NMARKS) textread(defcell.marktexts[v[0]], t, MXMK + 1);
        return 0;
      }
      case G_TM: {
        int n = readfields(p, "ddddd", v);
        if (n < 3) return -1;
        if (!cont(t) || v[0] != 0 || v[1] < 0 || v[1] >= NTREATTYPES || (v[1] == TT_PLUGIN && !fits(t))) return 0;
        treattype = v[1];
        mustbeword = v[2] != 0;
        for (int m = 0; m < 2; m++) allocmode[m] = n > 3 + m && v[3 + m] >= 0 && v[3 + m] <= 2 ? v[3 + m] : 0;
        if (treattype == TT_PLUGIN) textcut(pluginpath, t, SLEN);
        return 0;
      }
      case G_TMSG: {
        if (readfields(p, "dd", v) < 2) return -1;
        if (cont(t) && v[0] == 0 && (v[1] == 0 || v[1] == 1)) textread(treatmsg[v[1]], t, MXMSGLEN + 1);
        return 0;
      }
      case G_TCST: {
        const char* rest;
        if (readfields(p, "dd", v, &rest) < 2 || *rest != ' ') return -1;
        ABM b;
        if (v[0] >= 0 && v[0] <= 1 && v[1] >= 0 && v[1] < MXMSGSLOTS && parseabm(&b, 1, rest + 1, 1) == 1)
          msgconstr[v[0]][v[1]] = b;
        return 0;
      }
      case G_DFN:
      case G_DSF:
      case G_DAF: {
        if (readfields(p, "d", v) < 1) return -1;
        char (*tab)[SLEN] = g == G_DFN ? dictpaths : g == G_DSF ? dsfilter : dafilter;
        if (cont(t) && v[0] >= 0 && v[0] < MAXNDICTS && fits(t)) textcut(tab[v[0]], t, SLEN);
        return 0;
      }
      case G_SQ: {
        const char* rest;
        if (readfields(p, "ddddd", v, &rest) < 5) return -1;
        if (!insquare(v[0], v[1])) return 0;
        square& s = sqarray[v[0]][v[1]];
        unsigned mask = (1u << nd) - 1;
        s.bars = (unsigned)v[2] & mask;
        s.merge = (unsigned)v[3] & mask;
        s.sqflags = (unsigned char)(v[4] & (SQF_BLOCK | SQF_CUTOUT));
        if (*rest == ' ') {
          // An old file's letter for the cell; the writer's "." leaves it empty.
          ABM b = ABM_ALL;
          if (parseabm(&b, 1, rest + 1, 0) != 1 || !b || (b & (b - 1))) b = ABM_ALL;
          s.charsets[0][0] = b;
        }
        return 0;
      }
      case G_SQSP: {
        int n = readfields(p, "ddxxddddx", v);
        if (n < 6) return -1;
        if (insquare(v[0], v[1])) readcp(&sqarray[v[0]][v[1]].cellrec, v + 2, n - 2, 1);
        return 0;
      }
      case G_SQSPMK: {
        if (readfields(p, "ddd", v) < 3) return -1;
        if (cont(t) && insquare(v[0], v[1]) && v[2] >= 0 && v[2] < NMARKS)
          textread(sqarray[v[0]][v[1]].cellrec.marktexts[v[2]], t, MXMK + 1);
        return 0;
      }
      case G_SQLP: {
        int n = readfields(p, "ddddddddd", v);
        if (n < 7) return -1;
        if (insquare(v[0], v[1]) && v[2] >= 0 && v[2] < nd) readlp(&sqarray[v[0]][v[1]].lightrec[v[2]], v + 3, n - 3, 1);
        return 0;
      }
      case G_VL: {
        if (readfields(p, "dddd", v) < 4) return -1;
        if (v[0] < 0 || v[0] >= MXFL || v[1] < 0 || v[1] >= MXCL || v[2] < 0 || v[2] >= MXSZ || v[3] < 0 || v[3] >= MXSZ)
          return 0;
        flread& f = light(v[0]);
        f.set[v[1]] = 1;
        f.x[v[1]] = v[2];
        f.y[v[1]] = v[3];
        return 0;
      }
      case G_VLP: {
        int n = readfields(p, "ddddddd", v);
        if (n < 5) return -1;
        if (v[0] >= 0 && v[0] < MXFL) readlp(&light(v[0]).lp, v + 1, n - 1, 1);
        return 0;
      }
      case G_SQCT: {
        const char* rest;
        if (readfields(p, "ddd", v, &rest) < 3 || *rest != ' ') return -1;
        if (!insquare(v[0], v[1]) || v[2] < 0 || v[2] >= nd) return 0;
        std::string text(rest + 1, strcspn(rest + 1, " "));
        if (text.size() > 1 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
        square& s = sqarray[v[0]][v[1]];
        s.nchars[v[2]] = parseabm(s.charsets[v[2]], MXCP, text.c_str(), 0);
        return 0;
      }
      case G_CPR:
      case G_NOTE:
        if (cont(t)) textread(g == G_CPR ? copyright : notes, t, SLEN);
        return 0;
      case G_CLU:
      case G_CLF: {
        // A clue needs both its lines; a key no light has makes an orphan.
        int n = g == G_CLU ? 3 : 1;
        if (readfields(p, "ddd", v) < n || !cont(t) || !cont(t2)) return -1;
        std::string text, enumr;
        if (!unescape(t, text) || !unescape(t2, enumr)) return -1;
        if (g == G_CLU && v[0] >= 0 && v[0] < MXSZ && v[1] >= 0 && v[1] < MXSZ && v[2] >= 0 && v[2] < MAXNDIR)
          clues.push_back({{v[0], v[1], v[2]}, std::move(text), std::move(enumr)});
        else if (g == G_CLF && v[0] >= 0 && v[0] < MXCLUEFREE)
          clues.push_back({{0, 0, 100 + v[0]}, std::move(text), std::move(enumr)});
        return 0;
      }
      case G_DMS:
        if (readfields(p, "dd", v) < 2) return -1;
        if (v[0] >= 0 && v[0] < MAXNDICTS) dminscore[v[0]] = v[1] < 0 ? 0 : v[1] > 100 ? 100 : v[1];
        return 0;
    }
    return 0;
  }

  flread& light(int i) {
    if ((int)fl.size() <= i) fl.resize(i + 1);
    flread& f = fl[i];
    if (f.set.empty()) {
      f.set.assign(MXCL, 0);
      f.x.assign(MXCL, 0);
      f.y.assign(MXCL, 0);
      initlightprops(&f.lp);
    }
    return f;
  }

  // The free lights read, in the file's order, each with the cells it was given: a light or a
  // cell the records skip over is left out rather than made empty.
  void makefreelights() {
    nfreelights = 0;
    for (const flread& f : fl) {
      if (f.set.empty()) continue;
      freelight& d = freelights[nfreelights];
      initfreelight(&d);
      for (int k = 0; k < MXCL; k++)
        if (f.set[k]) {
          d.x[d.n] = f.x[k];
          d.y[d.n] = f.y[k];
          d.n++;
        }
      if (d.n == 0) continue;
      d.lp = f.lp;
      nfreelights++;
    }
  }
};

}  // namespace

int readnative(linereader& lr, int* version, int* skipped) {
  const std::string& first = lr.line;
  *version = 0;
  if (first.size() > 6 && first[5] == 'v' && first[6] >= '0' && first[6] <= '9') {
    const char* p = first.c_str() + 6;
    readint(p, version);
  }
  if (*version > 3) alphaclear();

  int v[6];
  if (!lr.next() || !startswith(lr.line, "GP ") || readfields(lr.line.c_str() + 2, "dddddd", v) < 6) return 1;
  if (v[0] < 0 || v[0] >= NGTYPES || v[1] < 1 || v[1] > MXSZ || v[2] < 1 || v[2] > MXSZ) return 1;
  gtype = v[0];
  setgridsize(v[1], v[2]);
  rotsym = v[3];
  if (!symmrotok(rotsym)) rotsym = 1;
  mirsym = v[4] >= 0 && v[4] <= 3 ? v[4] : 0;
  dupsym = v[5] >= 0 && v[5] <= 3 ? v[5] : 0;

  nativereader r(lr, ndir());
  std::string t;
  if (!lr.next() || lr.line != "TTL" || !r.cont(t)) return 1;
  textread(title, t, SLEN);
  if (!lr.next() || lr.line != "AUT" || !r.cont(t)) return 1;
  textread(author, t, SLEN);

  int g = 0;
  *skipped = 0;
  for (;;) {
    if (!lr.next()) return 1;
    int k = groupof(lr.line, g);
    if (k == G_END) break;
    // A line of no group still to come (a newer version's record, a record out of its
    // place, a stray continuation line) is skipped and the reading goes on.
    if (k < g) {
      if (deb(DEB_DOC)) pstdout("skipped: <%.60s>\n", lr.line.c_str());
      ++*skipped;
      continue;
    }
    // GLP is a single line; a second one belongs to no group any more.
    g = k == G_GLP ? G_GLP + 1 : k;
    if (r.record(k) < 0) return 1;
  }
  *skipped += r.skipped;
  r.makefreelights();
  cluesfromfile(std::move(r.clues));
  return 0;
}

int readlegacy(linereader& lr) {
  int v[5];
  if (readfields(lr.line.c_str(), "ddddd", v) < 5) return 1;
  if (v[0] < 1 || v[0] > MXSZ || v[1] < 1 || v[1] > MXSZ || v[2] < 0 || v[2] > 2 || v[3] < 0 || v[3] > 3 || v[4] < 0 ||
      v[4] > 3)
    return 1;
  gtype = 0;
  setgridsize(v[0], v[1]);
  rotsym = v[2] == 0 ? 1 : v[2] == 1 ? 2 : 4;
  mirsym = v[3], dupsym = v[4];
  for (int y = 0; y < height; y++) {
    if (!lr.next()) return 1;
    const char* p = lr.line.c_str();
    int x = 0, n;
    for (; readfields(p, "d", &n, &p) == 1; x++) {
      if (x >= width || n < 0 || n > 31) return 1;
      sqarray[x][y].sqflags = (unsigned char)(n & (SQF_BLOCK | SQF_CUTOUT));
      sqarray[x][y].bars = (unsigned)(n >> 1) & 3;
    }
    while (*p == ' ') p++;
    if (x != width || *p) return 1;
  }
  for (int y = 0; y < height; y++) {
    if (!lr.next() || (int)lr.line.size() != width) return 1;
    for (int x = 0; x < width; x++) {
      unsigned char c = (unsigned char)lr.line[x];
      if (c == ' ') continue;
      if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return 1;
      int icc = cptoicc[c];
      if (icc >= 1 && icc <= MAXICC) sqarray[x][y].charsets[0][0] = 1ULL << (icc - 1);
    }
  }
  return 0;
}

namespace {

// Everything a load replaces, kept so that a load that fails, whatever the reader, leaves the
// document exactly as it was: the document globals, the view's cursor, the alphabet and the
// name Save writes to. (The word lists, the plug-in and the undo ring are changed only after a
// load succeeds.) A new document global joins this list.
struct docstate {
  int gtype, width, height, rotsym, mirsym, dupsym;
  char title[SLEN], author[SLEN], copyright[SLEN], notes[SLEN];
  square sqarray[MXSZ][MXSZ];
  int sqext;  // the squares made so far: those of the kept array
  cellprops defcell;
  lightprops deflight;
  freelight freelights[MXFL];
  int nfreelights, cursorx, cursory, cursordir, cursorlayer, unsaved;
  char dictpaths[MAXNDICTS][SLEN], dsfilter[MAXNDICTS][SLEN], dafilter[MAXNDICTS][SLEN];
  int dminscore[MAXNDICTS];
  int treattype, mustbeword, allocmode[2];
  char pluginpath[SLEN];
  char treatmsg[2][MXMSGLEN + 1];
  ABM msgconstr[2][MXMSGSLOTS];
  char filestem[SLEN];
  int havename, readforeigngrid;
  std::shared_ptr<const alphastate> alphabet;
};

// Each field of the state with the global it keeps.
template <class F>
void eachfield(docstate& s, F f) {
  f(s.gtype, ::gtype), f(s.width, ::width), f(s.height, ::height);
  f(s.rotsym, ::rotsym), f(s.mirsym, ::mirsym), f(s.dupsym, ::dupsym);
  f(s.title, ::title), f(s.author, ::author), f(s.copyright, ::copyright), f(s.notes, ::notes);
  f(s.sqarray, ::sqarray), f(s.sqext, ::sqext);
  f(s.defcell, ::defcell), f(s.deflight, ::deflight), f(s.freelights, ::freelights);
  f(s.nfreelights, ::nfreelights), f(s.cursorx, ::cursorx), f(s.cursory, ::cursory);
  f(s.cursordir, ::cursordir), f(s.cursorlayer, ::cursorlayer), f(s.unsaved, ::unsaved);
  f(s.dictpaths, ::dictpaths), f(s.dsfilter, ::dsfilter), f(s.dafilter, ::dafilter);
  f(s.dminscore, ::dminscore);
  f(s.treattype, ::treattype), f(s.mustbeword, ::mustbeword), f(s.allocmode, ::allocmode);
  f(s.pluginpath, ::pluginpath), f(s.treatmsg, ::treatmsg), f(s.msgconstr, ::msgconstr);
  f(s.filestem, ::filestem), f(s.havename, ::havename), f(s.readforeigngrid, ::readforeigngrid);
}

std::unique_ptr<docstate> keepdocument() {
  auto s = std::make_unique<docstate>();
  eachfield(*s, [](auto& kept, const auto& now) { memcpy(&kept, &now, sizeof kept); });
  s->alphabet = alphasave();
  return s;
}

void restoredocument(docstate& s) {
  eachfield(s, [](const auto& kept, auto& now) { memcpy(&now, &kept, sizeof now); });
  alpharestore(*s.alphabet);
  numbering();
  countsel();
  rebuild();
  runfiller(FM_ASSIST);
}

// The plug-in a loaded document names, loaded only when the front end's question (the window's
// dialog, zyn-export's option) allows it.
void documentplugin() {
  if (treattype == TT_PLUGIN && ui.askplugin && !ui.askplugin(pluginpath)) unloadplugin();
  else syncplugin();
}

}  // namespace

namespace {

// The stem Save proposes for an imported file: its name without the extension. The document
// itself has no name yet, so that Save asks for one rather than writing over the import.
void importstem(const char* name) {
  std::string s = name;
  size_t slash = s.rfind(PLAT_SEP), dot = s.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) s.erase(dot);
  strlcpy0(filestem, s.c_str(), SLEN);
  havename = 0;
}

// An interchange file: read and checked whole before the document is touched, so that a file
// that fails leaves the document, its name, its undo history and its word lists as they were.
// The imported document keeps the current alphabet (adding the characters it lacks) and word lists.
int loadimport(linereader& lr, importformat k, int loaddicts) {
  importgrid g;
  std::string why;
  bool ok = readimport(k, lr.f, lr.buf + lr.pos, lr.len - lr.pos, &g, &why);
  if (closeread(lr.f) && ok) {
    ok = false;
    why = "the file could not be read";
  }
  if (!ok) {
    std::string msg = std::string("File format error in ") + filename + ":\n" + why;
    errbox(msg.c_str());
    runfiller(FM_ASSIST);
    return LOAD_NOFILE;
  }
  docreset();
  title[0] = author[0] = copyright[0] = notes[0] = 0;
  importdocument(g);
  syncplugin();
  importstem(filename);
  fixcursor();
  numbering();
  if (loaddicts) dictsload(0);
  undo_start();
  countsel();
  rebuild();
  return LOAD_OK;
}

}  // namespace

int loaddocument(int loaddicts) {
  FILE* f = openforreading(filename, "loading");
  if (!f) return LOAD_NOFILE;
  linereader lr(f);
  importformat k = sniffformat(lr.buf + lr.pos, lr.peek());
  if (k != IF_NONE) return loadimport(lr, k, loaddicts);
  std::unique_ptr<docstate> before = keepdocument();
  docreset();
  alphaload(2);
  title[0] = author[0] = copyright[0] = notes[0] = 0;
  // The slots' file names and filters are always in a document; a minimum score only when set.
  std::fill_n(dminscore, MAXNDICTS, 0);

  int version = 0, skipped = 0, bad = 1, native = 0;
  if (lr.next()) {
    const std::string& l = lr.line;
    native = startswith(l, "#ZYN2");
    if (native) bad = readnative(lr, &version, &skipped);
    else if (l.size() >= 8 && l.compare(2, 6, "ympath") == 0) bad = readforeign(lr);
    else bad = readlegacy(lr);
  }
  if (closeread(f) || bad) {
    int err = errno;
    // Put everything back before the message, which ends a run without a window.
    restoredocument(*before);
    if (!bad) {
      plat_seterr(err);
      fserror();
    } else {
      if (deb(DEB_DOC)) pstdout("format error near: <%.60s>\n", lr.line.c_str());
      formaterror(filename, lr);
    }
    return LOAD_BADFORMAT;
  }

  setfilestem(filename);
  documentplugin();
  fixcursor();
  numbering();
  if (loaddicts) dictsload(0);
  undo_start();
  if (version > DOCVERSION) warnbox("File was saved using\na newer version of Zyn.\nSome features may be lost.");
  else if (skipped) warnbox("Some lines of the file were not recognised\nand have been skipped.");
  havename = 1;
  readforeigngrid = !native;
  countsel();
  rebuild();
  return LOAD_OK;
}
