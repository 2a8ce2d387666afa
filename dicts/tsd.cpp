// Reader of TSD files: a compact binary word list whose words are grouped by length and
// written with a prefix code that the file itself defines.
#include <cstdint>
#include <vector>

#include "dicts/dicts.h"

namespace {
constexpr int MXNODES = 512;

// Decoding tree. The root is node 0 and is nobody's child, so a child of 0 means none.
struct hnode {
  short child[2];
  short ch;  // character carried, -1 none
};

struct hctree {
  hnode n[MXNODES];
  int nhn = 1;

  hctree() { n[0] = {{0, 0}, -1}; }

  // Insert a code of len bits, first bit len-1. False when the tree would grow too large.
  bool addhcode(unsigned bits, int len, int c) {
    int p = 0;
    for (int i = len - 1; i >= 0; i--) {
      int b = bits >> i & 1;
      if (!n[p].child[b]) {
        if (nhn == MXNODES) return false;
        n[nhn] = {{0, 0}, -1};
        n[p].child[b] = (short)nhn++;
      }
      p = n[p].child[b];
    }
    n[p].ch = (short)c;
    if (deb(DEB_DICT)) pstdout("addhcode(%d,%d,%d) nhn=%d\n", bits, len, c, nhn);
    return true;
  }
};

// Bits from the least significant bit of each byte upwards.
struct bitreader {
  FILE* fp;
  int cur = 0, left = 0;
  int bit() {
    if (!left) {
      cur = getc(fp);
      if (cur == EOF) return -1;
      left = 8;
    }
    int b = cur & 1;
    cur >>= 1;
    left--;
    return b;
  }
};

uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

bool readints(FILE* fp, std::vector<int32_t>& v) {
  std::vector<unsigned char> b(4 * v.size());
  if (fread(b.data(), 1, b.size(), fp) != b.size()) return false;
  for (size_t i = 0; i < v.size(); i++) v[i] = (int32_t)le32(&b[4 * i]);
  return true;
}

int shown(int c) { return c >= 0x20 && c < 0x7f ? c : '?'; }
}  // namespace

int tsdload(FILE* fp, dictsink* k, int fmt, pcre2_code_8* ff, pcre2_code_8* af) {
  bool tr = deb(DEB_DICT);
  if (tr) pstdout("attempting to load TSD format=0x%x\n", fmt);
  if (fmt != '0' && fmt != '1') return -1;
  unsigned char b2[2];
  if (fread(b2, 1, 2, fp) != 2) return -1;
  int ml = (int16_t)(b2[0] | b2[1] << 8);
  if (tr) pstdout("ml=%d\n", ml);
  if (ml < 1) return -1;
  if (fmt == '1' && fseek(fp, 12L * (ml + 1), SEEK_CUR)) return -1;
  std::vector<int32_t> off(ml), dcount(ml);
  if (!readints(fp, off) || !readints(fp, dcount)) return -1;
  for (int l = 0; l < ml; l++) {
    if (off[l] < 0 || dcount[l] < 0) return -1;
    if (tr) pstdout("dcount[%d]=%d\n", l, dcount[l]);
  }
  if (fseek(fp, (fmt == '0' ? 80 : 1000) + 4, SEEK_CUR)) return -1;
  if (tr) pstdout("hcode array at %08lx\n", ftell(fp));
  unsigned char tab[256 * 8];
  if (fread(tab, 1, sizeof tab, fp) != sizeof tab) return -1;
  hctree t;
  for (int c = 0; c < 256; c++) {
    int len = tab[c * 8 + 1];
    uint32_t bits = le32(&tab[c * 8 + 4]);
    if (!len) continue;
    if (len > 32) return -1;  // more bits than the code field holds
    if (tr) {
      pstdout("%02x %c ", c, shown(c));
      for (int i = len - 1; i >= 0; i--) pstdout("%d", (int)(bits >> i & 1));
      pstdout("\n");
    }
    if (!t.addhcode(bits, len, c)) return -1;
  }

  int count = 0;
  for (int l = 1; l < ml && l <= MXANSLEN; l++) {
    if (!off[l]) continue;
    if (tr)
      pstdout("starting to read length %d at offset %08x; dstrings[%d]=%p memblkp=%p\n", l, off[l], k->d,
              (void*)k->head, (void*)k->tail);
    if (fseek(fp, off[l], SEEK_SET)) return -1;
    bitreader br{fp};
    for (int w = 0; w < dcount[l]; w++) {
      // Format "1" has one spare bit after each end code; it is taken before the next word.
      if (fmt == '1' && w > 0 && br.bit() < 0) return -1;
      char word[SLEN];
      int n = 0;
      for (int p = 0;;) {
        int b = br.bit();
        if (b < 0) return -1;
        if (tr) pstdout("%d", b);
        p = t.n[p].child[b];
        if (!p) return -1;  // a bit sequence that no code has
        int c = t.n[p].ch;
        if (c < 0) continue;
        p = 0;
        if (tr) pstdout(" %02x %c\n", c, shown(c));
        if (c == 0) break;
        if (((c >= 1 && c <= 126) || c >= 160) && n < SLEN - 1) word[n++] = (char)c;
      }
      if (n == SLEN - 1) continue;
      int m = 0;
      while (m < n && (unsigned char)word[m] >= 32) m++;
      char utf[2 * SLEN];
      latin1toutf8(word, m, utf);
      int r = adddictword(k, utf, ff, af, 0, UNSCORED);
      if (r == 1) count++;
      else if (r == -2) return -2;
    }
  }
  return count;
}
