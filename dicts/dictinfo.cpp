// The dictionaries dialog and statistics window without their widgets.
#include "dicts/dictinfo.h"

#include <algorithm>

#include <glib.h>

#include "core/message.h"
#include "dicts/dicts.h"
#include "grid/geometry.h"
#include "grid/zyn.h"

namespace {

// Byte offsets of the characters of s, and its length at the end. A byte that starts no valid
// character counts as one character, so that any bytes can be shortened.
std::vector<size_t> charstarts(const std::string& s) {
  std::vector<size_t> at;
  for (size_t i = 0; i < s.size();) {
    at.push_back(i);
    int n = utf8charlen(s.c_str() + i);
    i += n > 0 ? (size_t)n : 1;
  }
  at.push_back(s.size());
  return at;
}

}  // namespace

std::string dictdesc(int slot, int maxlen) {
  std::string path = dictpaths[slot], af = dafilter[slot];
  if (!path.empty()) {
    std::vector<size_t> at = charstarts(path);
    int n = (int)at.size() - 1;
    if (n <= maxlen) return path;
    return std::string("...").append(path, at[n - (maxlen - 3)]);
  }
  if (!af.empty()) {
    std::vector<size_t> at = charstarts(af);
    int n = (int)at.size() - 1;
    std::string q = "\"";
    return q.append(af, 0, n <= maxlen ? af.size() : at[maxlen - 3]).append(n <= maxlen ? "\"" : "...\"");
  }
  return "<empty>";
}

std::vector<std::string> dictstatlines(int slot) {
  std::vector<std::string> out = {"  Name: " + dictdesc(slot, 80)};
  if (!dictpaths[slot][0] && !dafilter[slot][0]) return out;
  char buf[200];
  pbuf(buf, sizeof buf, "  Usable entries: %d", nusable[slot]);
  out.push_back(buf);
  pbuf(buf, sizeof buf, "  After file filter: %d", nafterff[slot]);
  out.push_back(buf);
  pbuf(buf, sizeof buf, "  After answer filter: %d", nafteraf[slot]);
  out.push_back(buf);
  if (dminscore[slot] > 0 || naftermin[slot] != nafteraf[slot]) {
    pbuf(buf, sizeof buf, "  After minimum score %d: %d (%d below it left out)", dminscore[slot], naftermin[slot],
         nafteraf[slot] - naftermin[slot]);
    out.push_back(buf);
  }
  if (nnoword[slot]) {
    pbuf(buf, sizeof buf, "  Scored lines without a word, skipped: %d", nnoword[slot]);
    out.push_back(buf);
  }
  std::vector<int> rej;
  for (int u : rejectedchars(slot))
    if (g_unichar_isgraph((gunichar)u)) rej.push_back(u);
  if (rej.empty()) {
    out.push_back("  No Unicode characters were rejected");
    return out;
  }
  out.push_back(rej.size() == 1 ? "  Rejected Unicode character:" : "  Rejected Unicode characters:");
  for (int u : rej) {
    char ch[8];
    cptoutf8(ch, u);
    int count = rejcount[slot][u], first = rejline[slot][u];
    std::string s;
    pbuf(buf, sizeof buf, "    U+%04X (%s): ", u, ch);
    s = buf;
    if (first > 0) {
      if (count == 1) pbuf(buf, sizeof buf, " one occurrence, at line %d", first);
      else pbuf(buf, sizeof buf, " %d occurrences, first at line %d", count, first);
    } else {
      if (count == 1) pbuf(buf, sizeof buf, " one occurrence");
      else pbuf(buf, sizeof buf, " %d occurrences", count);
    }
    out.push_back(s + buf);
  }
  return out;
}

std::string dictusewarning() {
  // The slots some light may take its words from: every light of the grid, and the free lights,
  // whose own properties always apply.
  unsigned int used = 0;
  for (int d = 0; d < ndir(); d++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        if (isstartoflight(x, y, d)) used |= getlprops(x, y, d)->dmask;
  for (int i = 0; i < nfreelights; i++)
    if (freelights[i].n > 0) used |= freelights[i].lp.dmask;
  unsigned int m = dloaded & ~used & ((1u << MAXNDICTS) - 1);
  if (!m) return "";
  std::vector<int> slots;
  for (int k = 0; k < MAXNDICTS; k++)
    if (m >> k & 1) slots.push_back(k + 1);
  std::string s = "No lights have properties set to use\nwords from dictionar";
  s += slots.size() == 1 ? "y " : "ies ";
  for (size_t i = 0; i < slots.size(); i++) {
    if (i) s += i + 1 == slots.size() ? " or " : ", ";
    s += std::to_string(slots[i]);
  }
  return s;
}

std::string dictslotstate(int slot) {
  if (!dictpaths[slot][0] && !dafilter[slot][0]) return "";
  return dloaded >> slot & 1 ? "loaded" : "not loaded";
}

std::string dictloadedtext() {
  std::string yes, no;
  for (int d = 0; d < MAXNDICTS; d++) {
    std::string st = dictslotstate(d), n = std::to_string(d + 1);
    if (st == "loaded") yes += (yes.empty() ? "" : ", ") + n;
    else if (!st.empty()) no += (no.empty() ? "" : ", ") + n;
  }
  std::string t = yes.empty() ? "" : "Dictionaries loaded: " + yes;
  if (!no.empty()) {
    if (!t.empty()) t += '\n';
    t += "Not loaded: " + no;
  }
  return t;
}

dictform dictcurrent() {
  dictform f;
  for (int d = 0; d < MAXNDICTS; d++) {
    f.path[d] = dictpaths[d];
    f.ff[d] = dsfilter[d];
    f.af[d] = dafilter[d];
    f.minscore[d] = dminscore[d];
  }
  return f;
}

