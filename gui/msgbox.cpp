// Message boxes and the file chooser.
#include "gui/msgbox.h"

#include <cstring>
#include <string>

#include "core/common.h"
#include "core/message.h"
#include "docfile/docfile.h"
#include "gui/names.h"
#include "gui/window.h"

int rundialog(void* dialog) {
  modaldepth++;
  int r = gtk_dialog_run(GTK_DIALOG(dialog));
  modaldepth--;
  return r;
}

static void showmsg(GtkMessageType type, const char* msg) {
  // The text goes through "%s", so a message is never taken as a format.
  GtkWidget* d = gtk_message_dialog_new(mainw ? GTK_WINDOW(mainw) : nullptr, GTK_DIALOG_DESTROY_WITH_PARENT, type,
                                        GTK_BUTTONS_NONE, "%s", msg);
  gtk_dialog_add_button(GTK_DIALOG(d), GTK_STOCK_CLOSE, GTK_RESPONSE_ACCEPT);
  rundialog(d);
  gtk_widget_destroy(d);
}

void guiinfobox(const char* msg) { showmsg(GTK_MESSAGE_INFO, msg); }
void guiwarnbox(const char* msg) { showmsg(GTK_MESSAGE_WARNING, msg); }
void guierrbox(const char* msg) { showmsg(GTK_MESSAGE_ERROR, msg); }

// A question box with two buttons: 1 when the first was pressed (closing the box is the second).
static int ask(const char* text, const char* yes, const char* no) {
  GtkWidget* d = gtk_message_dialog_new(mainw ? GTK_WINDOW(mainw) : nullptr, GTK_DIALOG_DESTROY_WITH_PARENT,
                                        GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "%s", text);
  gtk_dialog_add_buttons(GTK_DIALOG(d), yes, GTK_RESPONSE_ACCEPT, no, GTK_RESPONSE_REJECT, nullptr);
  int r = rundialog(d);
  gtk_widget_destroy(d);
  return r == GTK_RESPONSE_ACCEPT;
}

int guiareyousure(const char* verb) {
  char text[200];
  pbuf(text, sizeof text, "\n  Your work is not saved.  \n  Are you sure you want to %s?  \n", verb);
  return ask(text, "  Proceed  ", GTK_STOCK_CANCEL);
}

int guiaskyesno(const char* question) { return ask(question, GTK_STOCK_YES, GTK_STOCK_NO); }

int guiaskplugin(const char* path) {
  char text[SLEN + 200];
  pbuf(text, sizeof text,
       "This document uses the answer treatment plug-in\n%s\n\nA plug-in is a program: load it only if you trust "
       "where it came from.\nLoad the plug-in?",
       path);
  return ask(text, "Load plug-in", "Open without it");
}

int askoverwrite() { return ask("\n  That file already exists.  \n  Overwrite it?  \n", "  Overwrite  ", GTK_STOCK_CANCEL); }

int askokcancel(const char* question) { return ask(question, GTK_STOCK_OK, GTK_STOCK_CANCEL); }

static GtkFileFilter* makefilter(const char* name, const char* pat1, const char* pat2) {
  GtkFileFilter* f = gtk_file_filter_new();
  gtk_file_filter_set_name(f, name);
  gtk_file_filter_add_pattern(f, pat1);
  if (pat2) gtk_file_filter_add_pattern(f, pat2);
  return f;
}

int filechooser(char* dest, size_t n, const char* title, const char* suffix, const char* filtername, int mode) {
  int save = mode != FC_OPEN;
  std::string ext = suffixext(suffix);
  gchar* upper = g_ascii_strup(ext.c_str(), -1);
  std::string fname = std::string(filtername) + " files", pat = "*" + ext, patup = std::string("*") + upper;
  g_free(upper);
  GtkWidget* d = gtk_file_chooser_dialog_new(title, nullptr,
                                             save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
                                             GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_OK, GTK_RESPONSE_OK, nullptr);
  GtkFileChooser* fc = GTK_FILE_CHOOSER(d);
  gtk_file_chooser_add_filter(fc, makefilter(fname.c_str(), pat.c_str(), patup.c_str()));
  if (!save && ext == ".zyn") {
    // Open also reads the puzzles of other programs, which it recognises by their content.
    GtkFileFilter* other = makefilter("ipuz, .puz and XML puzzles", "*.ipuz", "*.IPUZ");
    for (const char* p : {"*.puz", "*.PUZ", "*.xml", "*.XML", "*.jpz", "*.JPZ"}) gtk_file_filter_add_pattern(other, p);
    gtk_file_chooser_add_filter(fc, other);
  }
  gtk_file_chooser_add_filter(fc, makefilter("All files", "*", nullptr));

  // The proposed name is split: the folder in the file system's encoding, the bare name in UTF-8.
  std::string def = chooserdefault(filestem, suffix);
  gchar* dir = g_path_get_dirname(def.c_str());
  gchar* base = g_path_get_basename(def.c_str());
  if (g_path_is_absolute(dir)) {
    if (gchar* fsdir = g_filename_from_utf8(dir, -1, nullptr, nullptr, nullptr)) {
      gtk_file_chooser_set_current_folder(fc, fsdir);
      g_free(fsdir);
    }
  }
  if (save) gtk_file_chooser_set_current_name(fc, base);
  if (mode == FC_EXPORT) gtk_file_chooser_set_do_overwrite_confirmation(fc, TRUE);
  g_free(dir);
  g_free(base);

  int got = 0;
  while (!got && rundialog(d) == GTK_RESPONSE_OK) {
    gchar* fsname = gtk_file_chooser_get_filename(fc);
    if (!fsname) continue;  // OK with nothing chosen: ask again
    gchar* name = g_filename_to_utf8(fsname, -1, nullptr, nullptr, nullptr);
    if (!name) errbox("The file name cannot be read as UTF-8");
    else if (strlen(name) >= n) errbox("Filename too long");
    else {
      strlcpy0(dest, name, n);
      got = 1;
    }
    g_free(name);
    g_free(fsname);
  }
  gtk_widget_destroy(d);
  if (deb(DEB_UI)) pstdout("filechooser: %s\n", got ? dest : "(cancelled)");
  return got;
}
