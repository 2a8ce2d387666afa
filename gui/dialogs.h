// The settings dialogs: cell and light properties, answer treatment, dictionaries and their
// statistics, alphabet, preferences. Each is built when opened, run modally and destroyed when
// closed; what they do to the document lives in the engine (grid/props.h,
// treatment/settings.h, dicts/dictinfo.h, grid/alphachange.h, core/prefs.h).
#pragma once

#include <gtk/gtk.h>

#include <string>

// Menu commands; v is the item's action value.
void m_defcellprops(int v);
void m_selcellprops(int v);
void m_deflightprops(int v);
void m_sellightprops(int v);
void m_treatment(int v);
void m_dicts(int v);
void m_analyse(int v);
void m_alphabet(int v);
void m_prefs(int v);
void m_genblocks(int v);  // Generate blocks (gui/dlgpattern.cpp)

// Shared by the dialogs (gui/dlgutil.cpp).

// A modal dialog, child of the main window and destroyed with it, with "gtk-cancel" (response
// Cancel) and the stock button ok, "gtk-apply" unless given (response OK).
GtkWidget* newdialog(const char* title, const char* ok = GTK_STOCK_APPLY);
// Its content area.
GtkWidget* dialogbox(GtkWidget* d);
// Run it; trace "dialog <title> shown" and how it ended under the interface debug bit.
// Returns the response.
int rundlg(GtkWidget* d);
// A left-aligned plain label, a right-aligned one, and one in markup.
GtkWidget* leftlabel(const char* text);
GtkWidget* rightlabel(const char* text);
GtkWidget* markuplabel(const char* markup);
// An entry holding text, at most maxchars characters, widthchars wide (0: the default width).
// GTK entries hold at most 65535 characters: longer limits are lowered to that.
GtkWidget* newentry(const char* text, int maxchars, int widthchars);
std::string entrytext(GtkWidget* e);
// The entry's text, or `original` when the user left the entry as newentry set it (so that a
// text longer than the entry holds is not cut by an Apply that did not touch it).
std::string entryvalue(GtkWidget* e, const std::string& original);
// Puts w into one cell of a table, filling it both ways; xopts says how it takes spare width.
void attach(GtkWidget* table, GtkWidget* w, int col, int row, int xpad = 0, int ypad = 1,
            GtkAttachOptions xopts = (GtkAttachOptions)(GTK_FILL | GTK_EXPAND));
// A check button with a mnemonic label.
GtkWidget* newcheck(const char* label, bool on);
bool checked(GtkWidget* b);
// A text combo box with the items, on item `active`.
GtkWidget* newcombo(const char* const* items, int n, int active);
// A file chooser for opening a file, with no parent and "gtk-cancel" and "gtk-open"; the chosen
// name in UTF-8, "" when cancelled.
std::string choosefile(const char* title);
