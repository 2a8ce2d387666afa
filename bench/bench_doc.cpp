// Documents: saving and loading a 63x63 document in which every square carries its own cell and
// light properties, marks and several characters, with free lights and a treatment message,
// without clues and with a 100-byte clue on every light; then 100 undo pushes (the ring keeps the last 50), each toggling one block, on that document and on a 15x15 one. Reports time, processor time,
// file size, snapshot memory and peak memory.
// Usage: bench_doc [repetitions]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/prefs.h"
#include "core/undo.h"
#include "docfile/docfile.h"
#include "filler/filler.h"
#include "grid/clues.h"
#include "grid/lights.h"
#include "grid/zyn.h"

namespace {

void fulldocument(int size) {
  gtype = 0, width = height = size, rotsym = 2;
  docreset();
  snprintf(title, SLEN, "Every square has everything");
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      square& s = sqarray[x][y];
      s.bars = (x + y) & 3;
      s.sqflags = (x * 7 + y * 13) % 6 == 0 ? SQF_BLOCK : 0;
      cellprops& c = s.cellrec;
      c.cellown = 1;
      c.bgcolour = (unsigned)(x * 4096 + y * 16) & 0xffffff;
      c.fgcolour = 0x123456;
      c.fontstyle = (unsigned char)(x & 3);
      c.unlinked = (unsigned char)(y % 3);
      for (int k = 0; k < NMARKS; k++) snprintf(c.marktexts[k], sizeof c.marktexts[k], "m%d.%d", k, x + y);
      for (int d = 0; d < ndir(); d++) {
        lightprops& l = s.lightrec[d];
        l.lightown = 1;
        l.dmask = (unsigned)(x + y) & 0x1ff;
        l.emask = 3;
        s.nchars[d] = 3;
        for (int k = 0; k < 3; k++) s.charsets[d][k] = 1ULL << ((x + y + k + d) % 26) | (k == 2 ? 1ULL << 5 : 0);
      }
    }
  nfreelights = 20;
  for (int i = 0; i < nfreelights; i++) {
    freelights[i].n = 60;
    for (int k = 0; k < 60; k++) freelights[i].x[k] = k % size, freelights[i].y[k] = (i * 3) % size;
  }
  std::string msg(20000, 'Q');
  snprintf(treatmsg[0], MXMSGLEN + 1, "%s", msg.c_str());
}

// A clue of 100 bytes on every light, as a finished puzzle has.
void clueeverylight() {
  numbering();
  std::string text = "A clue of one hundred bytes, as long as most clues are, with a little more to make up the length.";
  text.resize(100, '.');
  for (const cluelight& l : cluelights()) clueset(l.k, text, "");
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void undobench(int size) {
  fulldocument(size);
  undo_start();
  double t0 = now(), c0 = cpu();
  const int pushes = 2 * UNDOSLOTS;
  for (int i = 0; i < pushes; i++) {
    sqarray[i % size][i / size % size].sqflags ^= SQF_BLOCK;
    undo_push();
  }
  double t = now() - t0, c = cpu() - c0;
  pstdout("%dx%d: %d undo pushes %.1f ms (%.2f ms each, cpu %.1f ms); the %d snapshots kept hold %.1f MB; peak %ld MB\n",
          size, size, pushes, t * 1e3, t * 1e3 / pushes, c * 1e3, UNDOSLOTS, undo_bytes() / 1e6, peakmb());
}

// Save and load the document reps times; report the medians.
void saveload(const std::string& path, int reps, int clued) {
  std::vector<double> save, load, both, cpuboth;
  long size = 0;
  size_t nclues = cluesget()->size();
  for (int i = 0; i < reps; i++) {
    strlcpy0(filename, path.c_str(), SLEN);
    double t0 = now(), c0 = cpu();
    if (savedocument()) exit(1);
    double t1 = now();
    if (loaddocument(0) != LOAD_OK) exit(1);
    double t2 = now();
    save.push_back(t1 - t0);
    load.push_back(t2 - t1);
    both.push_back(t2 - t0);
    cpuboth.push_back(cpu() - c0);
  }
  if (FILE* f = fopen(path.c_str(), "rb")) {
    fseek(f, 0, SEEK_END);
    size = ftell(f);
    fclose(f);
  }
  unlink(path.c_str());
  pstdout("63x63 document%s, %.2f MB file, median of %d: save %.1f ms, load %.1f ms, save+load %.1f ms (cpu %.1f ms); peak %ld MB\n",
          clued ? (", " + std::to_string(nclues) + " clues of 100 bytes").c_str() : "", size / 1e6, reps, median(save) * 1e3,
          median(load) * 1e3, median(both) * 1e3, median(cpuboth) * 1e3, peakmb());
}

}  // namespace

int main(int argc, char** argv) {
  int reps = argc > 1 ? atoi(argv[1]) : 20;
  initbitidx16();
  loadprefdefaults();
  alphaload(0);
  usegui = 0;
  char tmpl[] = "/tmp/zynbenchdocXXXXXX";
  int fd = mkstemp(tmpl);
  if (fd < 0) return 1;
  close(fd);
  std::string path = std::string(tmpl) + ".zyn";
  rename(tmpl, path.c_str());

  for (int clued = 0; clued < 2; clued++) {
    fulldocument(MXSZ);
    if (clued) clueeverylight();
    saveload(path, reps, clued);
  }
  undobench(15);
  undobench(MXSZ);
  filler_stop();
  return 0;
}
