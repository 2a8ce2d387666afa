// A candidate as the word lists spell it: its citation forms from the answer index, with the
// light string first and the entry method after when it is not entered as written.
#include "filler/ansform.h"

#include <cstring>

#include "alphabet/alphabet.h"
#include "dicts/dicts.h"
#include "filler/lists.h"

namespace {

const char* const emsuffix[] = {"", " (rev.)", " (cyc.)", " (cyc., rev.)", "*"};

// Append s to the buffer if it fits within the limit; 0 when it did not fit.
int append(char* t0, size_t& len, const char* s, size_t limit) {
  size_t l = strlen(s);
  if (len + l > limit) return 0;
  memcpy(t0 + len, s, l + 1);
  len += l;
  return 1;
}

}  // namespace

void ansform(char* t0, int ln, unsigned int dmask) {
  const ltsrec& c = lts[ln];
  size_t len = 0;
  t0[0] = 0;
  if (c.em >= 1 && c.em <= 3) {
    // The light string can be longer than the buffer in a wide alphabet: cut it there.
    bool fits = true;
    for (int i = 0; i < c.len0 && fits; i++) fits = append(t0, len, icctext[(unsigned char)c.s[i]], ANSFORMMAX);
    if (fits) append(t0, len, ": ", ANSFORMMAX);
  }
  if (deb(DEB_EXPORT)) pstdout("ansform: t0=<%s> ln=%d dmask=0x%08x\n", t0, ln, dmask);
  if (c.ans < 0) return;
  bool first = true;
  const answer* a;
  for (a = answerlist[c.ans]; a; a = a->acf) {
    if (deb(DEB_EXPORT))
      pstdout("  a=%p cfdmask=%08x cf=<%s> acf=%p t0=<%s>\n", (const void*)a, a->cfdmask, (const char*)a->cf, (const void*)a->acf,
              t0);
    if (!(a->cfdmask & dmask)) continue;
    if (len + strlen(a->cf) + 2 > ANSFORMMAX) {
      append(t0, len, "...", ANSFORMLEN - 1);
      break;
    }
    if (!first) append(t0, len, ", ", ANSFORMMAX);
    append(t0, len, a->cf, ANSFORMMAX);
    first = false;
    if (deb(DEB_EXPORT)) pstdout("  t0=<%s>\n", t0);
  }
  if (c.em > 0 && c.em <= 4) append(t0, len, emsuffix[c.em], ANSFORMLEN - 1);
  if (deb(DEB_EXPORT)) pstdout("  done: acf=%p t0=<%s>\n", a ? (const void*)a->acf : nullptr, t0);
}
