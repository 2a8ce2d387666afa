// The "Preferences" dialog: the preferences on six pages; Apply stores them and writes the file.
#include "alphabet/alphabet.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "grid/road.h"
#include "gui/dialogs.h"
#include "gui/window.h"

namespace {

// A notebook page: a vertical box headed by its title in bold.
GtkWidget* page(GtkWidget* book, const char* tab, const char* heading) {
  GtkWidget* box = gtk_vbox_new(FALSE, 4);
  gtk_container_set_border_width(GTK_CONTAINER(box), 8);
  gtk_box_pack_start(GTK_BOX(box), markuplabel(heading), FALSE, FALSE, 4);
  gtk_notebook_append_page(GTK_NOTEBOOK(book), box, gtk_label_new(tab));
  return box;
}

void packrow(GtkWidget* box, std::initializer_list<GtkWidget*> ws) {
  GtkWidget* r = gtk_hbox_new(FALSE, 0);
  for (GtkWidget* w : ws) gtk_box_pack_start(GTK_BOX(r), w, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), r, FALSE, FALSE, 0);
}

void sep(GtkWidget* box) { gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4); }

GtkWidget* spin(int pref, int lo, int hi) {
  GtkWidget* s = gtk_spin_button_new_with_range(lo, hi, 1);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(s), prefint(pref));
  return s;
}

// A check button showing an on/off preference.
GtkWidget* prefcheck(GtkWidget* box, const char* label, int pref) {
  GtkWidget* b = newcheck(label, prefint(pref) != 0);
  gtk_box_pack_start(GTK_BOX(box), b, FALSE, FALSE, 0);
  return b;
}

GtkWidget* prefentry(int pref, int widthchars) { return newentry(prefstr(pref), SLEN - 1, widthchars); }

void choosedefdict(GtkButton*, gpointer entry) {
  std::string name = choosefile("Choose a dictionary");
  if (!name.empty()) gtk_entry_set_text(GTK_ENTRY(entry), name.c_str());
}

// A spin button's value, taking in what was typed last.
int spinvalue(GtkWidget* s) {
  gtk_spin_button_update(GTK_SPIN_BUTTON(s));
  return gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(s));
}

}  // namespace

