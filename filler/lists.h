// Candidate lists: the interned light strings, each light's initial feasible list with its
// entry methods, and the bookkeeping of the duplicates rule.
#pragma once

#include "core/common.h"
#include "grid/zyn.h"

constexpr int LTSHSZ = 0x400000;    // entries of each light-string hash table
constexpr int LTSBLK = 100000;      // usable bytes of one string block

// One light string: a distinct triple of answer, entry method and string.
struct ltsrec {
  int hnexts;   // next record in the same string-hash chain, -1 at the end
  int hnext;    // next record in the same full-hash chain, -1 at the end
  int ans;      // answer index, or -1-m for message word m
  int em;       // entry method: 0 normal, 1 reversed, 2 cyclic, 3 cyclic reversed, 4 jumble
  char* s;      // ICC string, tags included when ten
  int sid;      // index of the distinct untagged string
  int ten;      // the string ends in two tag codes
  ABM lbm;      // codes of the untagged string (their counts are made where needed)
  unsigned int h;  // hash of the untagged string
  int len0;        // length of the untagged string
  double w;        // the answer's weight (1 for a message word)
};

extern ltsrec* lts;
extern double* ltsw;  // per record: its weight w, packed for the search's sums
extern int nlts, nsid;

// The light whose list is being built.
extern unsigned int lightdm, lightem;  // its dmask, and its emask with 0 taken as 1
extern int lightten, curans;
extern "C" {
extern int lightlength, lightx, lighty, lightdir, clueorderindex;
extern int gridorderindex[MXCL], checking[MXCL];
int treatedanswerICC(const char* s);
int iswordICC(const char* s);
}

// Duplicates rule: answers (indexed by ans+2) and untagged strings (by sid) of committed words.
extern unsigned char* usedans;
extern unsigned char* usedstr;
// Per lts record: its answer or its untagged string is marked; and the records so marked.
extern unsigned char* recused;
extern int nusedrecs;
extern int* usedrecs;
// Sets the marks of record li's answer and untagged string to v (1 or 0).
void setused(int li, int v);

// Per word, beside its flist: the codes of every candidate, nent bytes per candidate in list
// order, so that the search reads one compact array instead of each light string. Words with
// equal initial lists share their initial array, which buildlists owns.
extern unsigned char** wchr;
constexpr int CHRSLACK = 16;  // spare bytes at the end of every such array
// Per word: its initial array of codes (wchr[i] while the list is the initial one), and
// whether that list, and so every list filtered from it, is in increasing lts order.
extern unsigned char** winit;
extern unsigned char* wsorted;
// Occurrences of each code in the untagged string of lts record li.
void ltshist(int li, unsigned char* hist);

// The spread (message) word's per-candidate block of doubles: nent output sets, a wlen x nent
// table of placement counts and nent blank counts.
inline int sdatastride(const word* w) { return w->nent * (w->wlen + 2); }

int addlts(const char* s, int ans, int em);
int addtfl(const char* s, int ans, int em);
int getinitflist(int** fl, int* fll, const lightprops* lp, int llen);
int buildlists();
int ltsclear();       // empty the light-string storage for a new fill; 1 when out of memory
void freewordlists(); // free every word's lists and per-candidate data
void freeused();
