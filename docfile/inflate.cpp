// Inflating a zip member with GLib's zlib converter. The batch program reads no interchange
// file and is built without this file, and so without GIO.
#include <gio/gio.h>

#include "docfile/import.h"

namespace {

bool gioinflate(const std::string& in, std::string* out, size_t limit) {
  GZlibDecompressor* z = g_zlib_decompressor_new(G_ZLIB_COMPRESSOR_FORMAT_RAW);
  const char* p = in.data();
  size_t left = in.size();
  char buf[65536];
  bool ok = true;
  for (;;) {
    gsize read = 0, written = 0;
    GError* err = nullptr;
    GConverterResult r = g_converter_convert(G_CONVERTER(z), p, left, buf, sizeof buf, G_CONVERTER_INPUT_AT_END, &read,
                                             &written, &err);
    if (r == G_CONVERTER_ERROR) {
      g_error_free(err);
      ok = false;
      break;
    }
    p += read, left -= read;
    out->append(buf, written);
    if (out->size() > limit) {
      ok = false;
      break;
    }
    if (r == G_CONVERTER_FINISHED) break;
    if (!read && !written) {
      ok = false;
      break;
    }
  }
  g_object_unref(z);
  return ok;
}

}  // namespace

void usezipinflate() { zipinflate = gioinflate; }
