// File > Print: the printable puzzle through GTK's print dialog, laid out as the PDF export
// lays out its pages, on the paper the dialog chose.
#include <string>

#include "core/common.h"
#include "core/message.h"
#include "export/pdf.h"
#include "gui/window.h"

namespace {

void onbegin(GtkPrintOperation* op, GtkPrintContext* ctx, gpointer) {
  double w = gtk_print_context_get_width(ctx), h = gtk_print_context_get_height(ctx);
  gtk_print_operation_set_n_pages(op, puzzlepagecount(gtk_print_context_get_cairo_context(ctx), w, h, PP_PUZZLE));
}

void ondraw(GtkPrintOperation*, GtkPrintContext* ctx, int page, gpointer) {
  double w = gtk_print_context_get_width(ctx), h = gtk_print_context_get_height(ctx);
  drawpuzzlepage(gtk_print_context_get_cairo_context(ctx), w, h, PP_PUZZLE, page);
}

}  // namespace

void m_print(int) {
  GtkPrintOperation* op = gtk_print_operation_new();
  // Pages are laid out in points on the whole sheet, as the PDF's are.
  gtk_print_operation_set_unit(op, GTK_UNIT_POINTS);
  gtk_print_operation_set_use_full_page(op, TRUE);
  GtkPageSetup* setup = gtk_page_setup_new();
  double w, h;
  papersize(&w, &h);
  GtkPaperSize* paper = gtk_paper_size_new(w > 600 ? GTK_PAPER_NAME_LETTER : GTK_PAPER_NAME_A4);
  gtk_page_setup_set_paper_size(setup, paper);
  gtk_print_operation_set_default_page_setup(op, setup);
  g_signal_connect(op, "begin-print", G_CALLBACK(onbegin), nullptr);
  g_signal_connect(op, "draw-page", G_CALLBACK(ondraw), nullptr);
  GError* err = nullptr;
  modaldepth++;
  GtkPrintOperationResult r =
      gtk_print_operation_run(op, GTK_PRINT_OPERATION_ACTION_PRINT_DIALOG, GTK_WINDOW(mainw), &err);
  modaldepth--;
  if (r == GTK_PRINT_OPERATION_RESULT_ERROR) {
    std::string m = std::string("Could not print: ") + (err ? err->message : "unknown error");
    errbox(m.c_str());
  }
  if (err) g_error_free(err);
  gtk_paper_size_free(paper);
  g_object_unref(setup);
  g_object_unref(op);
}
