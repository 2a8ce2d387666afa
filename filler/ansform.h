// A candidate of the fill as the word lists spell it, for the feasible list, the batch dump and
// the answer exports.
#pragma once

constexpr int ANSFORMLEN = 2624;  // size of an ansform buffer
constexpr int ANSFORMMAX = 2620;  // longest text before the ellipsis

// Writes lts record ln's citation forms that direction mask dmask allows into t0 (ANSFORMLEN
// bytes), cut with "..." when they do not fit.
void ansform(char* t0, int ln, unsigned int dmask);
