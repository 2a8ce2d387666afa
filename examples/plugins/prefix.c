/* Zyn treatment plug-in: each treated light holds its answer with the light's letter of
   message 1 put in front, when that makes another word of the light's dictionaries. With
   message 1 "TS" the first treated light may hold TRAIN for RAIN and the second STOP for TOP.
   Lights beyond the end of the message hold their answers unchanged.

   Build, from this folder:
       cc -shared -fPIC -I../../treatment -o prefix.so prefix.c */
#include <stdio.h>
#include <string.h>

#include "zynplugin.h"

void init(void) { printf("prefix plug-in loaded\n"); }

int treat(const char *answer) {
  const char *msg = treatmessageAZ09[0]; /* letters and digits of message 1 */
  char s[1024];
  if ((size_t)clueorderindex >= strlen(msg)) return treatedanswer(answer);
  if (strlen(answer) + 2 > sizeof s) return 0;
  s[0] = msg[clueorderindex];
  strcpy(s + 1, answer);
  if (!isword(s)) return 0;
  return treatedanswer(s);
}

void finit(void) { printf("prefix plug-in unloaded\n"); }
