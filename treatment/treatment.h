// Answer treatments: the settings' meaning, the derived forms of the two messages, the
// Playfair square, the engine that turns each answer of a treated light into the strings
// the light may hold, the message slots and words of the rebuild, and the plug-in loader.
#pragma once

#include "core/common.h"
#include "grid/zyn.h"

// The program's side of the plug-in interface: every name exported to plug-ins.
#define ZYN_HOST
#include "treatment/zynplugin.h"

constexpr int NTREATTYPES = 12;
constexpr int TT_NONE = 0, TT_PLAYFAIR = 1, TT_SUBST = 2, TT_CAESAR = 3, TT_VCAESAR = 4,
              TT_MISPRINT = 5, TT_DELETE = 6, TT_LATENT = 7, TT_INSERT = 8, TT_PLUGIN = 9,
              TT_MISCORRECT = 10, TT_MISINCORRECT = 11;
constexpr int MXMSGU = 12160;  // characters of a message kept in its converted forms

// Names as the dialog shows them (with their leading space), and the dialog's order.
extern const char* const treatnames[NTREATTYPES];
extern const int treatorder[NTREATTYPES];

// Whether type t allows a discretionary allocation of message m.
bool discretionok(int t, int m);
// The label of message m's field in the treatment dialog for type t; "-" when t does not use
// the message. The text stays valid until the next call.
const char* msglabel(int t, int m);

// Rebuild step 1: bring the settings into range (an unknown type becomes None, an allocation
// mode that the type does not allow becomes 0) and derive the message forms.
void makemsgforms();
// Rebuild step 10: append the message slots to the treated words and add the message words.
// Returns 0, or 1 when memory ran out.
int buildmsgwords();

// Per fill: the Playfair square; points the exported message forms at the messages. 0 on success.
int inittreatment();
// Offers the treated forms of one answer (ICC string) of the current light to treatedanswerICC.
int applytreatment(const char* ans);

// Message forms, one zero-terminated array per message.
extern char treatmsgICC[2][MXMSGU + 1];
extern char treatmsgICCAZ[2][MXMSGU + 1];
extern char treatmsgICCAZ09[2][MXMSGU + 1];
extern char treatmsgAZ[2][MXMSGU + 1];
extern char treatmsgAZ09[2][MXMSGU + 1];
extern int treatmsgU[2][MXMSGU + 1];
extern int treatmsgUAZ[2][MXMSGU + 1];
extern int treatmsgUAZ09[2][MXMSGU + 1];
// The strings of the message words (ICC; empty when the word is not made).
extern char msgword[2][MXMSGSLOTS + 1];

// The Playfair square, row by row (0 for an empty cell), and each code's cell or -1.
extern int pfsquare[25];
extern int pfcell[62];

// Plug-ins. loadplugin loads pluginpath and returns null, or the error text (valid until the
// next call). unloadplugin is harmless when nothing is loaded. Both run on the main thread
// with the filler stopped, since the filler thread may be inside the plug-in's treat.
const char* loadplugin();
void unloadplugin();
bool pluginloaded();
// Report a load error of loadplugin as "Error loading custom plug-in" and its first 200 bytes.
void pluginerror(const char* err);
// Load the plug-in when the treatment is the custom plug-in, else unload it, reporting a failed
// load. 0, or 1 when the load failed.
int syncplugin();
// Calls the plug-in's treat with the answer's text; 1 when no plug-in is loaded.
int plugintreat(const char* utf8);
