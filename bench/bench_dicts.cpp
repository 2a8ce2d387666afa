// Loading a large word list into slot 1 with the default file filter, side by side with
// `LC_ALL=C sort` of the same file: rounds alternate sort, a load on two threads and a load on
// one thread (both without the index cache), a cold load that writes the cache and a warm one
// that reads it, each in a fresh process, so that a busy machine disturbs them all alike. Then
// 100,000 look-ups through the answer hash.
// Usage: bench_dicts [word list] [rounds]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/common.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "grid/zyn.h"

namespace {

struct run {
  double secs = 0, cpusecs = 0, peakmb = 0;
  bool ok = false;
};

// Runs f in a child process, which may write its own timing to a pipe (f returns false on
// failure); otherwise the whole child is timed. The peak memory is the child's.
template <typename F>
run measure(F f) {
  run r;
  int fds[2];
  if (pipe(fds)) return r;
  double t0 = now();
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    double t[2] = {0, 0};
    bool ok = f(t);
    if (write(fds[1], t, sizeof t) != sizeof t) ok = false;
    _exit(ok ? 0 : 1);
  }
  close(fds[1]);
  double t[2] = {0, 0};
  bool got = read(fds[0], t, sizeof t) == sizeof t;
  close(fds[0]);
  int st = 0;
  rusage ru;
  if (pid < 0 || wait4(pid, &st, 0, &ru) != pid) return r;
  r.secs = got ? t[0] : now() - t0;
  r.cpusecs = got ? t[1] : ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
  r.peakmb = ru.ru_maxrss / 1024.0;
  r.ok = WIFEXITED(st) && WEXITSTATUS(st) == 0;
  return r;
}

void setslot(const char* path) {
  strlcpy0(dictpaths[0], path, SLEN);
  strlcpy0(dsfilter[0], "^.*+(?<!'s)", SLEN);
}

// The cache folder of the cold and warm loads.
std::string cachehome;

// cache: 0 off, 1 cold (the folder emptied first, the index written), 2 warm (read back).
run load(const char* path, int threads, int cache = 0) {
  if (cache == 1) system(("rm -rf '" + cachehome + "/zyn'").c_str());
  return measure([&](double* t) {
    initbitidx16();
    loadprefdefaults();
    prefdata[PREF_DICT_CACHE] = cache != 0;
    alphaload(2);
    setslot(path);
    dictthreads = threads;
    double c0 = cpu(), t0 = now();
    int r = dictsload(1);
    t[0] = now() - t0;
    t[1] = cpu() - c0;
    // The cold load's file is written on a thread of its own while the program goes on.
    dictsidle();
    return r == 0;
  });
}

run sortfile(const char* path) {
  return measure([&](double*) {
    int fd = open("/dev/null", O_WRONLY);
    dup2(fd, 1);
    setenv("LC_ALL", "C", 1);
    execlp("sort", "sort", path, (char*)nullptr);
    return false;
  });
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double best(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "/usr/share/dict/british-english-insane";
  int rounds = argc > 2 ? atoi(argv[2]) : 7;
  char tmpl[] = "/tmp/zyndictbenchXXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  cachehome = tmpl;
  setenv("XDG_CACHE_HOME", tmpl, 1);
  std::vector<double> tsort, t2, t1, c2, c1, ratio2, ratio1, tc, tw, cc, cw, ratioc, ratiow;
  double psort = 0, p2 = 0, p1 = 0, pc = 0, pw = 0;
  for (int i = 0; i < rounds; i++) {
    run s = sortfile(path), a = load(path, 2), b = load(path, 1), c = load(path, 2, 1), w = load(path, 2, 2);
    if (!s.ok || !a.ok || !b.ok || !c.ok || !w.ok) {
      pstdout("round %d failed (sort %d, two threads %d, one thread %d, cold %d, warm %d)\n", i, s.ok, a.ok, b.ok, c.ok,
              w.ok);
      return 1;
    }
    tc.push_back(c.secs);
    tw.push_back(w.secs);
    cc.push_back(c.cpusecs);
    cw.push_back(w.cpusecs);
    ratioc.push_back(c.secs / s.secs);
    ratiow.push_back(w.secs / s.secs);
    pc = std::max(pc, c.peakmb);
    pw = std::max(pw, w.peakmb);
    tsort.push_back(s.secs);
    t2.push_back(a.secs);
    t1.push_back(b.secs);
    c2.push_back(a.cpusecs);
    c1.push_back(b.cpusecs);
    ratio2.push_back(a.secs / s.secs);
    ratio1.push_back(b.secs / s.secs);
    psort = std::max(psort, s.peakmb);
    p2 = std::max(p2, a.peakmb);
    p1 = std::max(p1, b.peakmb);
  }
  // The medians show a typical round on this machine as it is; the best times show each job
  // when the machine left it alone, which a busy machine with two cores rarely does for two threads.
  pstdout("%s, %d rounds (each: sort, then the loads, each in a fresh process)\n", path, rounds);
  pstdout("%22s %10s %10s %12s %10s %10s %10s\n", "", "median s", "best s", "processor s", "x sort", "best/best",
          "peak MB");
  pstdout("%22s %10.3f %10.3f %12s %10s %10s %10.1f\n", "LC_ALL=C sort", median(tsort), best(tsort), "", "", "", psort);
  pstdout("%22s %10.3f %10.3f %12.3f %10.2f %10.2f %10.1f\n", "dictsload, 2 threads", median(t2), best(t2), median(c2),
          median(ratio2), best(t2) / best(tsort), p2);
  pstdout("%22s %10.3f %10.3f %12.3f %10.2f %10.2f %10.1f\n", "dictsload, 1 thread", median(t1), best(t1), median(c1),
          median(ratio1), best(t1) / best(tsort), p1);
  pstdout("%22s %10.3f %10.3f %12.3f %10.2f %10.2f %10.1f\n", "cold, cache written", median(tc), best(tc), median(cc),
          median(ratioc), best(tc) / best(tsort), pc);
  pstdout("%22s %10.3f %10.3f %12.3f %10.2f %10.2f %10.1f\n", "warm, from the cache", median(tw), best(tw), median(cw),
          median(ratiow), best(tw) / best(tsort), pw);
  std::vector<double> speedup;
  for (size_t i = 0; i < tc.size(); i++) speedup.push_back(tc[i] / tw[i]);
  pstdout("  warm load %.1f times as fast as the cold one (median of the rounds)\n", median(speedup));
  system(("rm -rf '" + cachehome + "'").c_str());

  initbitidx16();
  alphaload(2);
  setslot(path);
  if (dictsload(1)) return 1;
  pstdout("  %d lines usable, %d stored, %d answers\n", nusable[0], nafteraf[0], atotal);
  // Half the keys are answers, half are answers with one code changed (mostly absent).
  constexpr int NLOOK = 100000;
  std::vector<std::string> keys;
  for (int i = 0; i < NLOOK; i++) {
    std::string k(answerlist[(long)i * 7919 % atotal]->answercodes);
    if (i & 1) k[0] = (char)(k[0] % ncodes + 1);
    keys.push_back(k);
  }
  int found = 0;
  double t0 = now();
  for (auto& k : keys) found += findanswer(k.c_str()) >= 0;
  pstdout("%d look-ups (%d found): %.4f s\n", NLOOK, found, now() - t0);
  dictsfree();
  return 0;
}
