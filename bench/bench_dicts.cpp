// Time and peak memory of loading a large word list into slot 1 with the default file filter,
// and the time of look-ups through the answer hash. Usage: bench_dicts [word list]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "dicts/dicts.h"
#include "grid/zyn.h"

namespace {
double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
long maxrsskb() {
  rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}
// Processor time (user and system), which other processes on the machine disturb less.
double cputime() {
  rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "/usr/share/dict/british-english-insane";
  initbitidx16();
  alphaload(2);
  strlcpy0(dictpaths[0], path, SLEN);
  strlcpy0(dsfilter[0], "^.*+(?<!'s)", SLEN);
  long rss0 = maxrsskb();
  double c0 = cputime(), t0 = now();
  int r = dictsload(1);
  double t1 = now(), c1 = cputime();
  if (r) {
    pstdout("dictsload(%s) failed: %d\n", path, r);
    return 1;
  }
  pstdout("%s: %d lines usable, %d stored, %d answers\n", path, nusable[0], nafteraf[0], atotal);
  pstdout("dictsload: %.3f s (%.3f s processor), peak RSS %.1f MB (%.1f MB before)\n", t1 - t0, c1 - c0,
          maxrsskb() / 1024.0, rss0 / 1024.0);

  // Half the keys are answers, half are answers with one code changed (mostly absent).
  constexpr int NLOOK = 100000;
  std::vector<std::string> keys;
  for (int i = 0; i < NLOOK; i++) {
    std::string k = answerlist[(long)i * 7919 % atotal]->answercodes;
    if (i & 1) k[0] = (char)(k[0] % ncodes + 1);
    keys.push_back(k);
  }
  int found = 0;
  double t2 = now();
  for (auto& k : keys) found += findanswer(k.c_str()) >= 0;
  double t3 = now();
  pstdout("%d look-ups (%d found): %.4f s\n", NLOOK, found, t3 - t2);
  dictsfree();
  return 0;
}
