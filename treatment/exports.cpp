// The names exported to plug-ins: the message data a plug-in reads, and the offering functions
// it calls with text in UTF-8 or code points.
#include <glib.h>

#include "alphabet/alphabet.h"
#include "dicts/dicts.h"
#include "treatment/treatment.h"

// Until a plug-in fill points them at the messages, plug-ins see empty texts.
static const char emptyc[1] = "";
static const int emptyu[1] = {0};

extern "C" {
const char* answerICC = emptyc;
const int* answerU = emptyu;

char msgchar[2], msgcharAZ[2], msgcharAZ09[2];
char msgcharICC[2], msgcharICCAZ[2], msgcharICCAZ09[2];
int msgcharU[2], msgcharUAZ[2], msgcharUAZ09[2];

const char* treatmessage[2] = {emptyc, emptyc};
const char* treatmessageAZ[2] = {emptyc, emptyc};
const char* treatmessageAZ09[2] = {emptyc, emptyc};
const char* treatmessageICC[2] = {emptyc, emptyc};
const char* treatmessageICCAZ[2] = {emptyc, emptyc};
const char* treatmessageICCAZ09[2] = {emptyc, emptyc};
const int* treatmessageU[2] = {emptyu, emptyu};
const int* treatmessageUAZ[2] = {emptyu, emptyu};
const int* treatmessageUAZ09[2] = {emptyu, emptyu};
}

// Converts plug-in text to codes, dropping characters outside the alphabet and anything that
// is not valid UTF-8; keeps at most max codes.
static int utf8toiccs(char* out, const char* s, int max) {
  int n = 0;
  while (s && *s && n < max) {
    int l = utf8charlen(s);
    if (l <= 0) {
      s++;
      continue;
    }
    gunichar u = g_utf8_get_char_validated(s, l);
    s += l;
    if (u > 0x10ffff) continue;
    int c = uchartoICC((int)u);
    if (c) out[n++] = (char)c;
  }
  out[n] = 0;
  return n;
}

static int ucstoiccs(char* out, const int* s, int max) {
  int n = 0;
  for (; s && *s && n < max; s++) {
    int c = uchartoICC(*s);
    if (c) out[n++] = (char)c;
  }
  out[n] = 0;
  return n;
}

extern "C" {

int treatedanswer(const char* s) {
  if (deb(DEB_TREAT)) pstdout("treatedanswer(\"%s\")\n", s ? s : "");
  char t[MXLTS + 1];
  if (utf8toiccs(t, s, MXLTS) != lightlength) return 0;
  return treatedanswerICC(t);
}

int treatedanswerU(const int* s) {
  char t[MXLTS + 1];
  if (ucstoiccs(t, s, MXLTS) != lightlength) return 0;
  return treatedanswerICC(t);
}

int isword(const char* s) {
  char t[MXLTS + 1];
  utf8toiccs(t, s, MXLTS);
  return iswordICC(t);
}

int iswordU(const int* s) {
  char t[MXLTS + 1];
  ucstoiccs(t, s, MXLTS);
  return iswordICC(t);
}

}
