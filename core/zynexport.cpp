// Entry point of zyn-export, the window-less document tool: it loads a document as Open does,
// optionally fills it as Autofill does and accepts the hints, and writes one output file as
// the File menu item for the chosen kind would. Messages and exit status are batch mode's.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/hooks.h"
#include "core/lock.h"
#include "core/message.h"
#include "core/prefs.h"
#include "core/startup.h"
#include "dicts/dicts.h"
#include "docfile/docfile.h"
#include "docfile/import.h"
#include "draw/draw.h"
#include "export/kinds.h"
#include "filler/filler.h"
#include "grid/accept.h"
#include "grid/assist.h"
#include "grid/pattern.h"
#include "grid/zyn.h"

namespace {

// The tool's output kinds: the name on the command line, the writer taking the output path (0 on
// success; errors are reported and end the run), and whether the writer needs the
// dictionaries loaded. The export items of the File menu (export/kinds.h) follow them.
struct toolkind {
  const char* name;
  int (*write)(const char* path);
  int needsdicts;
};

int savezyn(const char* path) {
  strlcpy0(filename, path, SLEN);
  return savedocument();
}

const toolkind kinds[] = {
    {"zyn", savezyn, 0},
    {"fl", exportfreelights, 0},
};

const char opts[] = "a:c:d:D:R:F:fg:Pp:m:t:?";
std::vector<std::string> dictopts;  // -d values, for slots 1, 2, ... in order
std::vector<int> minopts;           // -m values, for slots 1, 2, ... in order
std::vector<std::string> prefopts;  // -p values, "key=value"
std::vector<std::string> metaopts;  // -t values, "field=value"
int fillfirst;                      // -f
int allowplugin;                    // -P
const char* patternopt;             // -g
const char* cluefile;               // -c: clues to import before writing

// A document's plug-in is native code: it runs only when -P allows it. Without it the document
// is used without its treatment, as in the window when the user declines.
int askplugin(const char* path) {
  if (allowplugin) return 1;
  std::string msg = std::string("The document's custom plug-in was not loaded (-P loads it):\n") + path;
  warnbox(msg.c_str());
  return 0;
}

int takeexportoption(char c, const char* val) {
  switch (c) {
    case 'd':
      // zyn's own -d refuses a value too long for its buffer, with the message.
      if (strlen(val) >= SLEN) return takeoption(c, val);
      if (dictopts.size() < (size_t)MAXNDICTS) dictopts.push_back(val);
      return 0;
    case 'm': {
      int v;
      if (!readminscore(val, &v)) return 2;
      if (minopts.size() < (size_t)MAXNDICTS) minopts.push_back(v);
      return 0;
    }
    case 'c':
      cluefile = val;
      return 0;
    case 'f':
      fillfirst = 1;
      return 0;
    case 'g':
      patternopt = val;
      return 0;
    case 'P':
      allowplugin = 1;
      return 0;
    case 'p':
      prefopts.push_back(val);
      return 0;
    case 't':
      metaopts.push_back(val);
      return 0;
    case 'b':
      return 1;
    default:
      return takeoption(c, val);
  }
}

void usage(const char* prog) {
  pstdout("\nThis is Zyn's document tool, release %s.\n\n", release);
  pstdout("Usage: %s [-a <alphabet code>] [-d <dictionary_file>]* [-m <minimum score>]* [-D <mask>] [-R <seed>]\n"
          "       [-F <seed>] [-g <style>[,<setting>=<value>]*] [-f] [-P] [-c <clue file>]\n"
          "       [-p <preference>=<value>]* [-t <field>=<text>]*\n"
          "       <document> <kind> <output>\n\n",
          prog);
  pstdout("Loads the document (native, legacy or foreign grid) and writes the output file as the\n"
          "File menu would for the kind:\n");
  pstdout("  zyn   the document in Zyn's own format\n"
          "  fl    the free light paths\n");
  for (const exportkind& k : exportkinds) pstdout("  %-18s %s\n", k.name, k.title);
  pstdout("\n-g adds blocks in a generated pattern first: style american, british or free, and the\n"
          "settings min (shortest light, 3), blocks (a percentage or a range such as 14-18), parity\n"
          "(0 to 3, the British base of the blocked templates) and seed (1); the document's symmetry\n"
          "is kept, and the word lists, when there are any, must find every light a candidate.\n"
          "-c imports the clues of a clue file (as clues-txt writes it) before writing;\n"
          "-f fills the grid first and accepts the fill; -d replaces the document's dictionary\n"
          "files for slots 1, 2, ... in order, and -m their minimum scores (0..100);\n"
          "-p sets a preference for this run; -P loads the custom plug-in the document names (without\n"
          "it the document is used without its treatment); -t field=text sets the document's title,\n"
          "author, copyright or notes before the output is written.\n"
          "Exit status: 0 done, 4 no fill or no pattern found, 16 error.\n");
}

// The export items that list the lights' answers need the word lists; pictures, grids, clues and
// the printable pages do not.
int needsanswers(const char* name) {
  if (strstr(name, "-pdf")) return 0;
  for (const char* p : {"answers-", "puzzle-", "solution-", "ccw-"})
    if (!strncmp(name, p, strlen(p))) return 1;
  return 0;
}

// A kind of the tool's own, or an export item of the File menu; false when there is none.
bool findkind(const char* name, toolkind* out) {
  for (const toolkind& k : kinds)
    if (!strcmp(k.name, name)) {
      *out = k;
      return true;
    }
  if (const exportkind* e = findexportkind(name)) {
    *out = {e->name, e->run, needsanswers(e->name)};
    return true;
  }
  return false;
}

void setprefs() {
  for (const std::string& p : prefopts) {
    size_t eq = p.find('=');
    if (eq == std::string::npos || setpref(p.substr(0, eq).c_str(), p.c_str() + eq + 1)) {
      std::string msg = "Unrecognised preference setting: " + p;
      errbox(msg.c_str());
    }
  }
}

// The -g value: a style, then settings separated by commas. 1 when it cannot be read.
int readpattern(const char* s, patternparams* p) {
  std::string t = s;
  size_t end = t.find(',');
  std::string style = t.substr(0, end);
  p->style = -1;
  for (int i = 0; i < NPATSTYLES; i++)
    if (style == patstylenames[i]) p->style = i;
  if (p->style < 0) return 1;
  patternshares(p->style, &p->minshare, &p->maxshare);
  while (end != std::string::npos) {
    size_t next = t.find(',', end + 1);
    std::string item = t.substr(end + 1, next == std::string::npos ? std::string::npos : next - end - 1);
    end = next;
    size_t eq = item.find('=');
    if (eq == std::string::npos) return 1;
    std::string key = item.substr(0, eq);
    const char* v = item.c_str() + eq + 1;
    char* rest;
    long a = strtol(v, &rest, 10), b = a;
    if (rest == v) return 1;
    if (key == "blocks" && *rest == '-') {
      const char* w = rest + 1;
      b = strtol(w, &rest, 10);
      if (rest == w) return 1;
    }
    if (*rest || a < 0 || b < 0 || a > 100000 || b > 100000) return 1;
    if (key == "min") p->minlen = (int)a;
    else if (key == "blocks") p->minshare = (int)a, p->maxshare = (int)b;
    else if (key == "parity") p->parity = (int)a;
    else if (key == "seed") p->seed = (unsigned int)a;
    else return 1;
  }
  return 0;
}

// Add the blocks of a generated pattern. Returns 4 when no pattern was found; the other
// failures are errors, which end the run.
int genblocks() {
  patternparams p;
  if (readpattern(patternopt, &p)) {
    std::string msg = std::string("Unrecognised block pattern: ") + patternopt;
    errbox(msg.c_str());
  }
  patternresult res;
  generateblocks(p, &res);
  // The edit restarted the background fill, which must not outlive an error's exit.
  filler_stop();
  if (res.status == PS_OK) return 0;
  std::string msg = patternmessage(res.status);
  std::replace(msg.begin(), msg.end(), '\n', ' ');
  if (res.status != PS_NOPATTERN && res.status != PS_NOTFILLABLE) errbox(msg.c_str());
  pstream(stderr, "Error: %s\n", msg.c_str());
  return 4;
}

// The document fields that -t sets.
void setmeta() {
  for (const std::string& m : metaopts) {
    size_t eq = m.find('=');
    std::string field = m.substr(0, eq);
    char* to = field == "title" ? title : field == "author" ? author : field == "copyright" ? copyright : field == "notes" ? notes : nullptr;
    if (eq == std::string::npos || !to) {
      std::string msg = "Unrecognised document field: " + m;
      errbox(msg.c_str());
      continue;
    }
    utf8cut(to, m.c_str() + eq + 1, SLEN);
  }
}

// Fill the whole grid as Autofill does and accept the fill. Returns 4 when there is none;
// the other failures are errors, which end the run.
int fill() {
  if (runfiller(FM_ALL)) errbox("Could not start filler");
  filler_wait();
  filler_stop();
  switch (filler_status) {
    case FS_LISTS:
      errbox("Error generating lists of feasible lights");
      break;
    case FS_DEPTH:
      errbox("Out of stack space");
      break;
    case FS_NOMEM:
      errbox("Out of memory");
      break;
    case FS_NOFILL: {
      pstream(stderr, "Error: No fill found\n");
      std::string where = failuremessage();
      if (!where.empty()) pstream(stderr, "%s\n", where.c_str());
      return 4;
    }
  }
  accepthints();
  filler_stop();
  return 0;
}

int run(int argc, char** argv) {
  int i = scanoptions(argc, argv, opts, takeexportoption);
  if (i == -2) {
    pstream(stderr, "Error: %s\n", parseerror());
    return 16;
  }
  if (i < 0 || argc - i != 3) {
    usage(argv[0]);
    // Asking for the usage is no error; a command line it cannot take is.
    bool asked = false;
    for (int k = 1; k < argc && strcmp(argv[k], "--"); k++) asked = asked || !strcmp(argv[k], "-?");
    return asked ? 0 : 16;
  }
  const char *doc = argv[i], *kindname = argv[i + 1], *out = argv[i + 2];
  if (debug) printversions();
  srand(rseed);

  newdocument(0);
  loadprefdefaults();
  setprefs();
  choosealphabet();
  toolkind kind;
  if (!findkind(kindname, &kind)) {
    std::string msg = std::string("Unknown kind of output: ") + kindname;
    errbox(msg.c_str());
    return 16;
  }
  if (strlen(doc) >= SLEN || strlen(out) >= SLEN) {
    errbox("Filename too long");
    return 16;
  }

  strlcpy0(filename, doc, SLEN);
  if (loaddocument(0) != LOAD_OK) return 16;
  setmeta();
  if (cluefile && importclues(cluefile)) return 16;
  for (size_t d = 0; d < dictopts.size(); d++) strlcpy0(dictpaths[d], dictopts[d].c_str(), SLEN);
  for (size_t d = 0; d < minopts.size(); d++) dminscore[d] = minopts[d];
  // A pattern is checked against the word lists when the document or -d names some.
  bool anydicts = false;
  for (int d = 0; d < MAXNDICTS; d++) anydicts = anydicts || dictpaths[d][0] || dafilter[d][0];
  if (fillfirst || (patternopt && anydicts)) {
    dictsload(0);
  } else if (kind.needsdicts) {
    // As in the window, a word list that cannot be loaded is reported and the export goes on,
    // listing the lights without answers by their patterns.
    softerrors soft;
    dictsload(0);
  }
  if (patternopt && genblocks()) return 4;
  if (fillfirst && fill()) return 4;
  filler_stop();
  return kind.write(out) ? 16 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  rseed = (unsigned int)time(nullptr);
  filler_seed = 0;
  usegui = 0;
  ui.askplugin = askplugin;
  zynfe.printversion = printdrawversions;
  usezipinflate();
  initbitidx16();
  docreset();
  zyn_lock();
  int status = run(argc, argv);
  filler_stop();
  zyn_unlock();
  dictsexit();
  return status;
}
