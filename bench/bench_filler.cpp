// Filler timings on the standard grid set with the lower-case words of a large British list:
// interactive-assistance latency on an empty and a partly entered grid, full autofill of the
// 15x15 to 23x23 grids with a 10 s cap, and two blocked British-style grids; or the named grids
// of any folder (bench/hard).
// Usage: bench_filler [grid folder] [word list] [grid names to run, comma-separated; a for
// the assistance timings] [cap, s] [work before the recovery search] [fill seed]
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/hooks.h"
#include "core/lock.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "filler/recover.h"
#include "filler/search.h"
#include "grid/lights.h"
#include "grid/zyn.h"

namespace {

std::atomic<int> done{0};
double lastcpu;  // CPU seconds of the last fill

// Runs a fill to its end or for at most cap seconds; returns the seconds taken. The main
// thread holds the lock, as in the program, and lets go of it while it waits, so that the
// filler can show progress and publish its result.
double fill(int mode, double cap) {
  done = 0;
  double t0 = now(), c0 = cpu();
  if (runfiller(mode)) {
    fprintf(stderr, "filler did not start\n");
    exit(1);
  }
  zyn_unlock();
  while (!done && now() - t0 < cap) g_usleep(200);
  zyn_lock();
  double t = now() - t0;
  if (done) filler_wait();
  else filler_stop();
  lastcpu = cpu() - c0;
  return t;
}

// Every light a word of the list, no answer twice.
bool validfill() {
  std::set<int> seen;
  for (int i = 0; i < nw; i++) {
    char s[MXCL + 1];
    int k = 0;
    for (; k < words[i].nent; k++) {
      ABM b = words[i].e[k]->flbmh;
      if (!b || (b & (b - 1))) return false;
      s[k] = (char)(__builtin_ctzll(b) + 1);
    }
    s[k] = 0;
    int a = findanswer(s);
    if (a < 0 || !seen.insert(a).second) return false;
  }
  return true;
}

const char* outcome() {
  switch (filler_status) {
    case FS_DONE: return validfill() ? "filled" : "INVALID";
    case FS_NOFILL: return "no fill";
    case FS_STOPPED: return "timed out";
    default: return "error";
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string src = __FILE__;
  src = src.substr(0, src.rfind('/'));
  src = src.substr(0, src.rfind('/'));
  std::string griddir = argc > 1 && *argv[1] ? argv[1] : src + "/bench/grids";
  std::string wordsrc = argc > 2 && *argv[2] ? argv[2] : "/usr/share/dict/british-english-huge";
  std::string only = argc > 3 && *argv[3] ? std::string(",") + argv[3] + "," : "";
  double cap = argc > 4 ? atof(argv[4]) : 10;
  if (argc > 5 && *argv[5]) recoverybudget = atoll(argv[5]);
  if (argc > 6) filler_seed = (unsigned)atoll(argv[6]);

  initbitidx16();
  alphaload(0);
  loadprefdefaults();
  usegui = 0;
  zyn_lock();
  ui.updatefeas = [] { done = 1; };

  double t0 = now();
  int nwords = loadlowercase(wordsrc);
  if (nwords < 0) return 1;
  double tload = now() - t0;
  printf("word list: %d words, %d answers, load %.3f s\n\n", nwords, atotal, tload);

  // (a) and (b): background propagation over the whole grid.
  const bool runab = only.empty() || only.find(",a,") != std::string::npos;
  auto g1501 = readgrid(griddir + "/15.01.txt");
  if (runab && g1501.empty()) {
    fprintf(stderr, "no grid 15.01 in %s\n", griddir.c_str());
    return 1;
  }
  assistmode = 2;
  std::vector<double> ta, tb, ca, cb;
  for (int rep = 0; rep < 5 && runab; rep++) {
    setgrid(g1501);
    ta.push_back(fill(FM_ASSIST, 60));
    ca.push_back(lastcpu);
  }
  if (runab) {
    setgrid(g1501);
    fill(FM_ALL, 60);
  }
  std::vector<std::pair<int, int>> cells;
  std::vector<ABM> letters;
  if (filler_status == FS_DONE)
    for (int y = 0; y < height && cells.size() < 40; y++)
      for (int x = 0; x < width && cells.size() < 40; x++)
        if ((x * 7 + y * 3) % 5 == 0 && entryat(x, y, 0, 0) >= 0) {
          cells.push_back({x, y});
          letters.push_back(entries[entryat(x, y, 0, 0)].flbmh);
        }
  for (int rep = 0; rep < 5 && runab; rep++) {
    setgrid(g1501);
    for (size_t i = 0; i < cells.size(); i++) sqarray[cells[i].first][cells[i].second].charsets[0][0] = letters[i];
    tb.push_back(fill(FM_ASSIST, 60));
    cb.push_back(lastcpu);
  }
  for (auto* v : {&ta, &tb, &ca, &cb}) std::sort(v->begin(), v->end());
  if (runab) {
    printf("(a) assistance, empty 15.01: min %.1f ms, median %.1f ms; cpu median %.1f ms\n", ta[0] * 1e3,
           ta[2] * 1e3, ca[2] * 1e3);
    printf("(b) assistance, 15.01 with %zu letters: min %.1f ms, median %.1f ms; cpu median %.1f ms\n\n",
           cells.size(), tb[0] * 1e3, tb[2] * 1e3, cb[2] * 1e3);
  }

  // (c) and (d): autofill, 10 s cap.
  // Named grids are read from the folder in the order given; without names, the standard set.
  std::vector<std::pair<std::string, std::vector<std::string>>> grids;
  std::vector<std::string> names;
  for (size_t a = 1, b; !only.empty() && (b = only.find(',', a)) != std::string::npos; a = b + 1)
    if (b > a && only.compare(a, b - a, "a")) names.push_back(only.substr(a, b - a));
  if (names.empty())
    names = {"15.01", "15.02", "15.03", "15.04", "15.05", "15.06", "15.07", "15.08", "15.09", "15.10",
             "puzzle17", "puzzle18", "puzzle19", "19.01", "19.02", "19.03", "19.04", "19.05", "19.06",
             "19.07", "19.08", "19.09", "19.10", "21.01", "21.02", "21.03", "21.04", "21.05", "21.06",
             "21.07", "21.08", "21.09", "21.10", "23.01", "23.02", "23.03", "23.04", "23.05", "23.06",
             "23.07", "23.08", "23.09", "23.10"};
  for (auto& g : names)
    if (g != "british-a" && g != "british-b") grids.push_back({g, readgrid(griddir + "/" + g + ".txt")});
  grids.push_back({"british-a", {"....#..........", ".#.#.#.#.#.#.#.", "........#......", ".#.#.#.#.#.#.#.",
                                 "......#....#...", ".#.#.#.#.#.#.#.", "...#...#.......", ".#.#.#.#.#.#.#.",
                                 ".......#...#...", ".#.#.#.#.#.#.#.", "...#....#......", ".#.#.#.#.#.#.#.",
                                 "......#........", ".#.#.#.#.#.#.#.", "..........#...."}});
  grids.push_back({"british-b", {"......#........", ".#.#.#.#.#.#.#.", "..........#....", ".#.#.#.#.#.#.#.",
                                 "....#.......#..", ".#.#.#.#.#.#.#.", "........#......", ".#.#.#.#.#.#.#.",
                                 "......#........", ".#.#.#.#.#.#.#.", "..#.......#....", ".#.#.#.#.#.#.#.",
                                 "....#..........", ".#.#.#.#.#.#.#.", "........#......"}});
  printf("(c, d) autofill, %g s cap (time includes rebuild, lists and search; add the load for totals)\n", cap);
  printf("%-10s %8s %10s %10s %10s %12s %5s  %s\n", "grid", "size", "seconds", "cpu", "depths", "work", "runs",
         "outcome");
  int nfilled = 0, nrun = 0;
  for (auto& g : grids) {
    if (!only.empty() && only.find("," + g.first + ",") == std::string::npos) continue;
    nrun++;
    if (g.second.empty()) {
      printf("%-10s missing\n", g.first.c_str());
      continue;
    }
    setgrid(g.second);
    long long p0 = ct_push;
    double c0 = cpu();
    double t = fill(FM_ALL, cap);
    double tc = cpu() - c0;
    const char* o = outcome();
    nfilled += !strcmp(o, "filled");
    char size[16];
    snprintf(size, sizeof size, "%dx%d", width, height);
    printf("%-10s %8s %10.3f %10.3f %10lld %12lld %5d  %s\n", g.first.c_str(), size, t, tc, ct_push - p0,
           recover_stats().work, recover_stats().runs, o);
    fflush(stdout);
  }
  printf("\nfilled %d of %d\n", nfilled, nrun);
  filler_stop();
  dictsfree();
  return 0;
}
