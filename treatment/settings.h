// The answer treatment dialog without its widgets: the settings as the dialog shows them, which
// of its rows a type uses; grid/forms.h applies it.
#pragma once

#include <string>

// The dialog's contents. pos is the type's position in the dialog's list (treatorder); alloc the
// position of each allocation choice; constr each message's constraints in the character-set
// notation.
struct treatform {
  int pos = 0;
  std::string msg[2];
  int alloc[2] = {0, 0};
  std::string constr[2];
  std::string plugin;
  bool mustbeword = false;
};

// The current settings; the constraints are written without their trailing unconstrained ("?")
// sets.
treatform treatcurrent();
// The position of type t in the dialog's list, and the type at position pos (None outside it).
int treatpos(int t);
int treatatpos(int pos);

// Which rows the dialog makes sensitive for type t and message m (0 or 1): the message itself,
// its allocation choice, its constraints (alloc: the allocation chosen).
bool treatmsgused(int t, int m);
bool treatallocused(int t, int m);
bool treatconstrused(int t, int m, int alloc);

