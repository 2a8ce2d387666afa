// Applying the forms of the Dictionaries and Answer treatment dialogs (dicts/dictinfo.h,
// treatment/settings.h) to the document. Each ends with endedit (grid/road.h).
#pragma once

#include "dicts/dictinfo.h"
#include "grid/edit.h"
#include "treatment/settings.h"

// Store the slot settings (each text cut to 999 bytes at a character boundary, each minimum
// score clamped to 0..100), reload every slot (its problems are reported, and when some slot
// failed, which slots are loaded), warn about unused slots; one undo step.
editreport applydictform(const dictform& f);
// Store the form as the treatment settings (texts cut at a character boundary to their limits,
// allocation modes the type does not allow set to 0, constraints read with at most 255 sets and
// the rest unconstrained), load or unload the plug-in; one undo step.
editreport applytreatform(const treatform& f);
