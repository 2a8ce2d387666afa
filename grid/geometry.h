// Grid topology for every grid type: which squares exist, stepping between neighbours with
// the edge joins, bars and merges, merged cells and their representatives, and the squares
// of a light. Every other module reaches the shape of the grid only through these.
#pragma once

#include "grid/zyn.h"

// Directions d < ndir() are light directions; ndir() <= d < 2*ndir() the opposite of d-ndir().

inline int sqexists(int x, int y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  // An odd number of offset columns (rows) leaves the last half-column (half-row) incomplete.
  if (gtype == 1 && (width & 1) && y == height - 1 && (x & 1)) return 0;
  if (gtype == 2 && (height & 1) && x == width - 1 && (y & 1)) return 0;
  return 1;
}

// Exists and is neither block nor cutout.
inline int isclear(int x, int y) { return sqexists(x, y) && !(sqarray[x][y].sqflags & (SQF_BLOCK | SQF_CUTOUT)); }

// Step one square on in direction d (backwards for d >= ndir()); may leave the grid.
void stepnext(int& x, int& y, int d);
void stepprev(int& x, int& y, int d);  // the inverse of stepnext

int isbar(int x, int y, int d);    // edge after (x, y) in d, or before it for d >= ndir()
int ismerge(int x, int y, int d);

void stepnextcell(int& x, int& y, int d);  // past the whole merged run, to the next cell
int openbefore(int x, int y, int d);
int openafter(int x, int y, int d);
int isstartoflight(int x, int y, int d);   // (x, y) is the first cell of a light in d

int mergedir(int x, int y);                // -1 not clear, else the merge direction (0 if none)
void mergerep(int& x, int& y, int d);      // representative of the merged run along d
void cellrep(int& x, int& y);              // representative of the merged cell of (x, y)
// Squares of the merged run from its representative onwards; returns their number.
int mergegroup(int* gx, int* gy, int x, int y, int d);
// Every square of the merged cell of (x, y), from its representative (the square alone when it
// is not clear); returns their number.
int cellgroup(int* gx, int* gy, int x, int y);

// First square of the light through (x, y) in d: 1 found, 0 not clear, -1 a closed ring.
int lightstart(int& x, int& y, int d);
// The light's squares (one per cell) from its start, at most MXCL; d >= 100 names free light
// d-100 (its clear squares). Returns their number, 0 if (x, y) is not clear, -1 for a ring.
int lightsquares(int* lx, int* ly, int x, int y, int d);
int lightreps(int* lx, int* ly, int x, int y, int d);  // as lightsquares, by representatives

void setmerge(int x, int y, int d, int on);
// Sets or clears the bar on the edge (for d >= ndir() the edge before) and clears the merge
// across it; 0 when either square of the edge does not exist.
int setbar(int x, int y, int d, int on);
void clearmerges(int x, int y);
// As clearmerges, but keeps the merges along direction keep (0 <= keep < ndir()): a cell is
// merged along one direction only.
void clearmergesbut(int x, int y, int keep);
void clearcell(int x, int y);
void sellight(int x, int y, int d, int on);
// The single character of a plain cell: its code, -1 no code, -2 several, -3 not a plain cell.
int cellchar(int x, int y);
int advancecursor();  // 1 moved, 0 stayed

// Raw text of mark k as square (x, y) shows it: the representative's mark, or "" when
// another square of the merged cell carries it.
const char* markown(int x, int y, int k);
// The text is the circle mark "\o" (either case).
inline bool iscirclemark(const char* t) { return t[0] == '\\' && (t[1] | 0x20) == 'o' && !t[2]; }
// Some mark of the square (x, y) is the circle mark.
int circled(int x, int y);
