// Helpers shared by the tests.
#include "tests/testutil.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/lock.h"
#include "core/message.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "docfile/import.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "filler/recover.h"
#include "grid/zyn.h"

namespace {
std::vector<std::string> tempfiles;
msgcapture* current = nullptr;
uihooks saved;
int savedgui;

struct cleanup {
  ~cleanup() {
    for (auto& f : tempfiles) unlink(f.c_str());
  }
} cleaner;

}  // namespace

std::string readfile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::string golden(const std::string& name, const std::string& actual) {
  std::string path = std::string(ZYN_SOURCE_DIR "/tests/golden/") + name;
  const char* update = getenv("ZYN_UPDATE_GOLDEN");
  if (update && *update == '1') std::ofstream(path, std::ios::binary) << actual;
  return readfile(path);
}

int withfilesizelimit(long bytes, int (*fn)()) {
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit lim = old;
  lim.rlim_cur = (rlim_t)bytes;
  void (*oldsig)(int) = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &lim);
  int r = fn();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldsig);
  return r;
}

std::string writetemp(const std::string& bytes, const char* suffix) {
  char tmpl[] = "/tmp/zyntestXXXXXX";
  int fd = mkstemp(tmpl);
  if (fd < 0) abort();
  close(fd);
  std::string path = std::string(tmpl) + suffix;
  rename(tmpl, path.c_str());
  std::ofstream(path, std::ios::binary) << bytes;
  tempfiles.push_back(path);
  return path;
}

msgcapture::msgcapture() {
  saved = ui;
  savedgui = usegui;
  current = this;
  usegui = 1;
  ui.warnbox = [](const char* m) { current->msgs.push_back(std::string("W:") + m); };
  ui.errbox = [](const char* m) { current->msgs.push_back(std::string("E:") + m); };
  ui.infobox = [](const char* m) { current->msgs.push_back(std::string("I:") + m); };
}

msgcapture::~msgcapture() {
  ui = saved;
  usegui = savedgui;
  current = nullptr;
}

std::string tempdir() {
  char t[] = "/tmp/zyntestXXXXXX";
  if (!mkdtemp(t)) abort();
  return t;
}

cellprops* owncell(int x, int y) {
  cellprops* c = &sqarray[x][y].cellrec;
  c->cellown = 1;
  return c;
}

// The test's main thread holds the program's lock from the start, as the program's main thread
// does: the filler thread takes it to publish its results, and filler_wait lets go of it while
// the filler thread ends.
static struct mainlock {
  mainlock() { zyn_lock(); }
} mainlocked;

int runcmd(const std::string& cmd, std::string* out, std::string* err) {
  std::string o = writetemp("", ".out"), e = writetemp("", ".err");
  int st = system((cmd + " >" + o + " 2>" + e).c_str());
  if (out) *out = readfile(o);
  if (err) *err = readfile(e);
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

void resetengine() {
  initbitidx16();
  usezipinflate();
  alphaload(0);
  loadprefdefaults();
  debug = 0;
  filler_seed = 0;
  recoverybudget = RECOVERYBUDGET;
  assistmode = 2;
  for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = dsfilter[d][0] = dafilter[d][0] = 0;
}

void resetdocument(int size) {
  resetengine();
  gtype = 0, width = height = size, rotsym = 2, mirsym = dupsym = 0;
  cursorx = cursory = cursordir = cursorlayer = 0;
  title[0] = author[0] = 0;
  docreset();
  undo_start();
}

int loadwords(const std::vector<std::string>& words) {
  std::string text;
  for (auto& w : words) text += w + "\n";
  strlcpy0(dictpaths[0], writetemp(text).c_str(), SLEN);
  // As in the program, the lists change only while no fill reads them (an undo restarts one).
  filler_stop();
  return dictsload(1);
}

void drawgrid(int gt, const std::vector<std::string>& rows) {
  gtype = gt;
  height = (int)rows.size();
  width = (int)rows[0].size();
  cursorx = cursory = cursordir = cursorlayer = 0;
  docreset();
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      char c = rows[y][x];
      sqarray[x][y].sqflags = c == '#' ? SQF_BLOCK : c == 'x' ? SQF_CUTOUT : 0;
    }
}

void setfreelight(int k, const std::vector<std::pair<int, int>>& cells) {
  freelight& f = freelights[k];
  f.n = (int)cells.size();
  for (int i = 0; i < f.n; i++) f.x[i] = cells[i].first, f.y[i] = cells[i].second;
  if (k >= nfreelights) nfreelights = k + 1;
}
