// Alphabets: the 20 built-in alphabets, the current alphabet's tables, and the conversions
// between internal character codes (ICCs), Unicode code points and UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/common.h"

constexpr int NALPHAS = 20;   // built-in alphabets
constexpr int MAXUCP = 0x30000;  // code points at or above this are never mapped

// One slot of a built-in alphabet.
struct alphaslot {
  const char* rep;    // representative (UTF-8; two characters for a substitution entry); null for an empty slot
  const char* equiv;  // equivalents string (UTF-8)
  bool inat, inhash, seqcont;
};

// One row of the built-in table.
struct alphadef {
  const char* dname;       // display name
  const char* names[5];    // accepted names and codes, null-terminated list
  alphaslot slot[MAXICC + 1];  // slot[i] gives ICC i; slot[0] unused
};

extern const alphadef alphabets[NALPHAS];

// The current alphabet.
extern int icccp[62];
extern char icctext[62][16];
extern char iccequiv[61][801];
extern unsigned char iccrun[62];
extern int iccclass[62];
extern int iccorder[62];
extern unsigned char ordericc[62];
extern int orderclass[62];
extern int ncodes;
extern int classstart[4];
// The characters of group g in alphabet order: how many, and the i-th.
inline int groupsize(int g) { return classstart[g + 1] - classstart[g]; }
inline int groupcode(int g, int i) { return ordericc[classstart[g] + i]; }
extern ABM alphaset, atset, hashset;
extern unsigned char cptoicc[MAXUCP];
extern unsigned char cpsubst[MAXUCP];
extern int substpair[61][2];
extern int codewordno[61];

void alphaclear();
int alphaentry(int icc, const char* rep, const char* equiv, int inat, int inhash, int seqcont);
int alphafind(const char* name);
void alphaload(int index);
// Number the letters of the alphabet 1 to n in an order shuffled from seed (draw/ seeds it from
// the document, so that every picture of one fill shows the same numbers).
void codewordnumbers(uint64_t seed = 0);
// The tables that turn a word into its canonical answer (code points to codes and substitution
// pairs, each code's text), as bytes: two alphabets with the same key give every word the same
// answer.
std::string alphakey();

// The whole current alphabet, codeword numbers included, as an undo step that changed it keeps
// it; restoring it leaves every table as it was.
struct alphastate;
std::shared_ptr<const alphastate> alphasave();
void alpharestore(const alphastate& s);

// UTF-8 helpers used across the program.
int utf8tocps(int* out, const char* text, int max);
int cptoutf8(char* out, int u);  // returns the position of the terminating 0
int utf8charlen(const char* p);
int settoicc(unsigned int low, unsigned int high);
inline int settoicc(ABM b) { return settoicc((unsigned int)b, (unsigned int)(b >> 32)); }

// Exported to plug-ins.
extern "C" {
int ICCtouchar(int c);
int uchartoICC(int u);
void printU(int u);
int printUs(const int* p);
int printICC(int c);
int printICCs(const char* s);
int ICCtoclass(int c);
}
