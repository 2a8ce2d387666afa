// Interactive assistance, the engine's half: the feasible-characters line, the words of the
// feasible-word list as the window shows them, the list's actions (entering a word into the
// cursor's light, banning an answer) with Unban all answers, and where the last fill failed.
#pragma once

#include <string>
#include <vector>

#include "grid/edit.h"

// The feasible-characters line for the cursor after the last fill: empty with assistance off,
// on a square that is not clear and on a light that was complete before the fill; otherwise
// " No feasible characters", or " Feasible character: " (" Feasible characters: ") followed by
// the characters by decreasing score.
std::string feaslabeltext();

// One row of the feasible-word list, copied from the fill that listed it, so that acting on a
// row never reads candidate lists that a later fill has freed.
struct listedword {
  std::string text;   // as the list shows it (ansform)
  std::string codes;  // the candidate's internal codes in light order, without tags
  std::string cf;     // the answer's citation form; the shown text for a message word
  int ans;            // answer index; negative for a message word
  double weight;      // the answer's weight
};
// The current light's candidates of the last fill (llist), by decreasing weight; empty when
// the cursor square is not clear.
std::vector<listedword> listedwords();

// Enter a listed word into the cursor's light, each code as a one-code set at its position.
// em is the entry method mask of the listed light: a jumbled light cannot be typed in. Refused
// (done 0) then, and when the light has fewer than two cells or positions or the word's length
// differs. Ends with the after-edit routine and one undo step.
editreport enterword(const listedword& w, unsigned int em);
// Ban answer ans: it is left out of every candidate list until Unban all answers. 0 when done,
// 1 for an index that is no answer. Ends with endedit, whose report goes to *r when given.
int banword(int ans, editreport* r = nullptr);
// Clear every answer's ban; ends with endedit.
editreport unbanall();

// A word of the grid as a setter names it: "3 Across" (with ", layer 2" for a layer of a
// multiplexed light), "the Down light at 4,0" when it has no number, "free light 2", "message 1".
std::string lightname(int w);
// Where the last fill failed, for the window: "" when it did not (filler/failure.h).
std::string failuremessage();
// The squares of the lights the last fill found without candidates (FAIL_EMPTY), or of those
// in which its search most often ran out (FAIL_SEARCH), each once, sorted; for marking them.
std::vector<sqpos> failuresquares();

// Give the word spelt cf a score of 0..100 in the personal list (0: Never use), write the list,
// and bring the answer index into line: the answer's weight and lights change in place, and a
// word no list has yet is added by reading the word lists again (which, as every load, clears the
// bans). Restarts the fill; no undo step, as the list is not the document's. 0 when done, 1 when
// the list could not be written (reported; the change holds for this session), 2 when cf has no
// letter of the alphabet (nothing changes). The report of the edit goes to *r when given.
int setpersonal(const char* cf, int score, editreport* r = nullptr);
// The score a listed word has on the 0..100 scale: its personal score, else its weight's.
int listedscore(const listedword& w);
