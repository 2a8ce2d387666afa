// Lights, entries and numbering: rebuild() derives the words, the entries, the light numbers
// and the checking statistics from the squares and free lights.
#pragma once

#include "grid/zyn.h"

// Checking figures for one light length.
struct lenstats {
  int count, under, over;
  int minchk, maxchk, sumchk;  // checked cells per light
};

// Statistics of the last rebuild, for the statistics window.
struct gridstats {
  lenstats len[MXCL + 1];  // by number of entries
  int nlights;             // words made from lights, layers and free lights
  int nchars;              // their entries, counted per word
  int nchecked;            // of which checked
  int ncells;              // grid entries
  int ncheckedcells;       // grid entries in more than one word
  int ntwounch;            // lights with two unchecked cells in a row
  int nthreeunch;          // lights with three unchecked cells in a row
  int nbadlights;          // lights that could not be made into words
  int nbadfree;            // free lights that could not be made into words
  int msgoverflow;         // more treated lights than message slots
  int ccount[MAXICC + 1];  // entries fixed to each code
  int nempty;              // entries that may take any code
  int nmulti;              // entries holding several codes, or none
};
extern gridstats gstats;

// One character position of a light: where its character set lives, and the goi of its square.
struct lightpos {
  int x, y;  // the cell's representative square
  int slot, pos;
  int goi;
};

// Returns 0, or 1 when the arrays could not be allocated (there are then no words or entries).
int rebuild();
void numbering();
// Free the words with their filler lists and the entries (at exit, or before the words are
// made some other way); leaves nw, ntw, ne and nc at 0.
void releasewords();

// The positions of the light through (x, y) in d (100+n: free light n), layer `layer` of a
// multiplexed light, as a word takes them. Returns their number (at most MXCL), 0 if (x, y)
// is not clear, -1 for a closed ring with no start, -2 for more than MXCL.
int lightpositions(lightpos* out, int x, int y, int d, int layer);
// Largest number of characters in one cell of the light through (x, y) in d, reading in each
// cell the slot the light sees; 0 when there is no such light.
int lightmaxchars(int x, int y, int d);

int entryat(int x, int y, int slot, int pos);  // entry index, -1 none
int wordat(int x, int y, int d, int layer);    // word starting at (x, y); d >= 100 a free light
