// The feasible-word list beside the grid and the feasible-characters line below it, refilled
// on the main thread when a background fill has published its result.
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "export/answers.h"
#include "filler/filler.h"
#include "filler/search.h"
#include "grid/geometry.h"
#include "grid/zyn.h"
#include "gui/window.h"

static GtkListStore* feasstore;

GtkWidget* buildfeaslist() {
  feasstore = gtk_list_store_new(1, G_TYPE_STRING);
  feaslist = gtk_tree_view_new_with_model(GTK_TREE_MODEL(feasstore));
  g_object_unref(feasstore);  // the view holds it
  GtkTreeViewColumn* col =
      gtk_tree_view_column_new_with_attributes("Feasible words", gtk_cell_renderer_text_new(), "text", 0, nullptr);
  gtk_tree_view_column_set_sizing(col, GTK_TREE_VIEW_COLUMN_FIXED);
  gtk_tree_view_column_set_fixed_width(col, 180);
  gtk_tree_view_append_column(GTK_TREE_VIEW(feaslist), col);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(feaslist), TRUE);
  gtk_tree_view_set_headers_clickable(GTK_TREE_VIEW(feaslist), FALSE);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(feaslist)), GTK_SELECTION_SINGLE);
  return feaslist;
}

void setfeaslabel(const char* text) {
  if (feaslabel) gtk_label_set_text(GTK_LABEL(feaslabel), text);
}

// The label text for the cursor's entry: its feasible characters by decreasing score.
static std::string feaschars() {
  if (curent < 0 || curent >= ne || curword < 0 || curword >= nw || words[curword].fe) return "";
  const entry* e = entries + curent;
  unsigned char poss[64] = {0};
  // The published set: the filler thread may still be unwinding its working sets.
  if (e->flbmh) getposs(e, poss, 0, 0);
  if (!poss[0]) return " No feasible characters";
  std::string t = poss[1] ? " Feasible characters: " : " Feasible character: ";
  for (int i = 0; poss[i]; i++) t += icctext[poss[i]];
  return t;
}

void updatefeas() {
  if (!feaslist) return;
  if (deb(DEB_DRAW)) pstdout("updatefeas()\n");
  if (assistmode == 0) {
    setfeaslabel("");
    return;
  }
  // Detached from the view while it is refilled, so that the view does not follow every row.
  g_object_ref(feasstore);
  gtk_tree_view_set_model(GTK_TREE_VIEW(feaslist), nullptr);
  gtk_list_store_clear(feasstore);
  std::string label;
  if (isclear(cursorx, cursory)) {
    char text[ANSFORMLEN];
    GtkTreeIter it;
    for (int i = 0; i < llistlen; i++) {
      ansform(text, llist[i], llistdm);
      gtk_list_store_insert_with_values(feasstore, &it, -1, 0, text, -1);
    }
    label = feaschars();
  }
  gtk_tree_view_set_model(GTK_TREE_VIEW(feaslist), GTK_TREE_MODEL(feasstore));
  g_object_unref(feasstore);
  if (deb(DEB_DRAW)) pstdout("Setting poss label to >%s<\n", label.c_str());
  setfeaslabel(label.c_str());
}
