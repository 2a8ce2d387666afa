// Small pieces the settings dialogs share.
#include <algorithm>

#include "core/common.h"
#include "core/traces.h"
#include "gui/dialogs.h"
#include "gui/msgbox.h"
#include "gui/window.h"

namespace {
constexpr int GTKMAXENTRY = 65535;  // most characters a GTK entry holds
}

GtkWidget* newdialog(const char* title, const char* ok) {
  return gtk_dialog_new_with_buttons(title, mainw ? GTK_WINDOW(mainw) : nullptr,
                                     (GtkDialogFlags)(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                     GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, ok, GTK_RESPONSE_OK, nullptr);
}

GtkWidget* dialogbox(GtkWidget* d) { return gtk_dialog_get_content_area(GTK_DIALOG(d)); }

int rundlg(GtkWidget* d) {
  const char* title = gtk_window_get_title(GTK_WINDOW(d));
  if (deb(DEB_UI)) {
    pstdout(TRACE_DIALOGSHOWN "\n", title);
    fflush(stdout);
  }
  int r = rundialog(d);
  if (deb(DEB_UI)) {
    pstdout(r == GTK_RESPONSE_OK ? TRACE_DIALOGAPPLIED "\n" : TRACE_DIALOGCLOSED "\n", title);
    fflush(stdout);
  }
  return r;
}

GtkWidget* leftlabel(const char* text) {
  GtkWidget* l = gtk_label_new(text);
  gtk_misc_set_alignment(GTK_MISC(l), 0, 0.5);
  return l;
}

GtkWidget* rightlabel(const char* text) {
  GtkWidget* l = gtk_label_new(text);
  gtk_misc_set_alignment(GTK_MISC(l), 1, 0.5);
  return l;
}

GtkWidget* markuplabel(const char* markup) {
  GtkWidget* l = gtk_label_new(nullptr);
  gtk_label_set_markup(GTK_LABEL(l), markup);
  return l;
}

GtkWidget* newentry(const char* text, int maxchars, int widthchars) {
  GtkWidget* e = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(e), std::min(maxchars, GTKMAXENTRY));
  if (widthchars) gtk_entry_set_width_chars(GTK_ENTRY(e), widthchars);
  gtk_entry_set_text(GTK_ENTRY(e), text);
  // What the entry was given, as it holds it, for entryvalue.
  g_object_set_data_full(G_OBJECT(e), "zyn-shown", g_strdup(gtk_entry_get_text(GTK_ENTRY(e))), g_free);
  return e;
}

std::string entrytext(GtkWidget* e) { return gtk_entry_get_text(GTK_ENTRY(e)); }

std::string entryvalue(GtkWidget* e, const std::string& original) {
  const char* shown = (const char*)g_object_get_data(G_OBJECT(e), "zyn-shown");
  std::string now = entrytext(e);
  return shown && now == shown ? original : now;
}

void attach(GtkWidget* table, GtkWidget* w, int col, int row, int xpad, int ypad, GtkAttachOptions xopts) {
  gtk_table_attach(GTK_TABLE(table), w, col, col + 1, row, row + 1, xopts, GTK_FILL, xpad, ypad);
}

GtkWidget* newcheck(const char* label, bool on) {
  GtkWidget* b = gtk_check_button_new_with_mnemonic(label);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(b), on);
  return b;
}

bool checked(GtkWidget* b) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(b)); }

GtkWidget* newcombo(const char* const* items, int n, int active) {
  GtkWidget* c = gtk_combo_box_text_new();
  for (int i = 0; i < n; i++) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(c), items[i]);
  gtk_combo_box_set_active(GTK_COMBO_BOX(c), active);
  return c;
}

std::string choosefile(const char* title) {
  GtkWidget* d = gtk_file_chooser_dialog_new(title, nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, GTK_STOCK_CANCEL,
                                             GTK_RESPONSE_CANCEL, GTK_STOCK_OPEN, GTK_RESPONSE_OK, nullptr);
  std::string name;
  if (rundialog(d) == GTK_RESPONSE_OK) {
    if (gchar* fs = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(d))) {
      if (gchar* u = g_filename_to_utf8(fs, -1, nullptr, nullptr, nullptr)) {
        name = u;
        g_free(u);
      }
      g_free(fs);
    }
  }
  gtk_widget_destroy(d);
  if (deb(DEB_UI)) pstdout(TRACE_CHOSEN "\n", name.empty() ? "(cancelled)" : name.c_str());
  return name;
}
