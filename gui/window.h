// What the window's source files share: the long-lived widgets, the zoom, and the routines that
// bring the window into line with the document. Only gui/ includes this (it includes GTK).
#pragma once

#include <gtk/gtk.h>

#include "grid/edit.h"

// Widgets that live as long as the window; null before it is built and after it is destroyed.
extern GtkWidget* mainw;     // the top-level window
extern GtkWidget* paned;     // grid pane | feasible-word pane
extern GtkWidget* gridsw;    // the scrolled window around the grid
extern GtkWidget* drawarea;  // the grid
extern GtkWidget* feaslist;  // the "Feasible words" list
extern GtkWidget* feaslabel; // the feasible-characters line
extern GtkWidget* faillabel; // where the last fill failed, beside it

// Zoom: an index into the square-size table and the screen pixels per grid unit it gives; the
// bar widths in pixels follow from squarepx.
constexpr int NZOOM = 17;
extern const int zoomsizes[NZOOM];
extern int zoomlev;  // squarepx and the bar widths live with the drawing (draw/shape.h)

// Modal dialogs running now; Quit and closing the window wait until there are none.
extern int modaldepth;

void buildmainwindow();
// Bring the whole window into line with the document: drawing area size, menus, the
// feasible-word pane, title, every cached surface and the cursor. It only shows what is there:
// the engine's endings (grid/road.h) have run the after-edit steps and started assistance.
void syncgui();
// Show the feasible-word pane for assistance mode m (0: hidden).
void showassistpane(int m);
void syncsymmenu();
void syncselmenu();
void settitle();
// Stop the filler, cut the engine off from the window and destroy it; the main loop then ends.
void closewindow();

// The grid pane (gui/gridarea.cpp): its event handlers, and the redraws after a change.
void connectgridarea();
// Apply the report of a command once: the whole window after a change of shape (syncgui);
// otherwise the squares it names (every square for all), the marks, the selection layer with
// the Select menu, then the cursor. A change of the document also clears the marks of a
// failed fill.
void showedit(const editreport& r);
// The cursor was drawn anew: redraw it, and the selection when it is on or leaves a free light.
void showcursor();
// The next expose scrolls the cursor cell into view.
extern int curmoved;

// The clue pane (gui/cluepane.cpp): built once with the window; its rows are brought into line
// with the document when the window is next idle after cluepanerefresh(), and cluepanefollow()
// selects the row of the light the cursor is on.
extern GtkWidget* cluelist;  // the "Clues" list
GtkWidget* buildcluepane();
void cluepanerefresh();
void cluepanefollow();
void m_editclue(int v);    // edit the clue of the cursor's light in the pane
void m_importclues(int v);  // File > Import clues (gui/filecmds.cpp)
void m_print(int v);       // File > Print (gui/print.cpp)

// Menu commands; v is the item's action value.
void m_zoom(int v);
void m_interactive(int v);
void m_rotsym(int v);
void m_mirsym(int v);
void m_dupsym(int v);
void m_symnone(int v);
void m_quit(int v);
void m_about(int v);
void m_undo(int v);
void m_redo(int v);
// File menu (gui/filecmds.cpp).
void m_new(int v);
void m_open(int v);
void m_save(int v);
void m_saveas(int v);
void m_export(int v);
void m_importfl(int v);
void m_exportfl(int v);
// Grid properties and the contents and path dialogs (gui/gridprops.cpp, gui/contents.cpp,
// gui/flpath.cpp).
void m_gridprops(int v);
void m_cellcontents(int v);
void m_lightcontents(int v);
int cellcontentsdialog();
void m_flmodify(int v);

// The menu bar (gui/menu.cpp): built from the table, items looked up by command and action value.
typedef void (*menuhandler)(int action);
menuhandler handlerof(int cmd);
GtkWidget* buildmenubar(GtkAccelGroup* accel);
GtkWidget* menuitem(int cmd, int action);
// Sensitive when on and the command is wired; a command still waiting for its engine stays grey.
void menusensitive(int row, bool on);
// Make a radio item the active one of its group without running any item's command.
void menuselect(int cmd, int action);

// The Autofill menu (gui/autofill.cpp): a fill of the whole grid (FM_ALL) or of the selected
// cells (FM_SEL) under the progress dialog; fipdone, called by the filler thread under the
// lock, asks the dialog's 100 ms timer to close it.
void autofill(int mode);
void fipdone();
void m_accept(int v);
void m_unban(int v);
// The statistics window (gui/stats.cpp); statsrefresh refills it when it is open.
void m_stats(int v);
void statsrefresh();

// The feasible words and characters (gui/feas.cpp).
GtkWidget* buildfeaslist();
void setfeaslabel(const char* text);
void updatefeas();
// Where the last fill failed: its lights marked on the grid and named beside the feasible
// characters, until the next edit (clearfailure).
void showfailure();
void clearfailure();
// When the last key that changed the grid was pressed, until the assistance it restarted has
// refilled the list (0 then); for the trace of the time a key takes to be answered.
extern gint64 assistkeytime;

// The repaints asked of the grid pane since start-up (gui/hooks.cpp): of the whole area and of
// rectangles; the window's traces report them per key.
struct repaintcount {
  int whole, rects;
};
extern repaintcount repaints;

// The engine's hooks into the window (gui/hooks.cpp).
void installhooks();
void clearhooks();
