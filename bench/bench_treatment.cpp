// List building under answer treatments: the 15x15 grid 15.01 with every light treated and the
// lower-case words of a large British list, for the Playfair cipher and the misprint types.
// Reports the time to build every light's list, the light strings made and the peak memory.
// Usage: bench_treatment [grid file] [word list]
#include <glib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "filler/lists.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"

int main(int argc, char** argv) {
  std::string src = __FILE__;
  src = src.substr(0, src.rfind('/'));
  src = src.substr(0, src.rfind('/'));
  std::string gridfile = argc > 1 && *argv[1] ? argv[1] : src + "/bench/grids/15.01.txt";
  std::string wordsrc = argc > 2 && *argv[2] ? argv[2] : "/usr/share/dict/british-english-huge";

  initbitidx16();
  alphaload(0);
  loadprefdefaults();
  usegui = 0;
  assistmode = 2;

  if (loadlowercase(wordsrc) < 0) return 1;
  auto rows = readgrid(gridfile);
  if (rows.empty()) {
    fprintf(stderr, "cannot read %s\n", gridfile.c_str());
    return 1;
  }
  printf("%d answers; grid %s; peak after loading %ld MB\n\n", atotal, gridfile.c_str(), peakmb());

  const char* alpha = "ETAOINSHRDLCUMWFGYPBVKJXQZ";
  struct {
    const char* name;
    int type;
    const char *m1, *m2;
    int alloc;
  } runs[] = {
      {"Playfair, keyword PLAYFAIR", TT_PLAYFAIR, "PLAYFAIR", "", 0},
      {"misprint, correct and incorrect given", TT_MISPRINT, alpha, "ZQXJKVBPYGFWMUCLDRHSNIOATE", 0},
      {"misprint, correct given", TT_MISCORRECT, alpha, "", 0},
      {"misprint, incorrect given", TT_MISINCORRECT, alpha, "", 0},
      {"misprint, correct of \"ZYN\" in any order", TT_MISCORRECT, "ZYN", "", 2},
  };
  printf("%-40s %8s %10s %12s %12s %8s\n", "treatment", "lights", "seconds", "strings", "entries", "peak MB");
  for (auto& run : runs) {
    setgrid(rows);
    deflight.ten = 1;
    treattype = run.type;
    strlcpy0(treatmsg[0], run.m1, MXMSGLEN + 1);
    strlcpy0(treatmsg[1], run.m2, MXMSGLEN + 1);
    allocmode[0] = run.alloc;
    if (rebuild()) return 1;
    double t0 = now();
    ltsclear();
    inittreatment();
    if (buildlists()) {
      fprintf(stderr, "%s: list building failed\n", run.name);
      return 1;
    }
    double t = now() - t0;
    long entries = 0;
    for (int i = 0; i < nw; i++) entries += words[i].flistlen;
    printf("%-40s %8d %10.3f %12d %12ld %8ld\n", run.name, ntw, t, nlts, entries, peakmb());
    fflush(stdout);
  }
  freewordlists();
  ltsclear();
  dictsfree();
  return 0;
}
