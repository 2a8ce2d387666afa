// Limits, process-wide settings and the small helpers every module shares:
// the character-set type, the debug mask and the three formatted-printing wrappers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdarg>

// Compile-time limits.
constexpr int MXSZ = 63;        // largest width and height; the square array is always MXSZ x MXSZ
constexpr int MXCL = 250;       // most squares in a light, merge group or free light; most entries in a word
constexpr int MXLTS = 255;      // longest light string of the filler, treatment tags included
constexpr int MXLL = 2 * MXSZ;  // most cells in a straight light
constexpr int MXCP = 31;        // most characters per cell slot
constexpr int MAXNDIR = 3;      // direction slots
constexpr int MXFL = 252;       // free lights
constexpr int NMARKS = 6;       // mark texts per cell
constexpr int MXMK = 30;        // bytes per mark text (plus terminator)
constexpr int MAXNDICTS = 9;    // dictionary slots
constexpr int MAXICC = 60;      // alphabet entries
constexpr int UNDOSLOTS = 50;   // undo ring
constexpr int SLEN = 1000;      // buffer size of paths, titles and option values (999 bytes + terminator)

// A character set: bit c-1 stands for internal character code c.
typedef uint64_t ABM;
constexpr ABM ABM_ALL = 0x0FFFFFFFFFFFFFFFULL;  // the 60 character codes: an empty cell
constexpr ABM ABM_DASH = 1ULL << 60;            // the no-character code 61 ("-")
constexpr ABM ABM_ALLDASH = ABM_ALL | ABM_DASH; // every code including "-"
constexpr int ICC_DASH = 61;

// Process-wide settings owned by start-up.
extern unsigned int debug;        // -D mask
extern unsigned int rseed;        // -R
extern unsigned int filler_seed;  // -F
extern int usegui;                // cleared by -b
extern char filename[SLEN];       // document (or deck) named on the command line
extern unsigned char bitidx16[65536];

// Debug bits of the -D mask.
constexpr unsigned DEB_FILLER = 0x1, DEB_SEARCH = 0x2, DEB_WORDS = 0x4, DEB_JUMBLE = 0x8,
                   DEB_UI = 0x10, DEB_DRAW = 0x20, DEB_DICT = 0x40, DEB_CANON = 0x80,
                   DEB_ALPHA = 0x100, DEB_LISTS = 0x200, DEB_TREAT = 0x400, DEB_DOC = 0x800,
                   DEB_REBUILD = 0x1000, DEB_DECK = 0x2000, DEB_EXPORT = 0x4000;
inline bool deb(unsigned bit) { return (debug & bit) != 0; }

void initbitidx16();

// The three wrappers of formatted printing: to standard output, to a stream, into a buffer.
// The buffer form always terminates and never writes more than n bytes.
int pstdout(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
int pstream(FILE* f, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
int pbuf(char* buf, size_t n, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

// Bounded string copy that always terminates (truncating at a UTF-8 boundary is the caller's job).
void strlcpy0(char* dst, const char* src, size_t n);
// Bounded copy of UTF-8 text: at most n-1 bytes, cut before a character that would not fit
// whole, so that a limit never leaves a broken character behind. Always terminates.
void utf8cut(char* dst, const char* src, size_t n);
