/* Zyn treatment plug-in: every treated light holds its answer with the first and last
   characters exchanged (DRAWN is entered as NRAWD).

   Build, from this folder:
       cc -shared -fPIC -I../../treatment -o swapends.so swapends.c */
#include <string.h>

#include "zynplugin.h"

int treat(const char *answer) {
  char s[256];
  size_t n = strlen(answerICC);
  char t;
  (void)answer; /* the codes are easier to rearrange than the UTF-8 text */
  if (n < 2 || n >= sizeof s) return treatedanswerICC(answerICC);
  memcpy(s, answerICC, n + 1);
  t = s[0];
  s[0] = s[n - 1];
  s[n - 1] = t;
  return treatedanswerICC(s);
}
