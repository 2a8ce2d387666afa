// The treatment engine: the twelve treatment types, the derived forms of the two messages,
// the Playfair square and the offering of each answer's treated forms.
#include "treatment/treatment.h"

#include <cstring>

#include "alphabet/alphabet.h"
#include "dicts/dicts.h"

char treatmsgICC[2][MXMSGU + 1];
char treatmsgICCAZ[2][MXMSGU + 1];
char treatmsgICCAZ09[2][MXMSGU + 1];
char treatmsgAZ[2][MXMSGU + 1];
char treatmsgAZ09[2][MXMSGU + 1];
int treatmsgU[2][MXMSGU + 1];
int treatmsgUAZ[2][MXMSGU + 1];
int treatmsgUAZ09[2][MXMSGU + 1];
char msgword[2][MXMSGSLOTS + 1];

// Lengths of the forms the engine indexes per answer, measured when the forms are made.
static int lenICC[2], lenU[2];

int pfsquare[25];
int pfcell[62];

bool discretionok(int t, int m) {
  if (m == 0)
    return t == TT_VCAESAR || t == TT_DELETE || t == TT_LATENT || t == TT_INSERT ||
           t == TT_PLUGIN || t == TT_MISCORRECT || t == TT_MISINCORRECT;
  return t == TT_PLUGIN;
}

void makemsgforms() {
  if (treattype < 0 || treattype >= NTREATTYPES) treattype = TT_NONE;
  for (int m = 0; m < 2; m++) {
    if (allocmode[m] < 0 || allocmode[m] > 2 || !discretionok(treattype, m)) allocmode[m] = 0;
    // The text buffer always ends in a terminator, whatever was copied into it.
    treatmsg[m][MXMSGLEN] = 0;
    int n = utf8tocps(treatmsgU[m], treatmsg[m], MXMSGU + 1);
    int ni = 0, ni09 = 0, niaz = 0, nu09 = 0, nuaz = 0, n09 = 0, naz = 0;
    for (int i = 0; i < n; i++) {
      int c = uchartoICC(treatmsgU[m][i]);
      if (c < 1 || c > MAXICC) continue;
      treatmsgICC[m][ni++] = (char)c;
      int g = iccclass[c], u = icccp[c];
      if (g != 0 && g != 1) continue;
      treatmsgICCAZ09[m][ni09++] = (char)c;
      treatmsgUAZ09[m][nu09++] = u;
      if (u < 128) treatmsgAZ09[m][n09++] = (char)u;
      if (g != 0) continue;
      treatmsgICCAZ[m][niaz++] = (char)c;
      treatmsgUAZ[m][nuaz++] = u;
      if (u < 128) treatmsgAZ[m][naz++] = (char)u;
    }
    treatmsgICC[m][ni] = treatmsgICCAZ09[m][ni09] = treatmsgICCAZ[m][niaz] = 0;
    treatmsgAZ09[m][n09] = treatmsgAZ[m][naz] = 0;
    treatmsgUAZ09[m][nu09] = treatmsgUAZ[m][nuaz] = 0;
    lenICC[m] = ni;
    lenU[m] = n;
    if (deb(DEB_TREAT)) {
      pstdout("message %d: %d characters, ICC form \"", m + 1, n);
      printICCs(treatmsgICC[m]);
      pstdout("\"\n");
    }
  }
}

// The code whose canonical character is u, or 0.
static int codeofchar(int u) {
  for (int c = 1; c <= MAXICC; c++)
    if (iccorder[c] >= 0 && icccp[c] == u) return c;
  return 0;
}

static void makesquare() {
  for (int& c : pfsquare) c = 0;
  for (int& p : pfcell) p = -1;
  int ci = codeofchar('I'), cj = codeofchar('J');
  int n = 0;
  auto place = [&](int c) {
    if (n < 25 && c >= 1 && c <= MAXICC && pfcell[c] < 0) {
      pfsquare[n] = c;
      pfcell[c] = n++;
    }
  };
  for (int i = 0; i < lenICC[0]; i++) {
    int c = (unsigned char)treatmsgICC[0][i];
    place(c == cj && ci ? ci : c);
  }
  for (int i = 0; i < ncodes; i++) {
    int c = ordericc[i];
    if (!(c == cj && ci)) place(c);
  }
  if (ci && cj) pfcell[cj] = pfcell[ci];
  if (deb(DEB_TREAT)) {
    pstdout("Playfair square:\n");
    for (int i = 0; i < 25; i++) {
      pstdout(" %s", pfsquare[i] ? icctext[pfsquare[i]] : ".");
      if (i % 5 == 4) pstdout("\n");
    }
  }
}

