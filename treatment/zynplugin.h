/* Interface between Zyn and a treatment plug-in.

   A plug-in is a shared library that Zyn loads when the answer treatment is "Custom plug-in".
   It provides the entry points below; Zyn resolves every other name in this file against
   itself when the library is loaded, so build the plug-in as a shared object that leaves
   them undefined, for example:

       cc -shared -fPIC -I/usr/include/zyn -o myplugin.so myplugin.c

   (-I<zyn source>/treatment from the source tree, -I<prefix>/include/zyn for another prefix.)

   Text is UTF-8 unless it is an ICC string (bytes holding Zyn's internal character codes
   1 to 61, zero-terminated; 61 is the no-character code "-") or a Unicode array (code points,
   zero-terminated). Arrays of two hold one element per message, message 1 first. */
#ifndef ZYNPLUGIN_H
#define ZYNPLUGIN_H

#ifdef __cplusplus
extern "C" {
#endif

/* Entry points of the plug-in. Only treat is required. */
#ifndef ZYN_HOST
void init(void);               /* once, right after loading, on the user-interface thread */
int treat(const char *answer); /* per answer of a treated light, on the filler thread;
                                  return 0 to go on, anything else makes the fill fail */
void finit(void);              /* once, right before unloading */
#endif

/* The light whose list is being built and the answer being treated. Valid only inside treat:
   they are rewritten between calls, so copy what must be kept. */
extern const char *answerICC;  /* the answer as an ICC string */
extern const int *answerU;     /* the answer as canonical characters */
extern int lightlength;        /* cells of the light */
extern int lightx, lighty;     /* start square (0, 0 for a free light) */
extern int lightdir;           /* direction, or 100 plus the index of a free light */
extern int clueorderindex;     /* treated lights before this one in clue order */
extern int gridorderindex[250]; /* per cell of the light: its index among the treated cells */
extern int checking[250];      /* per cell of the light: the number of lights through it */

/* The message character this light receives, per message. Under a discretionary allocation
   it is the one being tried. The ICC forms use 61 for "no character", the others '-'. */
extern char msgchar[2];                 /* byte of the message as typed */
extern char msgcharAZ[2], msgcharAZ09[2]; /* letters (and digits) only, below 128 */
extern char msgcharICC[2], msgcharICCAZ[2], msgcharICCAZ09[2];
extern int msgcharU[2], msgcharUAZ[2], msgcharUAZ09[2];

/* The messages in all their forms. */
extern const char *treatmessage[2];        /* as typed */
extern const char *treatmessageAZ[2];      /* canonical letters below 128 */
extern const char *treatmessageAZ09[2];    /* canonical letters and digits below 128 */
extern const char *treatmessageICC[2];     /* every character in the alphabet, as codes */
extern const char *treatmessageICCAZ[2];   /* letters, as codes */
extern const char *treatmessageICCAZ09[2]; /* letters and digits, as codes */
extern const int *treatmessageU[2];        /* every character as typed */
extern const int *treatmessageUAZ[2];      /* canonical letters */
extern const int *treatmessageUAZ09[2];    /* canonical letters and digits */

/* Offer one string that the light may hold. Strings whose length differs from lightlength
   are ignored. 0 on success or when not added; negative when memory ran out (return it). */
int treatedanswer(const char *s);
int treatedanswerU(const int *s);
int treatedanswerICC(const char *s);

/* 1 when the text is an answer in one of the light's dictionaries. */
int isword(const char *s);
int iswordU(const int *s);
int iswordICC(const char *s);

/* Conversions between codes and characters of the current alphabet. */
int ICCtoclass(int c); /* 0 letters, 1 digits, 2 others; -1 none or above 61 */
int ICCtouchar(int c); /* canonical character; '-' for 61; 0 when none */
int uchartoICC(int u); /* 0 when not in the alphabet */

/* Printing to standard output. */
void printU(int u);
int printUs(const int *s);
int printICC(int c);
int printICCs(const char *s);

#ifdef __cplusplus
}
#endif

#endif
