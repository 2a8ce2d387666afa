// The trace lines that the window's test scripts wait for (printed with -D: DEB_UI and
// DEB_DRAW), as printf formats without the line end. tests/gui/lib.sh reads this file: each
// TRACE_NAME "format" becomes the shell variable T_NAME, so that the program and the scripts
// change a line together, and a script naming a line that is gone stops at once. A format here
// holds no quote or backslash. tests/tracecheck.sh checks that the code prints every one.
// It lives in core/ because the drawing prints one of them as well as the window.
#pragma once

// The feasible-word list: a refill, each row appended, the characters line below it, a row
// entered, and the failure named below the grid.
#define TRACE_UPDATEFEAS "updatefeas()"
#define TRACE_LISTROW "gtk_clist_append( <%s> <%s> )"
#define TRACE_LISTLABEL "Setting poss label to >%s<"
#define TRACE_ROWSELECT "row select event %d"
#define TRACE_FAILURE "failure shown: %s"

// The grid pane: a repaint (once painted), a pointer button (handled once the second line is
// printed), the hints redrawn while a fill runs, the zoom, a new size of the drawing area, the
// repaint that showed a key, and where each cell's centre falls on the drawing area (after a zoom
// or a new grid).
#define TRACE_EXPOSE "expose event x=%d y=%d w=%d h=%d"
#define TRACE_PRESS "button press event (%f,%f) -> (%d,%d) e=%02x button=%08x type=%08x state=%08x"
#define TRACE_PRESSDONE "Exiting button_press_event()"
#define TRACE_HINTS "refreshhints()"
#define TRACE_ZOOM "zoom level %d, %d pixels"
#define TRACE_CONFIGURE "config event: new w=%d h=%d"
#define TRACE_KEYSHOWN "key shown in %.2f ms"
#define TRACE_CELLCENTRE "cell centre %d,%d at %d,%d"

// A menu item's command has returned (its dialogs and messages closed); the path is the item's
// without the mnemonic underscore. The selection menu brought into line. Closing the window
// refused (a modal dialog runs, or the user kept the unsaved work).
#define TRACE_COMMANDDONE "command %s done"
#define TRACE_SELMENU "syncselmenu mode=%d,n=%d"
#define TRACE_CLOSEREFUSED "close refused"

// Dialogs by title, and the file chooser's answer.
#define TRACE_DIALOGSHOWN "dialog %s shown"
#define TRACE_DIALOGAPPLIED "dialog %s applied"
#define TRACE_DIALOGCLOSED "dialog %s closed"
#define TRACE_CHOSEN "choosefile: %s"

// Autofill: the progress dialog, its timer's longest gap, and the filler stopped.
#define TRACE_PROGRESSSHOWN "progress dialog shown"
#define TRACE_PROGRESSTIMER "progress timer: longest gap %.1f ms"
#define TRACE_FILLERSTOPPED "stopped filler in %.1f ms, status=%d"

// The clue pane: its count line, a clue set, a clue being edited, the row following the cursor.
#define TRACE_CLUEPANE "clue pane: %s"
#define TRACE_CLUESET "clue %s: %s (%s)"
#define TRACE_EDITINGCLUE "editing clue %s"
#define TRACE_CLUEFOLLOWS "clue pane follows %s"

// The statistics window refreshed.
#define TRACE_STATS "statistics refreshed"
