// The File menu: New, Open, Save, Save as, the exports, the free light path files and the clue
// import. Each asks before it throws away unsaved work or an existing file, and a cancelled
// question or chooser leaves everything as it was.
#include <cstdio>
#include <cstring>

#include "core/common.h"
#include "core/message.h"
#include "docfile/docfile.h"
#include "export/kinds.h"
#include "grid/road.h"
#include "grid/zyn.h"
#include "gui/msgbox.h"
#include "gui/names.h"
#include "gui/window.h"
#include "platform/platform.h"

namespace {

// A file that can be opened for reading exists as far as Save as is concerned.
bool fileexists(const char* name) {
  FILE* f = plat_fopen(name, "rb");
  if (!f) return false;
  fclose(f);
  return true;
}

void savenamed(const char* name) {
  char old[SLEN];
  strlcpy0(old, filename, SLEN);
  strlcpy0(filename, name, SLEN);
  // A failed save leaves the name the document had.
  if (savedocument()) strlcpy0(filename, old, SLEN);
  settitle();
}

}  // namespace

void m_new(int code) {
  if (unsaved && !areyousure("start again")) return;
  newdocument(code);
  filestem[0] = 0;
  editreport r;
  r.shape = 1;
  showedit(endreplace(r));
}

void m_open(int) {
  if (unsaved && !areyousure("proceed")) return;
  char name[SLEN];
  if (!filechooser(name, sizeof name, "Open", ".zyn", "Zyn", FC_OPEN)) return;
  char oldname[SLEN];
  strlcpy0(oldname, filename, SLEN);
  strlcpy0(filename, name, SLEN);
  // A failed load leaves the document, its undo ring and its name as they were; the file that
  // failed never becomes the one Save writes to.
  // A failed load has restarted assistance on the document it kept.
  if (loaddocument() != LOAD_OK) {
    strlcpy0(filename, oldname, SLEN);
    syncgui();
    return;
  }
  editreport r;
  r.shape = 1;
  showedit(endreplace(r));
}

void m_save(int) {
  std::string name;
  switch (savename(&name)) {
    case SAVE_ASK:
      m_saveas(0);
      return;
    case SAVE_TOOLONG:
      errbox("Filename too long");
      return;
  }
  savenamed(name.c_str());
}

void m_saveas(int) {
  char name[SLEN];
  if (!filechooser(name, sizeof name, "Save", ".zyn", "Zyn", FC_SAVE)) return;
  // The extension first, so that the question names the file that Save will write.
  std::string full = withextension(name, ".zyn");
  if (full.size() >= SLEN) {
    errbox("Filename too long");
    return;
  }
  if (fileexists(full.c_str()) && !askoverwrite()) return;
  savenamed(full.c_str());
}

void m_export(int v) {
  const exportkind* k = exportkindof(v);
  if (!k || !exportkindok(k)) return;
  char name[SLEN];
  if (!filechooser(name, sizeof name, k->title, k->suffix, k->filter, FC_EXPORT)) return;
  k->run(name);
}

void m_importfl(int) {
  char name[SLEN];
  if (!filechooser(name, sizeof name, "Import free light paths", ".fl.txt", "Plain text", FC_OPEN)) return;
  editreport r;
  importfreelights(name, &r);
  showedit(r);
}

void m_exportfl(int) {
  char name[SLEN];
  if (!filechooser(name, sizeof name, "Export free light paths", ".fl.txt", "Plain text", FC_EXPORT)) return;
  exportfreelights(name);
}

void m_importclues(int) {
  char name[SLEN];
  if (!filechooser(name, sizeof name, "Import clues", ".clues.txt", "Plain text", FC_OPEN)) return;
  if (importclues(name) == 0) cluepanerefresh();
}
