// Start-up: command line, usage text, version lines and the start-up order.
#include "core/startup.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/lock.h"
#include "core/message.h"
#include "core/prefs.h"
#include "deck/deck.h"
#include "filler/filler.h"
#include "dicts/dicts.h"
#include "dicts/personal.h"
#include "docfile/docfile.h"
#include "grid/zyn.h"
#include "platform/platform.h"

const char* release = ZYN_RELEASE;
const char* zynweb = "Zyn crossword construction";
frontend zynfe = {};

namespace {
const char optstring[] = "a:bd:m:?D:R:F:";
char alphaopt[SLEN];  // -a value
bool alphagiven;      // -a was given, even with an empty value
int ndictopts;        // -d options taken so far
int nminopts;         // -m options taken so far
char argerror[100];   // why the command line was refused

unsigned int readnum(const char* s) { return (unsigned int)strtoul(s, nullptr, 0); }

// A value that does not fit its buffer is refused rather than cut or dropped: a cut path can
// name another, existing file.
bool fits(const char* val, const char* what) {
  if (strlen(val) < SLEN) return true;
  pbuf(argerror, sizeof argerror, "%s too long (at most %d bytes)", what, SLEN - 1);
  return false;
}
}  // namespace

bool readminscore(const char* val, int* v) {
  size_t n = strspn(val, "0123456789");
  if (!n || val[n] || n > 3 || atoi(val) > 100) {
    pbuf(argerror, sizeof argerror, "Minimum score must be 0..100: %.40s", val);
    return false;
  }
  *v = atoi(val);
  return true;
}

int takeoption(char c, const char* val) {
  switch (c) {
    case 'a':
      if (!fits(val, "Alphabet name")) return 2;
      strlcpy0(alphaopt, val, SLEN);
      alphagiven = true;
      return 0;
    case 'b':
      usegui = 0;
      return 0;
    case 'd':
      if (!fits(val, "Dictionary file name")) return 2;
      if (ndictopts < MAXNDICTS) strlcpy0(dictpaths[ndictopts++], val, SLEN);
      return 0;
    case 'm': {
      // Slots 1, 2, ... in order, as -d; the first also for the default list.
      int v;
      if (!readminscore(val, &v)) return 2;
      if (nminopts == 0) startminscore = v;
      if (nminopts < MAXNDICTS) dminscore[nminopts++] = v;
      return 0;
    }
    case 'D':
      debug = readnum(val) | 0x80000000u;
      return 0;
    case 'R':
      rseed = readnum(val);
      return 0;
    case 'F':
      filler_seed = readnum(val);
      return 0;
    default:
      return 1;
  }
}

int scanoptions(int argc, char** argv, const char* opts, int (*take)(char c, const char* val)) {
  alphaopt[0] = 0;
  alphagiven = false;
  ndictopts = nminopts = 0;
  int i = 1;
  for (; i < argc; i++) {
    const char* a = argv[i];
    if (a[0] != '-' || a[1] == 0) break;
    if (strcmp(a, "--") == 0) {
      i++;
      break;
    }
    for (int k = 1; a[k]; k++) {
      char c = a[k];
      const char* p = c == ':' ? nullptr : strchr(opts, c);
      if (!p || c == '?') return -1;
      const char* val = "";
      if (p[1] == ':') {
        if (a[k + 1]) val = a + k + 1;
        else if (i + 1 < argc) val = argv[++i];
        else return -1;
      }
      if (int r = take(c, val)) return r == 2 ? -2 : -1;
      if (p[1] == ':') break;
    }
  }
  return i;
}

int parseargs(int argc, char** argv) {
  int i = scanoptions(argc, argv, optstring, takeoption);
  if (i < 0) return i == -2 ? 2 : 1;
  if (i < argc) {
    if (!fits(argv[i], "File name")) return 2;
    strlcpy0(filename, argv[i], SLEN);
  }
  return 0;
}

const char* parseerror() { return argerror; }

int choosealphabet() {
  if (alphagiven && !alphafind(alphaopt)) return 0;
  // Batch mode ends here on an unknown alphabet; the window reports it and goes on with the
  // preferred one.
  int bad = alphagiven;
  if (bad) errbox("Unrecognised alphabet");
  alphaload(prefint(PREF_STARTUP_AL));
  return bad;
}

