// The treatment dialog's texts: the types' names and order, and each message field's label.
#include <string>

#include "alphabet/alphabet.h"
#include "treatment/treatment.h"

const char* const treatnames[NTREATTYPES] = {
    " None",
    " Playfair cipher",
    " Substitution cipher",
    " Fixed Caesar/Vigenère cipher",
    " Variable Caesar cipher",
    " Misprint (general, clue order)",
    " Delete single occurrence of character",
    " Letters latent: delete all occurrences of character",
    " Insert single character",
    " Custom plug-in",
    " Misprint (correct characters specified)",
    " Misprint (incorrect characters specified)",
};
const int treatorder[NTREATTYPES] = {0, 1, 2, 3, 4, 10, 11, 5, 6, 7, 8, 9};

static const char* const labels[NTREATTYPES][2] = {
    {"-", "-"},
    {"Keyword:", "-"},
    {"Encode ABC...Z as:", "-"},
    {"Key character/word:", "-"},
    {"Encodings of A:", "-"},
    {"Correct characters:", "Incorrect characters:"},
    {"Characters to delete:", "-"},
    {"Characters to delete:", "-"},
    {"Characters to insert:", "-"},
    {"Message 1:", "Message 2:"},
    {"Correct characters:", "-"},
    {"Incorrect characters:", "-"},
};

// A group as the dialog abbreviates it: all of a short group, else "ABC...Z".
static std::string groupabbrev(int g) {
  int n = groupsize(g);
  std::string s;
  for (int i = 0; i < n; i++) {
    if (n >= 7 && i == 3) {
      s += "...";
      i = n - 1;
    }
    s += icctext[groupcode(g, i)];
  }
  return s;
}

const char* msglabel(int t, int m) {
  static std::string buf;
  if (t < 0 || t >= NTREATTYPES) t = TT_NONE;
  if (m != 0 && m != 1) return "-";
  if (m == 0 && (t == TT_SUBST || t == TT_VCAESAR)) {
    int n0 = groupsize(0), n1 = groupsize(1);
    if (!n0 && !n1) return t == TT_SUBST ? "Alphabet substitutions: " : "Encoding offsets: ";
    const char* sep = n0 && n1 ? ", " : "";
    if (t == TT_SUBST) buf = "Encode " + groupabbrev(0) + sep + groupabbrev(1) + " as: ";
    else {
      buf = "Encodings of ";
      if (n0) buf += icctext[groupcode(0, 0)];
      buf += sep;
      if (n1) buf += icctext[groupcode(1, 0)];
      buf += ": ";
    }
    return buf.c_str();
  }
  return labels[t][m];
}
