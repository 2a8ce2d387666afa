// Dictionaries: reading up to nine word lists (plain text in several encodings, or TSD),
// their file and answer filters, canonical answers, and the merged, sorted and hashed
// answer index that the filler, the treatments and the look-ups read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include <glib.h>

#include "alphabet/alphabet.h"

struct pcre2_real_code_8;
typedef struct pcre2_real_code_8 pcre2_code_8;
struct pcre2_real_match_data_8;
typedef struct pcre2_real_match_data_8 pcre2_match_data_8;

constexpr int MXANSLEN = 250;     // longest canonical answer, in ICCs
constexpr int HTABSZ = 1 << 20;   // most answerhash chains

struct answer;
// Where the index's texts are: an index read from the cache uses the file's bytes in place, so its
// records hold texts as offsets from the file's text and citation forms as record numbers. An
// index built from the lists has 0 here, its text offsets being the addresses of the texts in the
// slots' storage blocks.
extern uintptr_t answertextbase;
extern answer* answerrecs;

// A text of a record, which reads as a pointer to it.
struct anstext {
  uint64_t off;
  operator const char*() const { return (const char*)(answertextbase + off); }
  anstext& operator=(const char* p) {
    off = (uintptr_t)p - answertextbase;
    return *this;
  }
};
// The next citation form of a record, which reads as a pointer to it: its number in answerrecs
// plus one, 0 for none.
struct ansnext {
  int32_t k;
  operator answer*() const;
  answer* operator->() const { return *this; }
  ansnext& operator=(const answer* p);
};

// One stored entry of a slot, and after the merge one answer (the first citation form of its chain).
// The masks and the ban flag share one word so that a record takes 40 bytes; only bits 0..8 of
// the masks are ever used.
struct answer {
  double weight;          // 10^(sum of scores), capped at 1e10 (answer records)
  anstext cf;             // citation form, UTF-8
  anstext answercodes;    // canonical answer, ICC string
  ansnext acf;            // next distinct citation form of the same answer
  int hlink;              // next answer index in the same hash chain, -1 at the end
  unsigned int dmask : 12;    // slots that contain the answer in any citation form
  unsigned int cfdmask : 12;  // slots that contain this citation form
  unsigned int banned : 8;
};
static_assert(sizeof(answer) == 40, "answer records are 40 bytes");
inline ansnext::operator answer*() const { return k ? &answerrecs[k - 1] : nullptr; }
inline ansnext& ansnext::operator=(const answer* p) {
  k = p ? (int32_t)(p - answerrecs) + 1 : 0;
  return *this;
}

// The document's dictionary settings, per slot: the word list's path, its file and answer
// filters, and the minimum score, 0..100 (0: no floor), below which words are left out.
extern char dictpaths[MAXNDICTS][SLEN], dsfilter[MAXNDICTS][SLEN], dafilter[MAXNDICTS][SLEN];
extern int dminscore[MAXNDICTS];

// Index. answerhash holds each chain's first answer plus one (0: an empty chain), so that the
// table starts as zeroed memory that a short list barely touches; it is null while no index is
// loaded, and findanswer is the safe way in.
extern int atotal;
extern answer** answerlist;
extern int* answerhash;
// answerhash has answerhashmask + 1 chains, a power of two sized to the index.
extern unsigned answerhashmask;
// The length in codes of each answer (answerlen[i] is that of answerlist[i]), so that grouping
// the answers by length need not visit them.
extern unsigned char* answerlen;
// Changes with the index and with every ban: what a consumer derives from the index holds for
// one value.
extern unsigned int indexgen;

