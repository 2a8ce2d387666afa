// Free light path files: every free light's path as lines of "x y", one light after another,
// so that paths made elsewhere can be brought into a grid. Only the paths travel.
#include <cstring>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/startup.h"
#include "docfile/docfile.h"
#include "docfile/linereader.h"
#include "filler/filler.h"
#include "grid/road.h"
#include "grid/zyn.h"
#include "platform/platform.h"

int exportfreelights(const char* path) {
  std::string o = std::string("# Free light export file created by Zyn ") + release + " " + zynweb + "\n";
  char buf[64];
  for (int i = 0; i < nfreelights; i++) {
    pbuf(buf, sizeof buf, "# Free light %d\n", i);
    o += buf;
    for (int k = 0; k < freelights[i].n; k++) {
      pbuf(buf, sizeof buf, "%d %d\n", freelights[i].x[k], freelights[i].y[k]);
      o += buf;
    }
    o += "\n";
  }
  o += "# END\n";
  if (plat_writefile(path, o.data(), o.size())) {
    fserror();
    return 1;
  }
  return 0;
}

namespace {

// One cell "x y" of a path line, each 0 to 62, and nothing else.
bool readcell(const std::string& l, int* x, int* y) {
  const char* p = l.c_str();
  while (*p == ' ' || *p == '\t') p++;
  if (!readint(p, x) || (*p != ' ' && *p != '\t')) return false;
  while (*p == ' ' || *p == '\t') p++;
  if (!readint(p, y)) return false;
  while (*p == ' ' || *p == '\t') p++;
  return !*p && *x >= 0 && *x < MXSZ && *y >= 0 && *y < MXSZ;
}

bool blank(const std::string& l) { return l.find_first_not_of(" \t") == std::string::npos; }

// The paths of the file as new free lights (default properties, not selected); 0, or 1 for a
// format error.
int readpaths(linereader& lr, std::vector<freelight>& fl) {
  freelight cur;
  initfreelight(&cur);
  auto complete = [&] {
    fl.push_back(cur);
    cur.n = 0;
  };
  while ((int)fl.size() < MXFL && lr.next()) {
    const std::string& l = lr.line;
    if (blank(l)) {
      if (cur.n > 0) complete();
      continue;
    }
    if (l[0] == '#') continue;
    int x, y;
    if (!readcell(l, &x, &y) || cur.n >= MXCL) return 1;
    cur.x[cur.n] = x;
    cur.y[cur.n] = y;
    cur.n++;
  }
  if (cur.n > 0 && (int)fl.size() < MXFL) complete();
  return 0;
}

}  // namespace

int importfreelights(const char* path, editreport* r) {
  FILE* f = openforreading(path, "importing VL:s");
  if (!f) return 1;
  std::vector<freelight> fl;
  linereader lr(f);
  int bad = readpaths(lr, fl);
  int ioerr = closeread(f);
  if (ioerr || bad) {
    if (ioerr) fserror();
    else formaterror(path, lr);
    runfiller(FM_ASSIST);
    return 1;
  }
  for (int i = 0; i < MXFL; i++) {
    if (i < (int)fl.size()) freelights[i] = fl[i];
    else initfreelight(&freelights[i]);
  }
  nfreelights = (int)fl.size();
  editreport e;
  e.marks = e.sel = 1;
  e = endedit(e);
  if (r) *r = e;
  return 0;
}
