// Applying the Dictionaries and Answer treatment dialogs' forms to the document, each as one
// edit.
#include "grid/forms.h"

#include <algorithm>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/message.h"
#include "dicts/dicts.h"
#include "grid/road.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"

editreport applydictform(const dictform& f) {
  beginedit();  // the filler reads the answer index being rebuilt
  for (int d = 0; d < MAXNDICTS; d++) {
    utf8cut(dictpaths[d], f.path[d].c_str(), SLEN);
    utf8cut(dsfilter[d], f.ff[d].c_str(), SLEN);
    utf8cut(dafilter[d], f.af[d].c_str(), SLEN);
    dminscore[d] = std::clamp(f.minscore[d], 0, 100);
  }
  int loaded = dictsload(0);
  if (loaded == 1) {
    // The slots that could be loaded are used; say which they are.
    warnbox(dictloadedtext().c_str());
  } else if (loaded == 0) {
    std::string w = dictusewarning();
    if (!w.empty()) warnbox(w.c_str());
  }
  editreport r;
  return endedit(r);
}

editreport applytreatform(const treatform& f) {
  beginedit();  // the filler reads the settings and may be inside the plug-in
  utf8cut(pluginpath, f.plugin.c_str(), SLEN);
  treattype = treatatpos(f.pos);
  for (int m = 0; m < 2; m++) {
    utf8cut(treatmsg[m], f.msg[m].c_str(), MXMSGLEN + 1);
    allocmode[m] = discretionok(treattype, m) ? std::clamp(f.alloc[m], 0, 2) : 0;
    int n = parseabm(msgconstr[m], MXMSGSLOTS, f.constr[m].c_str(), 1);
    std::fill(msgconstr[m] + n, msgconstr[m] + MXMSGSLOTS, ABM_ALLDASH);
  }
  mustbeword = f.mustbeword;
  syncplugin();
  editreport r;
  return endedit(r);
}
