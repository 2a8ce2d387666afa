// Between loaddocument and the readers of the three formats it recognises.
#pragma once

#include "docfile/linereader.h"

// Each reads the document after its first line (`lr.line` holds that line on entry) into the
// reset document and returns 0, or 1 for a format error.
// version: the native format's version; skipped: lines that were not understood and were
// skipped, as a newer version may write.
int readnative(linereader& lr, int* version, int* skipped);
int readlegacy(linereader& lr);
int readforeign(linereader& lr);

// The numeric fields of a header line, as fmt says ('d' decimal, 'x' a colour in hexadecimal,
// kept to its low 24 bits), separated by spaces. Returns how many were read before the first
// that is missing or not a number; *rest then points just after the last one read.
int readfields(const char* p, const char* fmt, int* v, const char** rest = nullptr);