// Whether w is a whole number below 9e18 in size, without a conversion (which would be undefined
// out of a 64-bit integer's range): below 2^52, adding and taking away 2^52 rounds a size to a
// whole number, and from there on every double is whole. Not a number is not whole.
inline bool wholeweight(double w) {
  const double a = w < 0 ? -w : w;
  return a < 0x1p52 ? (a + 0x1p52) - 0x1p52 == a : a < 9e18;
}
// Whether every answer's weight is a whole number, all of them summing below 4e15 (*whole), and
// whether every one is above 0 (*positive). Worked out while the index is made or checked, and
// again after a weight changed in place.
void answerweightkinds(bool* whole, bool* positive);
// What the index's maker found: whole and positive as answerweightkinds gives them.
void setweightkinds(bool whole, bool positive);

// Reading state and statistics of the slots.
extern int line;  // current source line, 0 for TSD files and the one-word case
extern int nusable[MAXNDICTS], nafterff[MAXNDICTS], nafteraf[MAXNDICTS];
// Of the words after the answer filter, those whose score reached the slot's minimum score (the
// words stored); and the scored lines that held no word (";50"), which are skipped.
extern int naftermin[MAXNDICTS], nnoword[MAXNDICTS];
// The rejected characters of the slots, code points the alphabet has no entry or substitution
// for: rejcount[d][u] is how often slot d's words held u, rejline[d][u] the source line of its
// first occurrence, -1 when it never occurred. Kept as the few that occur.
struct rejview {
  bool lines;
  struct row {
    int d;
    bool lines;
    int operator[](int u) const;
  };
  row operator[](int d) const { return {d, lines}; }
};
extern const rejview rejcount, rejline;
extern unsigned int dloaded;

// The code points of slot d's rejected characters, in ascending order.
std::vector<int> rejectedchars(int d);
// Count a rejected character of slot d as a load would (for an index read from the cache).
void setrejected(int d, int u, int count, int line);

int dictload(int d, int quiet);
// A filter that compiles (or is empty), so that loading the slot reports nothing about it.
bool filterok(const char* pat);
// Load every slot and build the index. 0: all loaded; 1: some slot could not be loaded (its
// error reported unless quiet) and the others are indexed, dloaded telling which; 2: no words
// from any slot; 4: out of memory (nothing loaded).
int dictsload(int quiet);
void dictsfree();
// dictsfree for a program about to end: a cache file still being written is finished by a
// process of its own, so that the program's end does not wait for it.
void dictsexit();
int dictsdefault();
int anscmp(const answer* a, const answer* b);

// Threads a load uses for reading text files and sorting the index: 2 (the default) or 1.
// Both give the same index and statistics.
extern int dictthreads;
// Runs f(0) on a second thread and f(1) here, or both here when threads are not to be used.
template <typename F>
void ontwo(bool two, F f) {
  std::thread t;
  if (two) {
    try {
      t = std::thread(f, 0);
    } catch (const std::system_error&) {
      two = false;
    }
  }
  if (!two) f(0);
  f(1);
  if (t.joinable()) t.join();
}
// The word list that dictsdefault tries last, after the file under the current folder.
extern const char* sysdictpath;
// The minimum score the default list takes in place of the preference startup_minscore1, given
// by the command line or a deck for this run; -1 for none.
extern int startminscore;
// Zyn's everyday scored list, one file per spelling (words-<variety>.txt), chosen by the
// preference startup_spelling. It is looked for in share/zyn beside the program (the build
// tree) and in ../share/zyn (an installed prefix), or in everydaydir when that is set.
constexpr int NVARIETIES = 5;
extern const char* const wordvarieties[NVARIETIES];
extern const char* everydaydir;
// The path of the everyday list, empty when it is not there.
std::string everydaylist();

// Scores. Shared word lists give a word a score from 0 to 100 after a ";" or a tab
// ("apple;60"); Zyn's own lists a score from -10 to 10 after a space ("apple 2"), the weight of
// an answer being 10 to its score. Each entry has a score on both scales: the minimum score of
// a slot is compared with the first, the weight comes from the second.
constexpr float UNSCORED = 50;  // a word without a score, on the 0..100 scale
// Zyn's score of a score of 0..100: a whole number from -2 to 2.
float zynscore(float s100);
// The 0..100 score of a line in Zyn's own scale, the inverse of zynscore before its rounding,
// so that a word without a score is 50 either way: -2 is 0, 1 is 75, 2 and above are 100.
inline float score100(float z) { return z <= -2 ? 0 : z >= 2 ? 100 : UNSCORED + 25 * z; }

