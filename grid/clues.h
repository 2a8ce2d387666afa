// Clues: the text a setter writes for each light, kept in the document beside the grid.
//
// A clue belongs to a light by its key: a grid light by its start square and direction (as
// numbering identifies it), a free light by its index. Edits that keep a light's start square
// and direction therefore keep its clue without doing anything. A clue whose key no light has
// any more is an orphan: it is kept, saved and counted, and shows again when a light with that
// key comes back (by Undo, or by the same start and direction reappearing). The whole-grid
// edits move clues with their lights (cluecapture/clueplace); dropping free lights renumbers
// theirs (cluefreemoved).
//
// The store holds only clues with text or an enumeration override; a document without any is
// saved, exported and undone exactly as before clues existed. The store is shared: an undo
// snapshot takes it by pointer, and a change copies it first while anything else holds it.
#pragma once

#include <memory>
#include <string>
#include <vector>

constexpr int MXCLUE = 2000;  // bytes of one clue's text
constexpr int MXENUM = 100;   // bytes of one enumeration override

// Which light a clue belongs to: d < 100 a grid light starting at (x, y) in direction d;
// d >= 100 free light d-100 (x and y 0). The same convention as a word's ldir and cursordir.
struct cluekey {
  int x = 0, y = 0, d = 0;
  bool operator==(const cluekey&) const = default;
  auto operator<=>(const cluekey&) const = default;
};

struct clue {
  cluekey k;
  std::string text;   // UTF-8, at most MXCLUE bytes, may hold line breaks
  std::string enumr;  // enumeration override such as "4,5"; "" means the computed one
};

// The document's clues, sorted by key. Two clues may share a key (two lights that a whole-grid
// edit joined): the first is the light's, the others are orphans.
using cluestore = std::shared_ptr<const std::vector<clue>>;
cluestore cluesget();
void cluesset(cluestore s);  // replace them all (undo, load)
void cluesclear();           // a new or reset document

// A light of the document as the clue list shows it.
struct cluelight {
  cluekey k;
  int number;  // the light's number; for a free light its index + 1; -1 for an unnumbered light
  int len;     // its positions (the computed enumeration); -2 when longer than a light may be
};
// Every light, direction by direction (0 to ndir()-1) in numbering order, then the free
// lights in index order. Only layer 0 of a multiplexed light: a light has one clue.
std::vector<cluelight> cluelights();
// The light's number as the lists write it: "12", "-" for an unnumbered light.
std::string cluenumtext(const cluelight& l);

// The clue of the light with key k, or null: an orphan is never returned for a light.
const clue* cluefor(const cluekey& k);
// The enumeration a list shows for light l, without parentheses: the override when set, else
// its length ("5").
std::string clueenum(const cluelight& l);
// The same in parentheses, as the lists show it: "(5)".
std::string cluebracketed(const cluelight& l);
// 1 when the document has any clue text or override (orphans included).
int cluesinuse();

// Outcomes of setting a clue.
enum cluestatus {
  CLUE_SET,        // stored (an empty text and override remove the clue)
  CLUE_UNCHANGED,  // the light already had that text and override
  CLUE_TOOLONG,    // more than MXCLUE (MXENUM) bytes: nothing stored
  CLUE_BADUTF8,    // not UTF-8: nothing stored
};
// Set the text and override of the light with key k. Does not push an undo step: the caller's
// command does. A clue pointer from cluefor() may not be valid afterwards.
cluestatus clueset(const cluekey& k, const std::string& text, const std::string& enumr);
// Replace the clues by those a file holds, in the file's order, keys no light has included
// (a loaded document). Text and override are cut to their limits at a character boundary;
// of two clues with one key, the first is the light's.
void cluesfromfile(std::vector<clue> v);

// Orphans: clues that no light shows.
int cluesorphans();
int cluesdeleteorphans();  // returns how many were deleted
// Clues shown in the list: how many lights there are and how many of them have clue text.
void cluecounts(int* clued, int* lights);

// Moving clues with a whole-grid edit. Before the edit, cluecapture() lists each grid clue
// with the squares of its light (an orphan with its start square alone); the caller moves the
// squares as the edit moves them (dropping those that go), makes the change, and clueplace()
// gives each clue the light in the new grid that holds most of its squares, or, for a light that
// did not survive, keeps it as an orphan at its moved start square.
struct cluemove {
  clue c;
  std::vector<int> x, y;  // the light's squares, start first
};
std::vector<cluemove> cluecapture();
void clueplace(std::vector<cluemove>& moves);
// Free lights were dropped: newindex[i] is where free light i (of n before) went, -1 when it
// was dropped. The clue of a dropped free light stays as an orphan.
void cluefreemoved(const int* newindex, int n);

// UTF-8 text cut to at most n bytes, before a character that would not fit whole.
std::string cluecut(const std::string& s, size_t n);

// Commands of the clue pane, each one undo step when it changes something.
// Set a light's clue as the setter wrote it: CLUE_SET pushed a step.
cluestatus clueedit(const cluekey& k, const std::string& text, const std::string& enumr);
int cluedeleteorphansstep();  // the orphans deleted (one step), or 0 when there were none
// Put the cursor on the start of the light with key k (a grid light in its direction, a free
// light by its index); 0 when done, 1 when there is no such light.
int cluecursor(const cluekey& k);
// The light the cursor is on: its key, or d -1 when the cursor is on none.
cluekey cursorclue();
// A light's cells as the clue list shows them: its characters, "?" for a cell still open.
std::string cluepattern(const cluelight& l);