void printusage(const char* progname) {
  pstdout("\nThis is Zyn, release %s.\n\n", release);
  pstdout("Copyright (C) 2026 the Zyn developers.\n"
          "This program is free software: you may use, copy, change and share it under the\n"
          "terms of its licence, which comes with it. It comes with NO WARRANTY.\n\n"
          "Web site, manual and news: see the README that came with Zyn.\n"
          "Questions and reports: write to the Zyn developers through the project's issue tracker.\n\n");
  pstdout("Usage: %s    [-a <initial alphabet code>] [-d <dictionary_file>]* [<zyn_file>]\n", progname);
  pstdout("   OR: %s -b [-a <initial alphabet code>] [-d <dictionary_file>]* <zyn_deck>\n", progname);
  pstdout("\n-b enables batch mode: GUI is disabled and a Zyn deck is read from the\n     specified file\n\n");
  pstdout("-m <minimum score> (0..100), once per dictionary 1, 2, ... in order, leaves out the words\n"
          "     scored lower\n\n");
  pstdout("Available alphabets and corresponding names and codes:\n");
  for (const alphadef& a : alphabets) {
    pstdout("%30s: ", a.dname);
    for (int j = 0; a.names[j]; j++) pstdout("%s%s", j ? ", " : "", a.names[j]);
    pstdout("\n");
  }
}

void printversions() {
  pstdout("Zyn release %s\n", release);
  pstdout("debug=0x%08x\n", debug);
  pstdout("rseed=0x%08x (set this using -R)\n", rseed);
  pstdout("glib version %d.%d.%d\n", (int)glib_major_version, (int)glib_minor_version, (int)glib_micro_version);
  if (zynfe.printversion) zynfe.printversion();
}

void loadstartdicts() {
  int loaded;
  if (dictpaths[0][0]) loaded = dictsload(0) <= 1;
  else loaded = dictsdefault() == 0;
  if (!loaded) warnbox("No dictionaries loaded");
}

int closestdout(int status) {
  // Output that never arrived (a full disk, a closed pipe) is an error, not a success.
  plat_clearerr();
  bool failed = fflush(stdout) != 0 || ferror(stdout);
  failed = fclose(stdout) != 0 || failed;
  if (!failed) return status;
  pstream(stderr, "Error: Filing system error: %s\n", plat_errtext());
  return 16;
}

int zynmain(int argc, char** argv) {
  rseed = (unsigned int)time(nullptr);
  filler_seed = 0;
  for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = dsfilter[d][0] = dafilter[d][0] = 0;
  dictsfree();

  switch (parseargs(argc, argv)) {
    case 1:
      printusage(argv[0]);
      return closestdout(0);
    case 2:
      pstream(stderr, "Error: %s\n", parseerror());
      return 16;
  }
  // The batch program hands a window, and the trace that names the toolkits, to the window's
  // program, which runs the same command line in its place.
  if ((usegui || debug) && zynfe.handoff) return zynfe.handoff(argv);
  if (debug) printversions();
  initbitidx16();
  docreset();

  srand(rseed);
  zyn_lock();

  if (usegui) {
    if (!zynfe.open) {
      pstream(stderr, "%s: the window is not available in this build; use -b <deck> for batch mode\n", argv[0]);
      zyn_unlock();
      return 16;
    }
    if (zynfe.open(&argc, &argv)) {
      zyn_unlock();
      return 16;
    }
  }

  newdocument(0);
  loadprefdefaults();
  if (usegui) {
    loadprefs();
    // The setter's own words and scores, beside the preferences; batch mode reads neither.
    std::string cfg = plat_configdir(false);
    if (!cfg.empty()) personalpath = cfg + PLAT_SEP + "personal-words.txt";
    personalload();
  }
  // An unknown alphabet ends a batch run; the window exits with status 16 after Quit.
  int status = choosealphabet() ? 16 : 0;

  if (usegui) {
    // The document named on the command line brings its own dictionaries. Without one, or
    // when it cannot be opened, the session starts untitled, so that the first Save asks.
    int loaded = filename[0] ? loaddocument() : LOAD_NOFILE;
    if (loaded != LOAD_OK) {
      loadstartdicts();
      filename[0] = filestem[0] = 0;
    }
    int runstatus = zynfe.run();
    filler_stop();
    zyn_unlock();
    dictsexit();
    return closestdout(status ? status : runstatus);
  }

  status = loaddeck();
  if (status == 0) {
    if (filler_start(FM_ALL)) {
      pstream(stderr, "Failed to initialise filler\n");
      status = 16;
    } else {
      filler_wait();
      status = dumpdeck();
    }
  }

  zyn_unlock();
  dictsexit();
  return closestdout(status);
}
