// Batch mode: the deck language (words as sequences of named entries, constraints and
// directives), the deck tables it fills, and the batch run that fills and prints them.
#pragma once

#include <cstdio>

#include "core/common.h"

constexpr int DKNAMELEN = 31;   // longest entry name
constexpr int DKHASH = 4096;    // name-hash chain heads of a small deck; the table doubles as it fills
constexpr int DKLINE = 10000;   // buffer of one deck line (9999 bytes + terminator)

struct dkentry {
  const char* name;  // at most DKNAMELEN bytes
  ABM flbm;          // characters still allowed; narrowed by constraints
  int hnext;         // next entry in the same name-hash chain, -1 at the end
};

// A word holds exactly its own entries, so that a deck of short words stays small.
struct dkword {
  int* e;  // nent indices into dkents
  int nent;
  unsigned int dmask, emask;
  unsigned char ten;
};

extern dkentry* dkents;
extern int dkne;
extern dkword* dkwords;
extern int dknw;
extern int* dkhash;      // dkhashsz chain heads, -1 for an empty chain
extern int dkhashsz;     // a power of two, at least DKHASH and at least dkne
extern int dkline;       // current line, counted from 1; 0 outside the parse
extern int dkdictseen;   // a DICTIONARY, FILEFILTER or ANSWERFILTER directive appeared

// Reset the deck tables.
void deckreset();
// Parse an open deck into the tables and settings. 0, or 16 after printing the error.
int parsedeck(FILE* f);
// Print an error of the deck: with the current line number, or without one when it is 0.
void deckerror(const char* msg);
// Index of the entry with this name, or -1.
int dkfind(const char* name);

int loaddeck();
int dumpdeck();
