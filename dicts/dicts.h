// Dictionaries: reading up to nine word lists (plain text in several encodings, or TSD),
// their file and answer filters, canonical answers, and the merged, sorted and hashed
// answer index that the filler, the treatments and the look-ups read.
#pragma once

#include "alphabet/alphabet.h"

struct pcre2_real_code_8;
typedef struct pcre2_real_code_8 pcre2_code_8;

constexpr int MXANSLEN = 250;     // longest canonical answer, in ICCs
constexpr int HTABSZ = 1 << 20;   // answerhash chains

// One stored entry of a slot, and after the merge one answer (the first citation form of its chain).
struct answer {
  int hlink;              // next answer index in the same hash chain, -1 at the end
  unsigned int dmask;     // slots that contain the answer in any citation form
  unsigned int cfdmask;   // slots that contain this citation form
  double weight;          // 10^(sum of scores), capped at 1e10
  const char* cf;         // citation form, UTF-8
  answer* acf;            // next distinct citation form of the same answer
  const char* answercodes;  // canonical answer, ICC string
  unsigned char banned;
};

// Index.
extern int atotal;
extern answer** answerlist;
extern answer* answerrecs;
extern int* answerhash;

// Reading state and statistics of the slots.
extern int line;  // current source line, 0 for TSD files and the one-word case
extern int nusable[MAXNDICTS], nafterff[MAXNDICTS], nafteraf[MAXNDICTS];
extern int (*rejcount)[MAXUCP];
extern int (*rejline)[MAXUCP];
extern unsigned int dloaded;

int dictload(int d, int quiet);
int dictsload(int quiet);
void dictsfree();
int dictsdefault();
int adddictword(const char* citation, int d, pcre2_code_8* ff, pcre2_code_8* af, float score);
int anscmp(const answer* a, const answer* b);

// Hash of an ICC string, shared by the index and the look-ups.
inline unsigned int anshash(const char* s) {
  unsigned int h = 0;
  for (; *s; s++) h = h * 113 + (unsigned char)*s;
  return h;
}
// Index of the answer with these codes, or -1.
int findanswer(const char* icc);
