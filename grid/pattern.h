// Block patterns: a seeded generator that adds blocks to a plain rectangular grid, in whole
// classes of squares under the document's symmetry, until the blocks reach a share of the grid
// chosen within a range, keeping the rules of a style; and the command that puts a pattern into
// the document once a quick propagation with the word lists finds every light some candidate.
#pragma once

#include <vector>

#include "grid/edit.h"

// Styles.
//  American: every white cell lies in an across and a down light, no light is shorter than
//   the minimum, and no all-white area is wider than 7 squares over 3 rows, 6 over 4, 5 over 5
//   or 4 over 6 (the corners of published grids are no more open).
//  British: the chequered base of the blocked templates (alternate unchecked cells), then
//   blocks that break its lights; every white cell in some light, no light shorter than the
//   minimum, never two unchecked cells in a row.
//  Free: no base; the British rules with the American limit on open areas.
constexpr int PAT_AMERICAN = 0, PAT_BRITISH = 1, PAT_FREE = 2, NPATSTYLES = 3;
extern const char* const patstylenames[NPATSTYLES];  // "american", "british", "free"

struct patternparams {
  int style = PAT_AMERICAN;
  int minlen = 3;                    // shortest light, 2 to 15
  int minshare = 14, maxshare = 18;  // blocks as a percentage of the squares, a range
  int parity = 0;                    // British: the base of blocked template 0 to 3
  int selonly = 0;                   // only selected cells may become blocks
  unsigned int seed = 1;
};

// The usual share of blocks of a style.
void patternshares(int style, int* minshare, int* maxshare);

// Outcomes.
enum patternstatus {
  PS_OK,
  PS_NOTPLAIN,     // not a plain rectangular grid
  PS_BADPARAMS,    // a parameter out of range
  PS_NOSEL,        // only selected cells, but none is selected
  PS_SPLIT,        // the white cells are already in separate parts
  PS_NOBASE,       // the chequered base does not have the grid's symmetry
  PS_NOPATTERN,    // no pattern keeps the rules
  PS_NOTFILLABLE,  // patterns were found, but in each some light had no candidate
};
// The text the user sees for an outcome other than PS_OK.
const char* patternmessage(int status);

// Attempt `attempt` (0, 1, ...) at a pattern for the document as it stands: the squares to make
// blocks, sorted. Each attempt draws from its own generator seeded by the seed and the attempt,
// so the same document, parameters and attempt always give the same squares. The document is
// not changed. Returns a patternstatus.
int makepattern(const patternparams& p, int attempt, std::vector<sqpos>& blocks);

struct patternresult {
  int status = PS_NOPATTERN;
  int added = 0;    // blocks the pattern added
  int blocks = 0;   // blocks in the grid (or in the selection) afterwards
  int squares = 0;  // squares counted for the share
  int attempt = 0;  // the attempt that was taken
  int checked = 0;  // the word lists checked it (none loaded: not checked)
  int checks = 0;   // quick fills run, the one that passed included
};

// Generate blocks (Edit or Autofill menu, zyn-export -g): the attempts in turn until one
// passes the quick fill check (a propagation-only fill with the word lists finds no light
// without candidates; skipped when no word is loaded), then the pattern goes into the document
// as one undo step. A light selection is first turned into cells. The report is done 0 when no
// pattern was taken (res->status says why; the document is as it was).
editreport generateblocks(const patternparams& p, patternresult* res);

// The base square rule of the blocked templates: 1 when (x, y) is a block of template p.
inline int chequerblock(int x, int y, int p) { return (y + (p >> 1 & 1)) & (x + (p & 1)) & 1; }
