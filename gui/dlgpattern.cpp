// The "Generate blocks" dialog: the style, the shortest light, the range of the share of blocks,
// the British base, the whole grid or the selected cells, and a seed with "New seed". Generate
// puts a pattern into the grid as one undo step; when none is found it says why and stays open.
#include <string>

#include "core/message.h"
#include "grid/pattern.h"
#include "grid/select.h"
#include "grid/zyn.h"
#include "gui/dialogs.h"
#include "gui/window.h"

namespace {

patternparams last;  // the settings of the last dialog, offered again
bool lastshown;

struct patternform {
  GtkWidget* style[NPATSTYLES];
  GtkWidget *minlen, *from, *to, *base, *selonly, *seed;
};

GtkWidget* spinbox(int lo, int hi, int v) {
  GtkWidget* s = gtk_spin_button_new_with_range(lo, hi, 1);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(s), v);
  return s;
}

int spinint(GtkWidget* s) {
  gtk_spin_button_update(GTK_SPIN_BUTTON(s));
  return gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(s));
}

// A label whose mnemonic moves the keyboard to w.
GtkWidget* labelfor(const char* text, GtkWidget* w) {
  GtkWidget* l = gtk_label_new_with_mnemonic(text);
  gtk_label_set_mnemonic_widget(GTK_LABEL(l), w);
  return l;
}

GtkWidget* row(GtkWidget* box, std::initializer_list<GtkWidget*> ws) {
  GtkWidget* r = gtk_hbox_new(FALSE, 4);
  for (GtkWidget* w : ws) gtk_box_pack_start(GTK_BOX(r), w, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), r, FALSE, FALSE, 2);
  return r;
}

// Choosing a style offers its usual share of blocks; the base belongs to the British style.
void stylechosen(GtkToggleButton* b, gpointer p) {
  if (!gtk_toggle_button_get_active(b)) return;
  patternform* f = (patternform*)p;
  int s = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "zyn-style")), lo, hi;
  patternshares(s, &lo, &hi);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(f->from), lo);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(f->to), hi);
  gtk_widget_set_sensitive(f->base, s == PAT_BRITISH);
}

void newseed(GtkButton*, gpointer seed) { gtk_spin_button_set_value(GTK_SPIN_BUTTON(seed), g_random_int_range(1, 1000000)); }

// The symmetry in force, as the Symmetry menu names its settings.
std::string symmetrytext() {
  static const char* const orders[] = {"", "", "Twofold", "Threefold", "Fourfold", "Fivefold", "Sixfold",
                                       "Sevenfold", "Eightfold", "Ninefold", "Tenfold", "Elevenfold", "Twelvefold"};
  static const char* const mirrors[] = {"", "left-right mirror", "up-down mirror", "both mirrors"};
  static const char* const dups[] = {"", "left-right duplication", "up-down duplication", "both duplications"};
  std::string s;
  auto add = [&s](const std::string& t) { s += (s.empty() ? "" : ", ") + t; };
  if (rotsym >= 2 && rotsym <= 12) add(std::string(orders[rotsym]) + " rotational");
  if (mirsym > 0 && mirsym < 4) add(mirrors[mirsym]);
  if (dupsym > 0 && dupsym < 4) add(dups[dupsym]);
  return s.empty() ? "None" : s;
}

patternparams readform(const patternform& f) {
  patternparams p;
  for (int i = 0; i < NPATSTYLES; i++)
    if (checked(f.style[i])) p.style = i;
  p.minlen = spinint(f.minlen);
  p.minshare = spinint(f.from);
  p.maxshare = spinint(f.to);
  p.parity = gtk_combo_box_get_active(GTK_COMBO_BOX(f.base));
  p.selonly = checked(f.selonly);
  p.seed = (unsigned int)spinint(f.seed);
  return p;
}

}  // namespace

void m_genblocks(int) {
  if (!lastshown) {
    last.seed = (unsigned int)g_random_int_range(1, 1000000);
    lastshown = true;
  }
  GtkWidget* d = gtk_dialog_new_with_buttons("Generate blocks", GTK_WINDOW(mainw),
                                             (GtkDialogFlags)(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                             GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, "_Generate", GTK_RESPONSE_OK, nullptr);
  GtkWidget* box = gtk_vbox_new(FALSE, 4);
  gtk_container_set_border_width(GTK_CONTAINER(box), 8);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);

  patternform f;
  gtk_box_pack_start(GTK_BOX(box), markuplabel("<b>Style</b>"), FALSE, FALSE, 2);
  static const char* const stylelabels[NPATSTYLES] = {
      "_American: every cell checked", "_British blocked: alternate unchecked cells", "_Free: no base"};
  for (int i = 0; i < NPATSTYLES; i++) {
    f.style[i] = i ? gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(f.style[0]), stylelabels[i])
                   : gtk_radio_button_new_with_mnemonic(nullptr, stylelabels[i]);
    g_object_set_data(G_OBJECT(f.style[i]), "zyn-style", GINT_TO_POINTER(i));
    gtk_box_pack_start(GTK_BOX(box), f.style[i], FALSE, FALSE, 0);
  }
  static const char* const bases[] = {"No unches on edges", "Unches left and right", "Unches top and bottom",
                                      "Unches on all edges"};
  f.base = newcombo(bases, 4, last.parity);
  row(box, {labelfor("    Bas_e of a British grid: ", f.base), f.base});
  gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4);

  f.minlen = spinbox(2, 15, last.minlen);
  row(box, {labelfor(" Shortest _light: ", f.minlen), f.minlen, gtk_label_new(" cells")});
  f.from = spinbox(0, 90, last.minshare);
  f.to = spinbox(0, 90, last.maxshare);
  row(box, {labelfor(" Blocks: fro_m ", f.from), f.from, labelfor("% _to ", f.to), f.to, gtk_label_new("% of the squares")});
  row(box, {gtk_label_new(" Symmetry: "), leftlabel(symmetrytext().c_str())});
  f.selonly = newcheck("Only the _selected cells", last.selonly && nsel > 0);
  gtk_widget_set_sensitive(f.selonly, nsel > 0);
  gtk_box_pack_start(GTK_BOX(box), f.selonly, FALSE, FALSE, 0);
  f.seed = spinbox(0, 999999999, (int)last.seed);
  GtkWidget* again = gtk_button_new_with_mnemonic("_New seed");
  g_signal_connect(again, "clicked", G_CALLBACK(newseed), f.seed);
  row(box, {labelfor(" See_d: ", f.seed), f.seed, again});

  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(f.style[last.style]), TRUE);
  gtk_widget_set_sensitive(f.base, last.style == PAT_BRITISH);
  for (GtkWidget* b : f.style) g_signal_connect(b, "toggled", G_CALLBACK(stylechosen), &f);

  gtk_widget_show_all(d);
  while (rundlg(d) == GTK_RESPONSE_OK) {
    last = readform(f);
    patternresult res;
    editreport r = generateblocks(last, &res);
    if (res.status == PS_OK) {
      if (deb(DEB_UI))
        pstdout("pattern: %d blocks added, %d of %d squares, attempt %d\n", res.added, res.blocks, res.squares,
                res.attempt);
      showedit(r);
      break;
    }
    errbox(patternmessage(res.status));
  }
  gtk_widget_destroy(d);
}
