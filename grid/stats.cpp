// The statistics window's table rows and summary lines.
#include "grid/stats.h"

#include <cstdarg>
#include <cstdio>

#include "grid/clues.h"
#include "grid/lights.h"
#include "grid/zyn.h"

static std::string fmt(const char* f, ...) __attribute__((format(printf, 1, 2)));
static std::string fmt(const char* f, ...) {
  char buf[200];
  va_list ap;
  va_start(ap, f);
  vsnprintf(buf, sizeof buf, f, ap);
  va_end(ap);
  return buf;
}

// "u (p%)", or a space when there are none.
static std::string share(int u, int n) { return u ? fmt("%d (%.1f%%)", u, 100.0 * u / n) : " "; }

std::vector<std::string> statsrow(int len) {
  if (len < 2 || len > MXCL || gstats.len[len].count == 0) return {};
  const lenstats& s = gstats.len[len];
  const double l = len;
  return {fmt("%d", len), fmt("%d", s.count), share(s.under, s.count), share(s.over, s.count),
          fmt("%.2f:%.2f:%.2f", s.minchk / l, (double)s.sumchk / s.count / l, s.maxchk / l)};
}

std::vector<std::string> statslines() {
  const gridstats& g = gstats;
  std::vector<std::string> v;
  v.push_back(fmt("  Total lights: %d", g.nlights));
  v.push_back(g.nlights ? fmt("  Mean length: %.1f", (double)g.nchars / g.nlights) : "  Mean length: -");
  v.push_back(g.nchars ? fmt("  Checked light characters: %d/%d (%.1f%%)", g.nchecked, g.nchars, 100.0 * g.nchecked / g.nchars)
                       : "  Checked light characters: -");
  v.push_back(g.ncells ? fmt("  Checked grid cells: %d/%d (%.1f%%)", g.ncheckedcells, g.ncells, 100.0 * g.ncheckedcells / g.ncells)
                       : "  Checked grid cells: -");
  // Lights with three or more unchecked cells in a row are counted once, on the next line.
  v.push_back(fmt("  Lights with double unches: %d", g.ntwounch - g.nthreeunch));
  v.push_back(fmt("  Lights with triple, quadruple etc. unches: %d", g.nthreeunch));
  v.push_back(fmt("  Lights too long for filler: %d", g.nbadlights));
  v.push_back(fmt("  Total free lights: %d", nfreelights));
  v.push_back(fmt("  Free lights too long for filler: %d", g.nbadfree));
  int clued, lights, orphans = cluesorphans();
  cluecounts(&clued, &lights);
  v.push_back(orphans ? fmt("  Clues: %d of %d lights clued, %d orphaned", clued, lights, orphans)
                      : fmt("  Clues: %d of %d lights clued", clued, lights));
  v.push_back(g.msgoverflow ? "  There are too many treated lights to use filler discretionary modes" : "  ");
  return v;
}
