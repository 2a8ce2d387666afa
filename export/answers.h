// The lists of lights with their answers, and the "Export answers" files.
#pragma once

#include <cstdio>

// Output modes of listanswers.
constexpr int LA_TEXT = 0, LA_HTML = 1, LA_HTMLOTHER = 2, LA_HTMLCLUES = 3, LA_XMLWORDS = 4, LA_XMLCLUES = 5;

// Write the lights starting in direction dir (-1: the free lights) in the given mode.
// avail: the candidate lists may be used; counter: the running word id of the XML export.
void listanswers(FILE* f, int dir, int mode, int avail, int* counter);

// Write every light's answer as plain text or HTML to path. 0 on success.
int exportanswers(const char* path, int html);
