// The table of export items, shared by the File menu and zyn-export.
#include "export/kinds.h"

#include <cstring>

#include "docfile/docfile.h"
#include "draw/picture.h"
#include "draw/shape.h"
#include "export/answers.h"
#include "export/export.h"
#include "export/pdf.h"
#include "export/interchange.h"

namespace {

const char* const EPS = "Encapsulated PostScript";
const char* const SVG = "Scalable Vector Graphics";
const char* const PNG = "Portable Network Graphics";
const char* const HTML = "HyperText Markup Language";
const char* const PDF = "Portable Document Format";

// The filled HTML grid and the solution show numbers when the preference asks for them.
int filledhtml(int bits) { return filledflags() & PIC_NUMBERS ? bits | HTML_NUMBERS : bits; }

}  // namespace

const exportkind exportkinds[NEXPORTKINDS] = {
    {"blank-eps", 0x401, "Export blank grid as EPS", ".blank.eps", EPS, 0, [](const char* p) { return a_exportg(p, PIC_NUMBERS, PIC_EPS); }},
    {"blank-svg", 0x402, "Export blank grid as SVG", ".blank.svg", SVG, 0, [](const char* p) { return a_exportg(p, PIC_NUMBERS, PIC_SVG); }},
    {"blank-png", 0x403, "Export blank grid as PNG", ".blank.png", PNG, 0, [](const char* p) { return a_exportg(p, PIC_NUMBERS, PIC_PNG); }},
    {"blank-html", 0x404, "Export blank grid as HTML", ".blank.html", HTML, 1,
     [](const char* p) { return exporthtml(p, HTML_GRID | HTML_NUMBERS, ""); }},
    {"eps", 0x411, "Export filled grid as EPS", ".eps", EPS, 0, [](const char* p) { return a_exportg(p, filledflags(), PIC_EPS); }},
    {"svg", 0x412, "Export filled grid as SVG", ".svg", SVG, 0, [](const char* p) { return a_exportg(p, filledflags(), PIC_SVG); }},
    {"png", 0x413, "Export filled grid as PNG", ".png", PNG, 0, [](const char* p) { return a_exportg(p, filledflags(), PIC_PNG); }},
    {"html", 0x414, "Export filled grid as HTML", ".html", HTML, 1,
     [](const char* p) { return exporthtml(p, filledhtml(HTML_GRID | HTML_LETTERS), ""); }},
    {"answers-txt", 0x420, "Export answers as plain text", ".ans.txt", "Plain text", 0, [](const char* p) { return exportanswers(p, 0); }},
    {"answers-html", 0x423, "Export answers as HTML", ".ans.html", HTML, 0, [](const char* p) { return exportanswers(p, 1); }},
    {"puzzle-html", 0x433, "Export puzzle as HTML", ".html", HTML, 1,
     [](const char* p) { return exporthtml(p, HTML_GRID | HTML_NUMBERS | HTML_CLUES, ""); }},
    {"puzzle-html-svg", 0x434, "Export puzzle as HTML+SVG", ".html", HTML, 0, [](const char* p) { return exporthtmlimg(p, 0, PIC_SVG); }},
    {"puzzle-html-png", 0x435, "Export puzzle as HTML+PNG", ".html", HTML, 0, [](const char* p) { return exporthtmlimg(p, 0, PIC_PNG); }},
    {"puzzle-pdf", 0x436, "Export puzzle as PDF", ".pdf", PDF, 0, [](const char* p) { return exportpdf(p, PP_PUZZLE); }},
    {"solution-html", 0x443, "Export solution as HTML", ".html", HTML, 1,
     [](const char* p) { return exporthtml(p, filledhtml(HTML_GRID | HTML_LETTERS | HTML_ANSWERS), ""); }},
    {"solution-html-svg", 0x444, "Export solution as HTML+SVG", ".html", HTML, 0, [](const char* p) { return exporthtmlimg(p, 1, PIC_SVG); }},
    {"solution-html-png", 0x445, "Export solution as HTML+PNG", ".html", HTML, 0, [](const char* p) { return exporthtmlimg(p, 1, PIC_PNG); }},
    {"clues-txt", 0x460, "Export clues as plain text", ".clues.txt", "Plain text", 0, exportclues},
    {"solution-pdf", 0x446, "Export solution as PDF", ".solution.pdf", PDF, 0,
     [](const char* p) { return exportpdf(p, PP_SOLUTION); }},
    {"ccw-xml", 0x451, "Export as Crossword Compiler XML", "-ccw.xml", "Crossword Compiler Extensible Markup Language", 1,
     [](const char* p) { return exportxml(p); }},
    {"ipuz", 0x452, "Export as ipuz", ".ipuz", "ipuz", 1, exportipuz},
    {"puz", 0x453, "Export as Across Lite .puz", ".puz", "Across Lite", 1, exportpuz},
};

const exportkind* findexportkind(const char* name) {
  for (const exportkind& k : exportkinds)
    if (strcmp(k.name, name) == 0) return &k;
  return nullptr;
}

const exportkind* exportkindof(int action) {
  for (const exportkind& k : exportkinds)
    if (k.action == action) return &k;
  return nullptr;
}

int exportkindok(const exportkind* k) { return !k->squareonly || shapeclass() == SC_SQUARE; }
