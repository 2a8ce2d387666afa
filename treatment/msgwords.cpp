// The rebuild's treatment step: one message slot per message in every treated word, and the
// message words through which the filler allocates message characters at its discretion.
#include <algorithm>
#include <cstring>

#include "grid/lights.h"
#include "treatment/treatment.h"

// Pseudo light properties of the two message words: dmask bit 9+m makes msgword m their only
// candidate.
static lightprops msglp[2];

// Message word m over its slots: mode 1 spreads the message over the slots in clue order,
// mode 2 places each character in any slot (a jumble padded with "no character").
// Returns 0, or 1 when memory ran out.
static int addmsgword(int m, entry* const* slots, int nslots) {
  int mode = allocmode[m];
  char s[MXMSGSLOTS + 1];
  int n = (int)strnlen(treatmsgICC[m], nslots);
  memcpy(s, treatmsgICC[m], n);
  if (mode == 2)
    while (n < nslots) s[n++] = ICC_DASH;
  s[n] = 0;
  // An empty spread word would have no candidate and so no fill; without it every slot
  // still takes "no character", the only tag an empty message offers.
  if (n == 0) return 0;
  memcpy(msgword[m], s, n + 1);
  msglp[m] = lightprops{1u << (9 + m), mode == 1 ? 0x20u : 0x1fu, 0, 1, 1, 0};
  word& w = words[nw];
  memset(&w, 0, sizeof w);
  if (wordroom(&w, nslots)) return 1;
  w.nent = nslots;
  w.wlen = w.jlen = n;
  w.lp = &msglp[m];
  for (int k = 0; k < nslots; k++) {
    w.e[k] = slots[k];
    w.goi[k] = -1;
  }
  nc += nslots;
  if (deb(DEB_REBUILD)) pstdout("rebuild: message word %d: %d slots, %d characters\n", m + 1, nslots, n);
  nw++;
  return 0;
}

// Relies on rebuild's spare room: two entries per word and two words beyond nw.
int buildmsgwords() {
  msgword[0][0] = msgword[1][0] = 0;
  if (!treattype || ntw <= 0) return 0;
  static entry* slots[2][MXMSGSLOTS];
  int nw0 = nw;
  for (int m = 0; m < 2; m++) {
    int k = 0;
    for (int i = 0; i < nw0; i++) {
      word& w = words[i];
      if (!w.lp->ten) continue;
      entry& e = entries[ne++];
      e.flbm = allocmode[m] && k < MXMSGSLOTS ? msgconstr[m][k] & ABM_ALLDASH : ABM_ALLDASH;
      e.gx = w.gx;
      e.gy = w.gy;
      e.checking = 2;
      e.sel = 1;
      w.goi[w.nent] = -1;
      w.e[w.nent++] = &e;
      nc++;
      if (k < MXMSGSLOTS) slots[m][k] = &e;
      else gstats.msgoverflow = 1;
      k++;
    }
  }
  int nslots = std::min(ntw, MXMSGSLOTS);
  for (int m = 0; m < 2; m++)
    if ((allocmode[m] == 1 || allocmode[m] == 2) && addmsgword(m, slots[m], nslots)) return 1;
  return 0;
}
