// The cell and light properties dialogs without their widgets: which records a command edits,
// the labels they show, and applying the dialog's values to every record.
#pragma once

#include <string>
#include <vector>

#include "grid/edit.h"
#include "grid/zyn.h"

// The records one dialog edits, first record first: its values initialise the dialog.
struct celltargets {
  bool selected;                 // the selected-cells form (with the override box)
  std::vector<cellprops*> recs;  // defcell, or the own record of every selected square in row order
};
struct lighttargets {
  bool selected;
  bool freelights;  // selected free lights: their own records always apply, so no override box
  std::vector<lightprops*> recs;
};

// Collect the records; for a selected form, 1 when the selection holds none of the right kind
// (the error box has been shown), else 0.
int defcelltargets(celltargets& t);
int selcelltargets(celltargets& t);
int deflighttargets(lighttargets& t);
int sellighttargets(lighttargets& t);

// The label of mark k for the current grid type ("NW mark: " ...); marks k < 2 * ndir() are editable.
const char* marklabel(int k);
int nmarksedit();

// "Use dictionary _n (description)" for slot n (1 to 9); an underscore of the description shows
// as itself rather than marking a mnemonic.
std::string dictuselabel(int n);

// What the cell dialog holds when the user applies it. Each mark entry holds at most a few
// characters, so a longer mark is shown cut: shown[k] is the text the entry was given and
// typed[k] the text it holds now. An entry left as it was keeps the first record's whole mark.
struct cellform {
  cellprops p;  // colours, style, agreement, treatment flag; p.cellown the override box
  std::string shown[NMARKS], typed[NMARKS];
};

// Write the form into every record; ends with endedit.
editreport applycellform(const cellform& f, celltargets& t);
// Write the light properties (p.lightown is the override box of a selected form) into every
// record; ends with endedit. A form with no entry method allowed reports
// that once and allows the normal one.
editreport applylightform(const lightprops& p, lighttargets& t);
