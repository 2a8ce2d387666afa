// What the window's source files share: the long-lived widgets, the zoom, and the routines that
// bring the window into line with the document. Only gui/ includes this (it includes GTK).
#pragma once

#include <gtk/gtk.h>

// Widgets that live as long as the window; null before it is built and after it is destroyed.
extern GtkWidget* mainw;     // the top-level window
extern GtkWidget* paned;     // grid pane | feasible-word pane
extern GtkWidget* gridsw;    // the scrolled window around the grid
extern GtkWidget* drawarea;  // the grid
extern GtkWidget* feaslist;  // the "Feasible words" list
extern GtkWidget* feaslabel; // the feasible-characters line

// Zoom: an index into the square-size table and the screen pixels per grid unit it gives; the
// bar widths in pixels follow from squarepx.
constexpr int NZOOM = 17;
extern const int zoomsizes[NZOOM];
extern int zoomlev;  // squarepx and the bar widths live with the drawing (draw/shape.h)

// Modal dialogs running now; Quit and closing the window wait until there are none.
extern int modaldepth;

void buildmainwindow();
void syncgui();
void syncsymmenu();
void syncselmenu();
void settitle();
// Stop the filler, cut the engine off from the window and destroy it; the main loop then ends.
void closewindow();

// Menu commands of the window itself; v is the item's action value.
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
void m_selnone(int v);

// The menu bar (gui/menu.cpp): built from the table, items looked up by command and action value.
GtkWidget* buildmenubar(GtkAccelGroup* accel);
GtkWidget* menuitem(int cmd, int action);
// Sensitive when on and the command is wired; a command still waiting for its engine stays grey.
void menusensitive(int cmd, int action, bool on);
// Make a radio item the active one of its group without running any item's command.
void menuselect(int cmd, int action);

// The feasible words and characters (gui/feas.cpp).
GtkWidget* buildfeaslist();
void setfeaslabel(const char* text);
void updatefeas();

// The engine's hooks into the window (gui/hooks.cpp).
void installhooks();
void clearhooks();