int inittreatment() {
  if (treattype == TT_PLAYFAIR) makesquare();
  if (treattype == TT_PLUGIN)
    for (int m = 0; m < 2; m++) {
      treatmessage[m] = treatmsg[m];
      treatmessageAZ[m] = treatmsgAZ[m];
      treatmessageAZ09[m] = treatmsgAZ09[m];
      treatmessageICC[m] = treatmsgICC[m];
      treatmessageICCAZ[m] = treatmsgICCAZ[m];
      treatmessageICCAZ09[m] = treatmsgICCAZ09[m];
      treatmessageU[m] = treatmsgU[m];
      treatmessageUAZ[m] = treatmsgUAZ[m];
      treatmessageUAZ09[m] = treatmsgUAZ09[m];
    }
  return 0;
}

// The light's message character of message 0 as a code, or 0 for "none".
static int tagcode() {
  int c = (unsigned char)msgcharICC[0];
  return c >= 1 && c <= MAXICC ? c : 0;
}

// c shifted by the index of key character k within its group, inside c's own group.
static int shift(int c, int k) {
  int gc = iccclass[c], gk = iccclass[k];
  if ((gc != 0 && gc != 1) || (gk != 0 && gk != 1)) return c;
  int i = iccorder[c] - classstart[gc] + iccorder[k] - classstart[gk];
  return groupcode(gc, i % groupsize(gc));
}

// Offers each string that differs from a in exactly one position: where a holds cor (any
// position when cor is 0), the character inc, or every other character when inc is 0.
static int misprint(const char* a, int len, int cor, int inc) {
  char t[MXANSLEN + 2];
  memcpy(t, a, len + 1);
  for (int p = 0; p < len; p++) {
    int c = (unsigned char)a[p];
    if (cor && cor != c) continue;
    int r;
    if (!inc) {
      for (int i = 0; i < ncodes; i++) {
        int x = ordericc[i];
        if (x == c) continue;
        t[p] = (char)x;
        if ((r = treatedanswerICC(t))) return r;
      }
    } else {
      if (!cor && c == inc) continue;
      t[p] = (char)inc;
      if ((r = treatedanswerICC(t))) return r;
      if (cor == inc) return 0;
    }
    t[p] = (char)c;
  }
  return 0;
}

static int playfair(const char* a, int len) {
  char t[MXANSLEN + 2];
  memcpy(t, a, len + 1);
  for (int i = 0; i + 1 < len; i += 2) {
    int pa = pfcell[(unsigned char)t[i]], pb = pfcell[(unsigned char)t[i + 1]];
    if (pa < 0 || pb < 0 || pa == pb) continue;
    int ra = pa / 5, ca = pa % 5, rb = pb / 5, cb = pb % 5, na, nb;
    if (ra == rb) {
      na = ra * 5 + (ca + 1) % 5;
      nb = rb * 5 + (cb + 1) % 5;
    } else if (ca == cb) {
      na = (ra + 1) % 5 * 5 + ca;
      nb = (rb + 1) % 5 * 5 + cb;
    } else {
      na = ra * 5 + cb;
      nb = rb * 5 + ca;
    }
    // A square short of characters (a small alphabet) has empty cells: such pairs stay.
    if (!pfsquare[na] || !pfsquare[nb]) continue;
    t[i] = (char)pfsquare[na];
    t[i + 1] = (char)pfsquare[nb];
  }
  return treatedanswerICC(t);
}

static int plugin(const char* a, int len) {
  static int u[MXANSLEN + 1];
  static char text[(MXANSLEN + 1) * sizeof icctext[0]];
  size_t n = 0;
  for (int i = 0; i < len; i++) {
    int c = (unsigned char)a[i];
    u[i] = ICCtouchar(c);
    size_t l = strlen(icctext[c]);
    memcpy(text + n, icctext[c], l);
    n += l;
  }
  u[len] = 0;
  text[n] = 0;
  answerICC = a;
  answerU = u;
  if (deb(DEB_TREAT)) pstdout("ansutf8=>%s<\n", text);
  return plugintreat(text);
}

