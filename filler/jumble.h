// Feasibility of words whose candidates are not placed position by position: jumbled words
// (any arrangement of the candidate) and spread words (the candidate in order, spread over
// slots with the no-character code in the gaps).
#pragma once

#include "grid/zyn.h"

// Per-candidate data of a jumbled word, one 128-byte record per candidate.
struct jrec {
  int nuf;                    // positions not forced to a single code
  unsigned char ufhist[62];   // occurrences of each code not placed in a forced position
  unsigned char poscnt[62];   // unforced positions allowing each code
};
static_assert(sizeof(jrec) == 128);

int checkjword(word* w, int j);
int checkperm(const word* w, int j, int mode);
void checksword(word* w, int j);
void scounts(word* w, int j, const ABM* sets);
double jscores(const word* w, int j, double (*rows)[62]);
void sscores(const word* w, int j, double (*rows)[62]);

// A spread word's per-candidate block: output sets, placement table and blank counts.
inline ABM* ssets(const word* w, int j) { return (ABM*)(w->sdata + (size_t)j * w->sdatalen); }
inline double* stable(const word* w, int j) { return w->sdata + (size_t)j * w->sdatalen + w->nent; }
inline double* sblank(const word* w, int j) {
  return w->sdata + (size_t)j * w->sdatalen + w->nent + (size_t)w->wlen * w->nent;
}
