// The document: grid type and size, symmetry, the square array, cell and light properties,
// free lights, title and author, treatment settings; and the words and entries that
// rebuild() derives from it. There is exactly one document; modules read these globals directly.
#pragma once

#include "core/common.h"

constexpr int NGTYPES = 13;
constexpr int MXMSGLEN = 97272;  // bytes of one treatment message text
constexpr int MXMSGSLOTS = 255;  // message slots per message
// Most entries in one word: a light's cells plus one slot per message, or a message word's slots.
constexpr int MXWENT = MXMSGSLOTS;
static_assert(MXWENT >= MXCL + 2);

// Square flags.
constexpr unsigned char SQF_BLOCK = 1, SQF_CUTOUT = 8, SQF_SEL = 16;

// Checking flags of a light, kept in its start square.
constexpr int CHK_TWO = 1, CHK_THREE = 2, CHK_UNDER = 4, CHK_OVER = 8;

struct gtypeinfo {
  const char* name;
  int ndir;
  const char* dname[MAXNDIR];
  int shape;  // SHAPE_* below
  int xwrap;  // 0 no, 1 yes, 2 yes with flip
  int ywrap;
};
constexpr int SHAPE_RECT = 0, SHAPE_HEXV = 1, SHAPE_HEXH = 2, SHAPE_CIRC = 3;
extern const gtypeinfo gtypes[NGTYPES];

struct cellprops {
  unsigned int bgcolour;
  unsigned int fgcolour;
  unsigned int markcolour;
  unsigned char treatcell;
  unsigned char cellown;
  unsigned char fontstyle;
  unsigned char unlinked;
  char marktexts[NMARKS][MXMK + 1];
};

struct lightprops {
  unsigned int dmask;
  unsigned int emask;
  unsigned char ten;
  unsigned char lightown;
  unsigned char nonumber;
  unsigned char layered;
};

struct word;
struct entry;

struct square {
  unsigned int bars;
  unsigned int merge;
  unsigned char sqflags;
  unsigned char lightsel;
  int nchars[MAXNDIR];
  ABM charsets[MAXNDIR][MXCP];
  cellprops cellrec;
  lightprops lightrec[MAXNDIR];
  // Derived by rebuild(), never saved; read them through entryat() and wordat().
  int ent[MAXNDIR];          // first entry of each slot (its characters' entries follow), -1 none
  int wrd[MAXNDIR];          // first word of the light starting here (its layers follow), -1 none
  unsigned char nlayers[MAXNDIR];  // words made from that light
  unsigned char chk[MAXNDIR];  // CHK_* flags of the light starting here per direction
  int number;                // light number, -1 none
  int goi;                   // index among the cells flagged for treatment, -1 none
};

struct freelight {
  int n;
  int x[MXCL], y[MXCL];
  lightprops lp;
  unsigned char sel;
  int w;  // word made from it by the last rebuild, -1 none
};

// Entry: one character position of a cell.
struct entry {
  ABM flbm;        // feasible characters
  ABM flbmh;       // published copy for display (filler)
  double score[61];  // filler: weight of each code
  double best;       // filler
  int gx, gy;        // the cell's representative square
  int checking;      // words through this entry
  unsigned char sel; // lies in a selected cell
  unsigned char upd; // filler
};

// Word: one light, free light, multiplex layer or treatment message.
struct word {
  int nent, wlen, jlen;
  int gx, gy;
  int ldir;          // direction, or 100+n for free light n
  // Filler lists (freed and cleared by every rebuild).
  int* flist;
  int flistlen;
  void* jdata;
  ABM* jflbm;
  double* sdata;
  int sdatalen;
  int commitdep;
  unsigned char upd;
  int fspare[2];
  int layer;         // multiplex layer (0 unless the light is multiplexed)
  lightprops* lp;    // effective light properties
  int fe;
  int jmode;
  // Sized by the word's entries (wordroom), so that a deck of many short words stays small.
  entry** e;         // entries in answer order
  int* goi;          // per entry, the treatment index of its square (-1 none)
};

// Document globals.
extern int gtype, width, height;
extern int rotsym, mirsym, dupsym;
extern char title[SLEN], author[SLEN];
// The puzzle's copyright notice and the setter's notes to solvers, carried by the interchange formats.
extern char copyright[SLEN], notes[SLEN];
extern square sqarray[MXSZ][MXSZ];  // indexed [x][y]
// The squares of sqarray are made fresh when a grid first reaches them, so that a small grid
// touches a small part of the array: those of [0, sqext) x [0, sqext) are in use or fresh, the
// others untouched zero memory that nothing reads.
extern int sqext;
void sqreserve(int n);            // make the squares of [0, n) x [0, n) fresh where not yet in use
void setgridsize(int w, int h);   // width and height, with the squares they reach
// Calls f on each square of [0, sqext) x [0, sqext): a change to every square need go no further.
template <typename F>
void eachsquare(F f) {
  for (int x = 0; x < sqext; x++)
    for (int y = 0; y < sqext; y++) f(sqarray[x][y]);
}
extern cellprops defcell;
extern lightprops deflight;
extern freelight freelights[MXFL];
extern int nfreelights;
extern int cursorx, cursory, cursordir, cursorlayer;
extern int unsaved;

// Treatment settings (their meaning belongs to the treatment engine).
extern int treattype;
extern int mustbeword;
extern int allocmode[2];
extern char pluginpath[SLEN];
extern char treatmsg[2][MXMSGLEN + 1];
extern ABM msgconstr[2][MXMSGSLOTS];

// Derived structures built by rebuild().
extern word* words;
// Gives word w arrays e and goi for n entries; 0, or 1 when memory ran out. They live until the
// words are released.
int wordroom(word* w, int n);
extern entry* entries;
extern int nw, ntw, ne, nc, curword, curent;
extern int msgword0, msgent0;  // where the treatment-message words and their entries begin

inline int ndir() { return gtypes[gtype].ndir; }

// Fatal consistency check for states the editing operations cannot produce: print and abort.
[[noreturn]] void gridfatal(const char* what);
inline void gridcheck(bool ok, const char* what) {
  if (!ok) gridfatal(what);
}

void initcellprops(cellprops* c);   // the defaults of defcell
void initlightprops(lightprops* l);  // the defaults of deflight and of a new free light
void initsquare(square* s);          // a freshly cleared square
void initfreelight(freelight* f);    // no cells, default properties, not selected
// Every square in use to the fresh state, and the rest of the document to its defaults.
void docreset();

// Effective properties.
const cellprops* getcprops(int x, int y);   // of the square itself (callers pass the representative)
const cellprops* getcpropsrep(int x, int y); // of the merged cell that (x, y) belongs to
// Of the light starting at (x, y) in direction d; for d >= 100 free light d-100's own record.
lightprops* getlprops(int x, int y, int d);
inline int fixemask(unsigned int em) { return (em & 0x1f) ? (int)(em & 0x1f) : 1; }

// Character-set notation. dash: the no-character bit is allowed (message constraints).
// Characters it cannot read are skipped; skipped, when given, receives how many there were.
int parseabm(ABM* out, int max, const char* s, int dash, int* skipped = nullptr);
void abmtostr(char* out, size_t n, ABM b, int dash);
void abmstodispstr(char* out, size_t n, const ABM* b, int cnt);