void m_prefs(int) {
  GtkWidget* d = newdialog("Preferences");
  GtkWidget* book = gtk_notebook_new();
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), book, TRUE, TRUE, 0);

  GtkWidget* p = page(book, "Export", "<b>Export preferences</b>");
  GtkWidget* eps = spin(PREF_EXPORT_EPS_SQUARE_POINTS, 10, 72);
  packrow(p, {gtk_label_new(" EPS/SVG export square size: "), eps, gtk_label_new(" points")});
  sep(p);
  GtkWidget* html = spin(PREF_EXPORT_HTML_SQUARE_PIXELS, 10, 72);
  packrow(p, {gtk_label_new(" HTML/PNG export square size: "), html, gtk_label_new(" pixels")});
  sep(p);
  GtkWidget* numbers = prefcheck(p, "Include numbers in filled grids", PREF_LIGHT_NUMBERS_IN_SOLUTIONS);
  sep(p);
  GtkWidget* a4 = gtk_radio_button_new_with_label(nullptr, "A4 paper");
  GtkWidget* letter = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(a4), "Letter paper");
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(letter), prefint(PREF_EXPORT_PDF_PAPER) == 1);
  packrow(p, {gtk_label_new(" PDF and printing: "), a4, letter});
  GtkWidget* pdfsol = prefcheck(p, "Add the solution to the puzzle's PDF", PREF_EXPORT_PDF_SOLUTION);

  p = page(book, "Editing", "<b>Editing preferences</b>");
  GtkWidget* block = prefcheck(p, "Clicking corners makes blocks", PREF_EDIT_CLICK_FOR_BLOCK);
  sep(p);
  GtkWidget* bar = prefcheck(p, "Clicking edges makes bars", PREF_EDIT_CLICK_FOR_BAR);
  sep(p);
  GtkWidget* shownum = prefcheck(p, "Show numbers while editing", PREF_EDIT_SHOW_NUMBERS);
  sep(p);
  GtkWidget* shade = prefcheck(p, "Shade the cursor's light", PREF_EDIT_HIGHLIGHT_LIGHT);
  sep(p);
  GtkWidget* heatmap = prefcheck(p, "Tint cells by the candidates left in their lights", PREF_EDIT_HEAT_MAP);

  p = page(book, "Statistics", "<b>Statistics preferences</b>");
  gtk_box_pack_start(GTK_BOX(p), leftlabel(" Desirable checking ratios"), FALSE, FALSE, 0);
  GtkWidget* minchk = spin(PREF_STATS_MIN_CHECK_PERCENT, 0, 100);
  GtkWidget* maxchk = spin(PREF_STATS_MAX_CHECK_PERCENT, 0, 100);
  packrow(p, {gtk_label_new(" Minimum: "), minchk, gtk_label_new("%   Maximum: "), maxchk,
              gtk_label_new("% plus one cell  ")});

  p = page(book, "Autofill", "<b>Autofill preferences</b>");
  GtkWidget* radio[3];
  static const char* const modes[] = {"Deterministic", "Slightly randomised", "Highly randomised"};
  for (int i = 0; i < 3; i++) {
    radio[i] = i ? gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(radio[0]), modes[i])
                 : gtk_radio_button_new_with_label(nullptr, modes[i]);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(radio[i]), prefint(PREF_AUTOFILL_RANDOM) == i);
    gtk_box_pack_start(GTK_BOX(p), radio[i], FALSE, FALSE, 0);
  }
  sep(p);
  GtkWidget* nodup = prefcheck(p, "Prevent duplicate answers and lights", PREF_AUTOFILL_NO_DUPLICATES);

  p = page(book, "Lookup", "<b>Lookup preferences</b>");
  GtkWidget* lt = gtk_table_new(7, 3, FALSE);
  gtk_box_pack_start(GTK_BOX(p), lt, FALSE, FALSE, 0);
  gtk_table_attach(GTK_TABLE(lt), markuplabel("<b>Name</b>"), 1, 2, 0, 1, GTK_FILL, GTK_FILL, 2, 2);
  gtk_table_attach(GTK_TABLE(lt), markuplabel("<b>URI (must start \"http://\" or \"https://\")</b>"), 2, 3, 0, 1,
                   GTK_FILL, GTK_FILL, 2, 2);
  GtkWidget *lname[6], *luri[6];
  for (int n = 0; n < 6; n++) {
    char num[16];
    pbuf(num, sizeof num, "<b>%d</b>", n + 1);
    lname[n] = prefentry(PREF_LOOKUPNAME_0 + n, 30);
    luri[n] = prefentry(PREF_LOOKUPURI_0 + n, 50);
    gtk_table_attach(GTK_TABLE(lt), markuplabel(num), 0, 1, n + 1, n + 2, GTK_FILL, GTK_FILL, 4, 1);
    gtk_table_attach(GTK_TABLE(lt), lname[n], 1, 2, n + 1, n + 2, GTK_FILL, GTK_FILL, 2, 1);
    gtk_table_attach(GTK_TABLE(lt), luri[n], 2, 3, n + 1, n + 2, GTK_FILL, GTK_FILL, 2, 1);
  }

  p = page(book, "Startup", "<b>Startup preferences</b>");
  GtkWidget* st = gtk_table_new(3, 3, FALSE);
  gtk_box_pack_start(GTK_BOX(p), st, FALSE, FALSE, 0);
  GtkWidget* defdict = prefentry(PREF_STARTUP_DEFDICT1, 0);
  GtkWidget* defff = prefentry(PREF_STARTUP_FF1, 0);
  GtkWidget* defaf = prefentry(PREF_STARTUP_AF1, 0);
  GtkWidget* browse = gtk_button_new_with_label(" Browse... ");
  g_signal_connect(browse, "clicked", G_CALLBACK(choosedefdict), defdict);
  const char* labels[3] = {" Default dictionary in slot 1 at startup: ", " Default file filter: ",
                           " Default answer filter: "};
  GtkWidget* entries[3] = {defdict, defff, defaf};
  for (int r = 0; r < 3; r++) {
    gtk_table_attach(GTK_TABLE(st), rightlabel(labels[r]), 0, 1, r, r + 1, GTK_FILL, GTK_FILL, 2, 2);
    gtk_table_attach(GTK_TABLE(st), entries[r], 1, 2, r, r + 1, (GtkAttachOptions)(GTK_FILL | GTK_EXPAND),
                     GTK_FILL, 2, 2);
  }
  gtk_table_attach(GTK_TABLE(st), browse, 2, 3, 0, 1, GTK_FILL, GTK_FILL, 2, 2);
  sep(p);
  const char* alnames[NALPHAS];
  for (int a = 0; a < NALPHAS; a++) alnames[a] = alphabets[a].dname;
  GtkWidget* al = newcombo(alnames, NALPHAS, prefint(PREF_STARTUP_AL));
  packrow(p, {gtk_label_new(" Default alphabet at startup: "), al});
  sep(p);
  GtkWidget* minscore = spin(PREF_STARTUP_MINSCORE1, 0, 100);
  packrow(p, {gtk_label_new(" Minimum score of the startup dictionary: "), minscore, gtk_label_new(" (0 to 100)")});
  static const char* const spellings[NVARIETIES] = {"British", "American", "Canadian", "Australian",
                                                    "British with -ize"};
  GtkWidget* spelling = newcombo(spellings, NVARIETIES, prefint(PREF_STARTUP_SPELLING));
  packrow(p, {gtk_label_new(" Spelling of Zyn's everyday word list: "), spelling});
  GtkWidget* cache = prefcheck(p, "Keep word list indexes in the cache folder", PREF_DICT_CACHE);

  gtk_widget_show_all(d);
  if (rundlg(d) == GTK_RESPONSE_OK) {
    // The filler reads some of these (duplicates, randomness) while it runs.
    beginedit();
    storeprefint(PREF_EXPORT_EPS_SQUARE_POINTS, spinvalue(eps));
    storeprefint(PREF_EXPORT_HTML_SQUARE_PIXELS, spinvalue(html));
    storeprefint(PREF_LIGHT_NUMBERS_IN_SOLUTIONS, checked(numbers));
    storeprefint(PREF_EXPORT_PDF_PAPER, checked(letter));
    storeprefint(PREF_EXPORT_PDF_SOLUTION, checked(pdfsol));
    storeprefint(PREF_EDIT_CLICK_FOR_BLOCK, checked(block));
    storeprefint(PREF_EDIT_CLICK_FOR_BAR, checked(bar));
    storeprefint(PREF_EDIT_SHOW_NUMBERS, checked(shownum));
    storeprefint(PREF_EDIT_HIGHLIGHT_LIGHT, checked(shade));
    storeprefint(PREF_EDIT_HEAT_MAP, checked(heatmap));
    storeprefint(PREF_STATS_MIN_CHECK_PERCENT, spinvalue(minchk));
    storeprefint(PREF_STATS_MAX_CHECK_PERCENT, spinvalue(maxchk));
    for (int i = 0; i < 3; i++)
      if (checked(radio[i])) storeprefint(PREF_AUTOFILL_RANDOM, i);
    storeprefint(PREF_AUTOFILL_NO_DUPLICATES, checked(nodup));
    for (int n = 0; n < 6; n++) {
      storeprefstr(PREF_LOOKUPNAME_0 + n, entrytext(lname[n]).c_str());
      storeprefstr(PREF_LOOKUPURI_0 + n, entrytext(luri[n]).c_str());
    }
    storeprefstr(PREF_STARTUP_DEFDICT1, entrytext(defdict).c_str());
    storeprefstr(PREF_STARTUP_FF1, entrytext(defff).c_str());
    storeprefstr(PREF_STARTUP_AF1, entrytext(defaf).c_str());
    storeprefint(PREF_STARTUP_AL, gtk_combo_box_get_active(GTK_COMBO_BOX(al)));
    storeprefint(PREF_STARTUP_MINSCORE1, spinvalue(minscore));
    storeprefint(PREF_STARTUP_SPELLING, gtk_combo_box_get_active(GTK_COMBO_BOX(spelling)));
    storeprefint(PREF_DICT_CACHE, checked(cache));
    writeprefs();
  }
  gtk_widget_destroy(d);
  // Numbers shown or not, tints, the heat map: the whole window is shown again, and assistance
  // starts with the new settings.
  editreport r;
  r.shape = 1;
  showedit(endmove(r));
}
