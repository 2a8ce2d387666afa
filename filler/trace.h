// The filler's trace printers, for the debug logs: sets, light strings, words and list lengths.
#pragma once

#include "core/common.h"

void pabm(ABM b);               // a set in its text notation
void pquoted(const char* s);    // a light string between double quotes
// Every word with its entries' sets; with details also list lengths and some candidates.
void printwords(int details);
void printlistlens();           // each word's list length, on one line
