// Time and peak memory of reading decks of 10^5, 10^6 and 3x10^6 entry names: the parse alone,
// and the whole batch run of `zyn -b` (parse, words and entries, a fill that ends at once).
// Each measurement runs in a process of its own, so that its peak is its own.
// Usage: bench_deck [names,comma-separated]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/common.h"
#include "core/prefs.h"
#include "deck/deck.h"
#include "grid/zyn.h"

namespace {

// Writes a deck laid out like a crossword: blocks of 5x5 named cells, each row and each column
// a word, so that every name is in two words. The word list has no five-letter word, so the
// fill ends as soon as it starts. Returns the deck's path.
std::string makedeck(long n, const std::string& words, long* bytes) {
  char tmpl[] = "/tmp/zynbenchdeckXXXXXX";
  int fd = mkstemp(tmpl);
  FILE* f = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (!f) return "";
  fprintf(f, ".DI 1 %s\n", words.c_str());
  long blocks = (n + 24) / 25;
  for (long b = 0; b < blocks; b++)
    for (int dir = 0; dir < 2; dir++)
      for (int i = 0; i < 5; i++) {
        for (int j = 0; j < 5; j++) fprintf(f, j ? " c%ld" : "c%ld", b * 25 + (dir ? j * 5 + i : i * 5 + j));
        fputc('\n', f);
      }
  *bytes = ftell(f);
  fclose(f);
  return tmpl;
}

// Runs f in a child process; its wall time, its peak memory in MB and its exit status (-1 when
// it did not exit).
template <typename F>
int measure(F f, double* secs, double* peak) {
  double t0 = now();
  pid_t pid = fork();
  if (pid == 0) _exit(f());
  int st;
  rusage ru;
  if (pid < 0 || wait4(pid, &st, 0, &ru) != pid) return -1;
  *secs = now() - t0;
  *peak = ru.ru_maxrss / 1024.0;
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// `zyn -b deck`, its output dropped.
int runzyn(const std::string& exe, const std::string& deck, double* secs, double* peak) {
  return measure(
      [&] {
        int fd = open("/dev/null", O_WRONLY);
        dup2(fd, 1);
        dup2(fd, 2);
        execl(exe.c_str(), exe.c_str(), "-b", deck.c_str(), (char*)nullptr);
        return 127;
      },
      secs, peak);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes = {100000, 1000000, 3000000};
  if (argc > 1) {
    sizes.clear();
    for (char* p = argv[1]; *p;) {
      sizes.push_back(strtol(p, &p, 10));
      if (*p == ',') p++;
      else break;
    }
  }
  std::string exe = std::string(argv[0]);
  exe = exe.substr(0, exe.rfind('/') + 1) + "zyn";
  char wtmpl[] = "/tmp/zynbenchwordsXXXXXX";
  int wfd = mkstemp(wtmpl);
  if (wfd < 0 || write(wfd, "cat\ntop\n", 8) != 8) return 1;
  close(wfd);
  std::string words = wtmpl;
  initbitidx16();
  loadprefdefaults();
  alphaload(0);
  // What a run of an empty deck takes, to count only what the deck adds.
  long bytes = 0;
  std::string empty = makedeck(0, words, &bytes);
  double t0 = 0, p0 = 0;
  if (runzyn(exe, empty, &t0, &p0) != 0) {
    pstdout("cannot run %s\n", exe.c_str());
    return 1;
  }
  unlink(empty.c_str());
  pstdout("peak of an empty deck's run: %.1f MB; B/name counts what a deck adds to it (parse: to this process)\n", p0);
  pstdout("%10s %10s %8s | %9s %9s %9s | %9s %9s %9s\n", "names", "words", "deck MB", "parse s", "peak MB",
          "B/name", "zyn -b s", "peak MB", "B/name");
  for (long n : sizes) {
    std::string path = makedeck(n, words, &bytes);
    long nwords = (n + 24) / 25 * 10;
    double tp = 0, pp = 0, tb = 0, pb = 0;
    double base = peakmb();
    int sp = measure(
        [&] {
          FILE* f = fopen(path.c_str(), "r");
          deckreset();
          int r = parsedeck(f);
          fclose(f);
          return r == 0 && dkne == (n + 24) / 25 * 25 ? 0 : 1;
        },
        &tp, &pp);
    int sb = runzyn(exe, path, &tb, &pb);  // 4: no fill, as the word list has no word that fits
    pstdout("%10ld %10ld %8.1f | %9.2f %9.1f %9.1f | %9.2f %9.1f %9.1f%s\n", n, nwords, bytes / 1048576.0, tp, pp,
            (pp - base) * 1048576.0 / n, tb, pb, (pb - p0) * 1048576.0 / n, sp == 0 && sb == 4 ? "" : "  (failed)");
    unlink(path.c_str());
  }
  unlink(words.c_str());
  return 0;
}