// The personal list's entries (dicts/personal.h) are stored as a tenth slot: open to every
// light, and for the answers they name their score replaces the slots' (0: never used, dmask 0).
constexpr int PERSONAL = MAXNDICTS;
constexpr unsigned ALLSLOTS = (1u << MAXNDICTS) - 1;
// Give the loaded answer whose spelling is cf the personal score in place, as a reload would
// (the filler must be stopped). 0 when done, 1 when no loaded answer has that spelling's
// letters (a reload adds it), 2 when cf has no letter of the alphabet.
int setpersonalanswer(const char* cf, int score);

// Hash of an ICC string, shared by the index and the look-ups.
inline unsigned int anshash(const char* s) {
  unsigned int h = 0;
  for (; *s; s++) h = h * 113 + (unsigned char)*s;
  return h;
}
// Wait until nothing of the dictionaries' own reads the index (the cache writer): before the
// index is changed in place, as the bans do. dictsfree waits too.
void dictsidle();

// Index of the answer with these codes, or -1.
int findanswer(const char* icc);
// Empty hash chain heads for an index of at most n answers, or null; sets answerhashmask.
int* newhash(int n);

// Between the file readers and the store.

// One storage block of a slot: entries packed back to back, each a score byte
// (floor(score*10+128.5)), the slot, the 0-terminated answer and the 0-terminated citation form
// (the answer first, as the index is sorted by it).
constexpr int DBLKSZ = 100000;
struct dblock {
  dblock* next;
  int count;
  unsigned char data[DBLKSZ];
};
extern dblock* dstrings[MAXNDICTS];  // head of each slot's chain

void freedict(int d);  // free slot d's chain
// Zero slot d's counters and rejected characters and set line to 0.
void resetdict(int d);

// Where a reader puts the words of slot d: storage blocks, counters and rejected characters,
// with line numbers counted from the sink's own first line. Readers working at the same time
// fill sinks of their own, and addsink adds each to the slot in the order of the file.
struct dictsink {
  explicit dictsink(int slot);  // with the slot's minimum score
  ~dictsink();
  dictsink(const dictsink&) = delete;
  dictsink& operator=(const dictsink&) = delete;

  struct rejected {
    int count, line;  // occurrences, and the line of the first
  };
  int d;
  int line = 0;  // lines read into the sink
  int nusable = 0, nafterff = 0, nafteraf = 0, naftermin = 0, nnoword = 0;
  int minscore;  // the slot's minimum score, 0..100
  dblock *head = nullptr, *tail = nullptr;
  int used = 0;  // bytes of tail's data in use
  std::unordered_map<int, rejected> rej;  // by code point
  pcre2_match_data_8* md = nullptr;       // for the filters, created on first use
};

// Canonicalise, filter and store one word in sink k: citation is valid UTF-8 of at most 999 code
// points, score is Zyn's, already clamped to -10..10, and s100 the same score on the 0..100
// scale, which the sink's minimum score must reach. 1 when stored, 0 when refused, -2 when
// memory ran out.
int adddictword(dictsink* k, const char* citation, pcre2_code_8* ff, pcre2_code_8* af, float score, float s100);
// Adds what sink k holds to its slot, after what the slot has (its lines follow `line`), and
// leaves the sink empty.
void addsink(dictsink* k);

// ISO-8859-1 to UTF-8: out needs room for 2n+1 bytes. Returns the length written.
size_t latin1toutf8(const char* in, size_t n, char* out);

// Read a TSD file whose first four bytes (fmt the fourth) have been consumed into sink k.
// Returns the number of words stored, -1 when the file is malformed, -2 when memory ran out.
int tsdload(FILE* fp, dictsink* k, int fmt, pcre2_code_8* ff, pcre2_code_8* af);
