// Answer formatting and the answer-list exports.
#include "export/answers.h"

#include <cstring>
#include <string>

#include "alphabet/alphabet.h"
#include "core/message.h"
#include "core/startup.h"
#include "dicts/dicts.h"
#include "export/export.h"
#include "filler/lists.h"
#include "grid/clues.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "platform/platform.h"

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
      pstdout("  a=%p cfdmask=%08x cf=<%s> acf=%p t0=<%s>\n", (const void*)a, a->cfdmask, a->cf, (const void*)a->acf, t0);
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

namespace {

// One light: its number text, pattern and word, written in the given mode.
void listlight(FILE* f, int x, int y, int d, int layer, int mode, int avail, int* counter) {
  lightpos pos[MXCL];
  int n = lightpositions(pos, x, y, d, layer);
  if (n == -2) {
    if (mode <= LA_HTMLOTHER) pstream(f, "(entry too long)\n");
    return;
  }
  if (n <= 1) return;

  std::string pattern;
  bool complete = true;
  for (int i = 0; i < n; i++) {
    int c = settoicc(sqarray[pos[i].x][pos[i].y].charsets[pos[i].slot][pos[i].pos] & ABM_ALL);
    if (c > 0) pattern += icctext[c];
    else {
      pattern += c == -2 ? "." : "?";
      complete = false;
    }
  }
  int num = d >= 100 ? d - 100 + 1 : sqarray[x][y].number;
  char numtext[16];
  if (num < 1) strcpy(numtext, "-");
  else pbuf(numtext, sizeof numtext, "%d", num);

  if (mode == LA_XMLWORDS) {
    int id = counter ? *counter : 0;
    if (d == 0) pstream(f, "<word id=\"%d\" x=\"%d-%d\" y=\"%d\"></word>\n", id, x + 1, x + n, y + 1);
    else if (d == 1) pstream(f, "<word id=\"%d\" x=\"%d\" y=\"%d-%d\"></word>\n", id, x + 1, y + 1, y + n);
    if (counter) (*counter)++;
    return;
  }

  switch (mode) {
    case LA_TEXT: pstream(f, "%s ", numtext); break;
    case LA_HTML:
    case LA_HTMLOTHER: pstream(f, "<b>%s</b>&nbsp;", numtext); break;
    case LA_HTMLCLUES:
      pstream(f, "<tr><td width=\"0\" align=\"right\" valign=\"top\"><b>%s</b></td>\n<td valign=\"top\">", numtext);
      break;
    case LA_XMLCLUES: break;
  }

  int wi = wordat(x, y, d, layer);
  const word* w = wi >= 0 ? words + wi : nullptr;
  std::string body;
  // Once a document has clues, its clue lists show them and never an answer: an unclued light
  // gets an empty clue, so that a page in progress gives nothing away.
  std::string enumr = std::to_string(n);
  bool clued = cluesinuse() && (mode == LA_HTMLCLUES || mode == LA_XMLCLUES);
  if (clued) {
    const clue* c = cluefor({x, y, d});
    if (c) body = c->text;
    if (c && !c->enumr.empty()) enumr = c->enumr;
  } else if (avail && complete && w && w->flist && w->flistlen > 0) {
    char buf[ANSFORMLEN];
    for (int i = 0; i < w->flistlen; i++) {
      ansform(buf, w->flist[i], w->lp->dmask);
      if (i) body += "; ";
      body += buf;
    }
  } else {
    body = pattern;
  }
  if (mode == LA_XMLCLUES)
    pstream(f, "<clue word=\"%d\" number=\"%s\" format=\"%s\">", counter ? *counter : 0, numtext, markup(enumr).c_str());
  // Plain text is written as it is; every markup mode escapes, and a clue's line breaks show
  // on the page.
  std::string text = mode == LA_TEXT ? body : markup(body);
  if (clued && mode == LA_HTMLCLUES)
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 5) text.replace(at, 1, "<br>\n");
  pstream(f, "%s", text.c_str());

  switch (mode) {
    case LA_TEXT: pstream(f, " (%d)\n", n); break;
    case LA_HTML: pstream(f, "&nbsp;(%d)<br>\n", n); break;
    case LA_HTMLOTHER: pstream(f, "\n"); break;
    case LA_HTMLCLUES: pstream(f, "&nbsp;(%s)</td></tr>\n", markup(enumr).c_str()); break;
    case LA_XMLCLUES: pstream(f, "</clue>\n"); break;
  }
  if (counter) (*counter)++;
}

}  // namespace

void listanswers(FILE* f, int dir, int mode, int avail, int* counter) {
  if (dir < 0) {
    for (int n = 0; n < nfreelights; n++) listlight(f, 0, 0, 100 + n, 0, mode, avail, counter);
    return;
  }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (!isstartoflight(x, y, dir)) continue;
      int layers = getlprops(x, y, dir)->layered ? lightmaxchars(x, y, dir) : 1;
      if (layers < 1) layers = 1;
      for (int l = 0; l < layers; l++) listlight(f, x, y, dir, l, mode, avail, counter);
    }
}

int exportanswers(const char* path, int html) {
  int avail = preexport();
  plat_newfile out;
  if (plat_newopen(out, path)) {
    fserror();
    postexport();
    return 1;
  }
  FILE* f = out.f;
  if (html) {
    pstream(f, "<html><head>\n");
    pstream(f, "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\">\n");
    pstream(f, "</head>\n\n<body>\n");
    pstream(f, "<!-- Created by Zyn %s %s -->\n", release, zynweb);
  } else {
    pstream(f, "# file %s generated by Zyn %s: %s\n", path, release, zynweb);
  }
  for (int d = 0; d < ndir(); d++) {
    if (html) pstream(f, "\n<b>%s</b><br>\n\n", gtypes[gtype].dname[d]);
    else pstream(f, "\n%s\n\n", gtypes[gtype].dname[d]);
    listanswers(f, d, html ? LA_HTML : LA_TEXT, avail, nullptr);
  }
  if (nfreelights > 0) {
    pstream(f, html ? "\n<b>Other</b><br>\n\n" : "\nOther\n\n");
    listanswers(f, -1, html ? LA_HTML : LA_TEXT, avail, nullptr);
  }
  if (html) pstream(f, "</body></html>\n");
  int bad = plat_newcommit(out);
  if (bad) fserror();
  postexport();
  return bad;
}
