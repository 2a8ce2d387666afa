// New documents from the size and template codes, and the name a document goes by: its file
// stem, whether it has a name, and the text of the window title.
#include <cstring>
#include <string>

#include "core/undo.h"
#include "docfile/docfile.h"
#include "filler/filler.h"
#include "grid/lights.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "platform/platform.h"

char filestem[SLEN] = "";
int havename = 0;
int readforeigngrid = 0;

constexpr int tcode(int w, int h, int p) { return w << 16 | h << 8 | p; }
constexpr int NOBLOCKS = 128;

#define BLANK(w, h) {"", "Blank " #w "x" #h, tcode(w, h, NOBLOCKS)}
#define BLOCKED(n)                                                    \
  {"Blocked " #n "x" #n " template", "No unches on edges", tcode(n, n, 0)},    \
  {"Blocked " #n "x" #n " template", "Unches left and right", tcode(n, n, 1)}, \
  {"Blocked " #n "x" #n " template", "Unches top and bottom", tcode(n, n, 2)}, \
  {"Blocked " #n "x" #n " template", "Unches on all edges", tcode(n, n, 3)}

const doctemplate doctemplates[NDOCTEMPLATES] = {
    {"", "Current shape and size", 0},
    BLANK(9, 9), BLANK(10, 10), BLANK(11, 11), BLANK(12, 12), BLANK(13, 13), BLANK(14, 14), BLANK(15, 15),
    BLANK(11, 13), BLANK(13, 11),
    BLOCKED(13), BLOCKED(15), BLOCKED(17), BLOCKED(19), BLOCKED(21), BLOCKED(23), BLOCKED(25),
};

void setfilestem(const char* name) {
  strlcpy0(filestem, name, SLEN);
  size_t l = strlen(filestem);
  if (l >= 4 && !strcmp(filestem + l - 4, ".zyn")) filestem[l - 4] = 0;
}

// The folder a new document's name starts from: that of the current one, or the user's
// documents folder.
static std::string newstemfolder() {
  if (filestem[0]) {
    const char* sep = strrchr(filestem, PLAT_SEP);
    return sep ? std::string(filestem, (size_t)(sep + 1 - filestem)) : "";
  }
  std::string docs = plat_docsdir();
  if (docs.empty() || docs.size() > 979) return "";
  return docs + PLAT_SEP;
}

void newdocument(int code) {
  filler_stop();
  docreset();
  int w = code >> 16 & 0xff, h = code >> 8 & 0xff, p = code & 0xff;
  if (w >= 1 && w <= MXSZ && h >= 1 && h <= MXSZ) {
    gtype = 0;
    setgridsize(w, h);
    if (!(p & NOBLOCKS))
      for (int x = 0; x < width; x++)
        for (int y = 0; y < height; y++)
          if ((y + (p >> 1 & 1)) & (x + (p & 1)) & 1) sqarray[x][y].sqflags = SQF_BLOCK;
  }
  // The symmetry stays, as far as the new grid allows it.
  symmreduce();
  std::string stem = newstemfolder() + "untitled";
  strlcpy0(filestem, stem.c_str(), SLEN);
  havename = 0;
  readforeigngrid = 0;
  numbering();
  undo_start();
}

int savename(std::string* name) {
  if (!havename || !filestem[0]) return SAVE_ASK;
  *name = std::string(filestem) + ".zyn";
  if (name->size() >= (size_t)SLEN) return SAVE_TOOLONG;
  return readforeigngrid && *name == filename ? SAVE_ASK : SAVE_NAMED;
}

std::string titletext() {
  // The file's own name, without its folder: the same however the document was opened, and no
  // folder names in an exported page.
  const char* sep = strrchr(filestem, PLAT_SEP);
  const char* base = sep ? sep + 1 : filestem;
  std::string t = title[0] ? title : base[0] ? base : "(untitled)";
  if (author[0]) t += std::string(" by ") + author;
  return t;
}

std::string windowtitle() { return "Zyn: " + titletext(); }
