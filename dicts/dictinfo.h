// What the dictionaries dialog and the statistics window show and do, without their widgets:
// a slot's one-line description, the statistics of the last load, the warning about loaded
// slots no light uses; grid/forms.h applies the slot settings.
#pragma once

#include <string>
#include <vector>

#include "core/common.h"

// A slot (0..8) described in at most maxlen characters: its file name (a long one as "..." and
// its last maxlen-3 characters), else its answer filter in double quotes (a long one cut to its
// first maxlen-3 characters and "..."), else "<empty>".
std::string dictdesc(int slot, int maxlen);

// The lines of a slot's page in the statistics window: its name, and for a slot with a file or
// an answer filter the counts of the last load and the characters it rejected. Plain text.
std::vector<std::string> dictstatlines(int slot);

// The warning for slots that stored words in the last load although no light's properties let
// it use them; "" when there are none.
std::string dictusewarning();

// Which slots with a file or an answer filter the last load could use: "loaded", "not loaded",
// or "" for an empty slot; and all of them in one message, "Dictionaries loaded: 1, 3\nNot
// loaded: 2" (either part left out when it names no slot).
std::string dictslotstate(int slot);
std::string dictloadedtext();

// The texts of the dialog's 27 entries, slot by slot, and each slot's minimum score.
struct dictform {
  std::string path[MAXNDICTS], ff[MAXNDICTS], af[MAXNDICTS];
  int minscore[MAXNDICTS];
};
dictform dictcurrent();
