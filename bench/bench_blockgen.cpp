// Block patterns: for every style on empty 15x15 and 21x21 grids with twofold symmetry, the
// patterns of seeds 1 to N (100 by default), as Generate blocks makes them: each attempt's
// pattern, then the quick fill check with the default word list, until one passes. Prints per
// style and size the patterns made, the median and slowest time of a whole command and of one
// pattern alone, the attempts and fill checks it took and the share of blocks; writes each
// pattern as rows of '#' and '.' into a folder, for bench_blockgen.sh to fill with zyn -b.
// Usage: bench_blockgen [folder for the patterns] [seeds] [word list, default: Zyn's default]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/lock.h"
#include "core/prefs.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "grid/pattern.h"

static double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

static void blankgrid(int n) {
  filler_stop();
  gtype = 0, width = height = n, rotsym = 2, mirsym = dupsym = 0;
  cursorx = cursory = cursordir = cursorlayer = 0;
  docreset();
  undo_start();
}

int main(int argc, char** argv) {
  std::string out = argc > 1 ? argv[1] : "";
  int seeds = argc > 2 ? atoi(argv[2]) : 100;
  std::string words = argc > 3 ? argv[3] : "";
  initbitidx16();
  alphaload(0);
  loadprefdefaults();
  usegui = 0;
  assistmode = 0;  // the edit's restart of assistance builds no lists, as with assistance off
  zyn_lock();
  if (words.empty()) dictsdefault();
  else strlcpy0(dictpaths[0], words.c_str(), SLEN), dictsload(1);
  pstdout("word list: %s, %d answers; %d seeds per style and size\n", dictpaths[0], atotal, seeds);
  pstdout("%-9s %4s %6s %9s %9s %9s %9s %8s %8s %8s\n", "style", "size", "made", "med s", "max s",
          "pat med s", "pat max s", "attempts", "checks", "blocks %");
  for (int style = 0; style < NPATSTYLES; style++)
    for (int n : {15, 21}) {
      std::vector<double> whole, pat;
      int made = 0, attempts = 0, checks = 0, blocks = 0;
      for (int s = 1; s <= seeds; s++) {
        patternparams p;
        p.style = style;
        p.seed = (unsigned)s;
        patternshares(style, &p.minshare, &p.maxshare);
        // One pattern alone, without the check: the first attempt that makes one.
        blankgrid(n);
        std::vector<sqpos> b;
        double t0 = now();
        for (int a = 0; a < 64 && makepattern(p, a, b) != PS_OK; a++) {
        }
        pat.push_back(now() - t0);
        blankgrid(n);
        patternresult res;
        t0 = now();
        generateblocks(p, &res);
        whole.push_back(now() - t0);
        if (res.status != PS_OK) continue;
        made++;
        attempts += res.attempt + 1;
        checks += res.checks;
        blocks += res.blocks;
        if (!out.empty()) {
          std::string path = out + "/" + patstylenames[style] + std::to_string(n) + "." + std::to_string(1000 + s).substr(1) + ".txt";
          FILE* f = fopen(path.c_str(), "w");
          if (!f) {
            fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
          }
          for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) fputc(sqarray[x][y].sqflags & SQF_BLOCK ? '#' : '.', f);
            fputc('\n', f);
          }
          fclose(f);
        }
      }
      pstdout("%-9s %4d %3d/%-3d %8.3f %9.3f %9.4f %9.4f %8.2f %8.2f %8.1f\n", patstylenames[style], n, made, seeds,
              median(whole), *std::max_element(whole.begin(), whole.end()), median(pat),
              *std::max_element(pat.begin(), pat.end()), made ? (double)attempts / made : 0.0,
              made ? (double)checks / made : 0.0,
              made ? 100.0 * blocks / made / (n * n) : 0.0);
    }
  filler_stop();
  return 0;
}
