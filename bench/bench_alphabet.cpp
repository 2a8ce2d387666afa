// Changing the alphabet from its dialog: a 63x63 grid with a letter in every square and the
// huge British word list loaded; applying the same alphabet with a row inserted at the top, so
// that every code moves and every cell is rewritten; then Undo and Redo of that step. Each
// includes reading the word list again in the new codes, which is also timed alone.
// Usage: bench_alphabet [word list] [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alphabet/alphaedit.h"
#include "bench/benchutil.h"
#include "core/common.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "grid/alphachange.h"
#include "grid/zyn.h"

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Time fn over the rounds: median wall and processor milliseconds.
template <class F>
void timed(const char* what, int rounds, F fn) {
  std::vector<double> wall, proc;
  for (int i = 0; i < rounds; i++) {
    double t0 = now(), c0 = cpu();
    fn();
    wall.push_back((now() - t0) * 1e3);
    proc.push_back((cpu() - c0) * 1e3);
  }
  printf("%-44s %9.2f ms %9.2f ms cpu\n", what, median(wall), median(proc));
}

}  // namespace

int main(int argc, char** argv) {
  std::string list = argc > 1 ? argv[1] : "/usr/share/dict/british-english-huge";
  int rounds = argc > 2 ? atoi(argv[2]) : 5;
  initbitidx16();
  usegui = 0;
  alphaload(0);
  gtype = 0, width = height = MXSZ, rotsym = 1;
  docreset();
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) sqarray[x][y].charsets[0][0] = 1ULL << ((x * 7 + y) % 26);
  undo_start();
  // Words of lower-case letters only, as the other benchmarks take them.
  strlcpy0(dictpaths[0], list.c_str(), SLEN);
  strlcpy0(dsfilter[0], "^[a-z]+$", SLEN);
  if (dictsload(0)) return 1;
  printf("63x63 grid, every square a letter; %d answers from %s; median of %d rounds\n", atotal, list.c_str(),
         rounds);

  timed("reading the word list alone", rounds, [] { dictsload(1); });
  alphatable moved = alphacurrent();
  alpharowins(moved, 0);
  moved[0].rep = "\xc3\x9e";  // Þ
  alphatable plain = alphacurrent();
  bool flip = false;
  timed("applying an alphabet (every code moves)", rounds, [&] {
    applyalphabet(flip ? plain : moved, nullptr);
    flip = !flip;
  });
  timed("undo of that step", rounds, [] { undo_undo(); });
  timed("redo of that step", rounds, [] { undo_redo(); });
  filler_stop();
  printf("undo ring holds %.1f MB; peak memory %ld MB\n", undo_bytes() / 1e6, peakmb());
  return 0;
}