int applytreatment(const char* ans) {
  int len = (int)strnlen(ans, MXANSLEN + 1);
  if (len > MXANSLEN) return 0;
  for (int i = 0; i < len; i++)
    if ((unsigned char)ans[i] > MAXICC) return 0;
  char t[MXANSLEN + 2];
  int c, r;
  switch (treattype) {
    case TT_PLAYFAIR:
      return len == lightlength ? playfair(ans, len) : 0;
    case TT_SUBST: {
      if (len != lightlength) return 0;
      // Groups 0 and 1 take the key's characters in turn: letters first, then digits.
      int klen = lenICC[0];
      for (int i = 0; i <= len; i++) {
        c = (unsigned char)ans[i];
        int g = c ? iccclass[c] : -1;
        t[i] = (g == 0 || g == 1) && iccorder[c] < klen ? treatmsgICC[0][iccorder[c]] : (char)c;
      }
      return treatedanswerICC(t);
    }
    case TT_CAESAR: {
      int klen = lenICC[0];
      if (!klen || !ncodes) return treatedanswerICC(ans);
      if (len != lightlength) return 0;
      for (int i = 0; i < len; i++) t[i] = (char)shift((unsigned char)ans[i], (unsigned char)treatmsgICC[0][i % klen]);
      t[len] = 0;
      return treatedanswerICC(t);
    }
    case TT_VCAESAR: {
      int k;
      if (allocmode[0] == 0) {
        if (!lenICC[0]) return treatedanswerICC(ans);
        k = (unsigned char)treatmsgICC[0][clueorderindex % lenICC[0]];
      } else if (!(k = tagcode())) {
        return treatedanswerICC(ans);
      }
      if (len != lightlength) return 0;
      for (int i = 0; i < len; i++) t[i] = (char)shift((unsigned char)ans[i], k);
      t[len] = 0;
      return treatedanswerICC(t);
    }
    case TT_MISPRINT: {
      int i = clueorderindex;
      int cor = i >= 0 && i < lenU[0] ? uchartoICC(treatmsgU[0][i]) : 0;
      int inc = i >= 0 && i < lenU[1] ? uchartoICC(treatmsgU[1][i]) : 0;
      if (!cor && !inc) return treatedanswerICC(ans);
      return len == lightlength ? misprint(ans, len, cor, inc) : 0;
    }
    case TT_MISCORRECT:
    case TT_MISINCORRECT:
      if (!(c = tagcode())) return treatedanswerICC(ans);
      if (len != lightlength) return 0;
      return treattype == TT_MISCORRECT ? misprint(ans, len, c, 0) : misprint(ans, len, 0, c);
    case TT_DELETE:
      if (!(c = tagcode())) return treatedanswerICC(ans);
      if (len != lightlength + 1) return 0;
      // Deleting any character of a run gives the same string: only the run's first is used.
      for (int p = 0; p < len; p++) {
        if ((unsigned char)ans[p] != c || (p > 0 && (unsigned char)ans[p - 1] == c)) continue;
        memcpy(t, ans, p);
        memcpy(t + p, ans + p + 1, len - p);
        if ((r = treatedanswerICC(t))) return r;
      }
      return 0;
    case TT_LATENT: {
      if (!(c = tagcode())) return treatedanswerICC(ans);
      if (len <= lightlength) return 0;
      int n = 0;
      for (int p = 0; p < len; p++)
        if ((unsigned char)ans[p] != c) t[n++] = ans[p];
      t[n] = 0;
      return n == lightlength ? treatedanswerICC(t) : 0;
    }
    case TT_INSERT:
      if (!(c = tagcode())) return treatedanswerICC(ans);
      if (len != lightlength - 1) return 0;
      // Inserting anywhere in or just after a run of c gives the string already offered.
      for (int p = 0; p <= len; p++) {
        if (p > 0 && (unsigned char)ans[p - 1] == c) continue;
        memcpy(t, ans, p);
        t[p] = (char)c;
        memcpy(t + p + 1, ans + p, len - p + 1);
        if ((r = treatedanswerICC(t))) return r;
      }
      return 0;
    case TT_PLUGIN:
      return plugin(ans, len);
    default:
      return treatedanswerICC(ans);
  }
}
