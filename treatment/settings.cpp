// The answer treatment dialog without its widgets.
#include "treatment/settings.h"

#include <algorithm>
#include <vector>

#include "grid/zyn.h"
#include "treatment/treatment.h"

treatform treatcurrent() {
  treatform f;
  f.pos = treatpos(treattype);
  char buf[1024];
  for (int m = 0; m < 2; m++) {
    f.msg[m] = treatmsg[m];
    f.alloc[m] = allocmode[m];
    std::vector<std::string> sets;
    for (int k = 0; k < MXMSGSLOTS; k++) {
      abmtostr(buf, sizeof buf, msgconstr[m][k], 1);
      sets.push_back(buf);
    }
    while (!sets.empty() && sets.back() == "?") sets.pop_back();
    for (const std::string& t : sets) f.constr[m] += t;
  }
  f.plugin = pluginpath;
  f.mustbeword = mustbeword != 0;
  return f;
}

int treatpos(int t) {
  for (int i = 0; i < NTREATTYPES; i++)
    if (treatorder[i] == t) return i;
  return 0;
}

int treatatpos(int pos) { return pos >= 0 && pos < NTREATTYPES ? treatorder[pos] : TT_NONE; }

bool treatmsgused(int t, int m) { return msglabel(t, m)[0] != '-'; }
bool treatallocused(int t, int m) { return discretionok(t, m); }
bool treatconstrused(int t, int m, int alloc) { return discretionok(t, m) && alloc >= 1; }

