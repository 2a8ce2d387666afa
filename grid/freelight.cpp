// Free light commands and the path text. Each stops the filler before it changes the free
// lights, whose properties the words of a running fill point at.
#include "grid/freelight.h"

#include <cctype>

#include "core/message.h"
#include "grid/clues.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/zyn.h"

int flselected() {
  if (selmode != SEL_FREE || nsel != 1) return -1;
  for (int i = 0; i < nfreelights; i++)
    if (freelights[i].sel) return i;
  return -1;
}

// How a free light command that acted ends: its number and the selection layer, which draws the
// free lights, may change.
static int done(editreport* out) {
  editreport r;
  r.marks = r.sel = 1;
  r = endedit(r);
  if (out) *out = r;
  return 0;
}

int flstartnew(editreport* r) {
  if (nfreelights >= MXFL) {
    errbox("Limit on number of\nfree lights reached");
    return 1;
  }
  beginedit();
  clearsel();
  selmode = SEL_FREE;
  freelight& f = freelights[nfreelights++];
  initfreelight(&f);
  f.n = 1;
  f.x[0] = cursorx;
  f.y[0] = cursory;
  f.sel = 1;
  return done(r);
}

int flextend(editreport* r) {
  int i = flselected();
  if (i < 0) return 1;
  freelight& f = freelights[i];
  if (f.n >= MXCL) {
    errbox("Limit on length of\nfree light reached");
    return 1;
  }
  beginedit();
  f.x[f.n] = cursorx;
  f.y[f.n] = cursory;
  f.n++;
  if (deb(DEB_UI)) pstdout("VL %d l=%d\n", i, f.n);
  return done(r);
}

int flshorten(editreport* r) {
  int i = flselected();
  if (i < 0) return 1;
  beginedit();
  freelights[i].n--;
  if (deb(DEB_UI)) pstdout("VL %d l=%d\n", i, freelights[i].n);
  if (freelights[i].n == 0) compactfreelights();
  return done(r);
}

int fldelete(editreport* r) {
  if (selmode != SEL_FREE) return 1;
  beginedit();
  for (int i = 0; i < nfreelights; i++)
    if (freelights[i].sel) freelights[i].n = 0;
  compactfreelights();
  return done(r);
}

void compactfreelights() {
  int n = 0, cur = cursordir >= 100 ? cursordir - 100 : -1;
  int newcur = -1;
  int newindex[MXFL] = {};
  for (int i = 0; i < nfreelights; i++) {
    newindex[i] = -1;
    if (freelights[i].n <= 0) continue;
    newindex[i] = n;
    if (i == cur) newcur = n;
    if (n != i) freelights[n] = freelights[i];
    n++;
  }
  for (int i = n; i < nfreelights; i++) initfreelight(&freelights[i]);
  cluefreemoved(newindex, nfreelights);
  nfreelights = n;
  if (cur >= 0) cursordir = newcur >= 0 ? 100 + newcur : 0;
}

// A decimal number, saturating well above any coordinate; p moves past it.
static int readcoord(const char*& p) {
  int v = 0;
  for (; isdigit((unsigned char)*p); p++)
    if (v < 1000000) v = v * 10 + (*p - '0');
  return v;
}

static int clampcoord(int v) { return v > MXSZ - 1 ? MXSZ - 1 : v; }

int flparsepath(const char* text, int* fx, int* fy) {
  int n = 0;
  const char* p = text;
  for (;;) {
    while (isspace((unsigned char)*p)) p++;
    if (!*p) return n;
    if (n >= MXCL) {
      errbox("Free light length limit reached");
      return -1;
    }
    bool ok = isdigit((unsigned char)*p);
    int x = ok ? readcoord(p) : 0;
    while (ok && (isspace((unsigned char)*p) || *p == ',')) p++;
    ok = ok && isdigit((unsigned char)*p);
    if (!ok) {
      errbox("Each line must contain\ntwo numeric coordinate values\nseparated by a comma or space");
      return -1;
    }
    int y = readcoord(p);
    fx[n] = clampcoord(x);
    fy[n] = clampcoord(y);
    n++;
  }
}

int flsetpath(int n, const char* text, editreport* r) {
  if (n < 0 || n >= nfreelights) return 1;
  int fx[MXCL], fy[MXCL];
  int k = flparsepath(text, fx, fy);
  if (k < 0) return 1;
  beginedit();
  if (k > 0) {
    freelight& f = freelights[n];
    for (int i = 0; i < k; i++) f.x[i] = fx[i], f.y[i] = fy[i];
    f.n = k;
  }
  return done(r);
}
