// What every export shares: stopping the filler and obtaining each light's answers before
// writing, and restarting the background fill afterwards.
#pragma once

// Stop the filler, rebuild and run a propagation-only fill; 1 when every word's feasible list
// is available, 0 when the rebuild or the fill could not be done.
int preexport();
// Stop the filler and restart interactive assistance.
void postexport();

// Shown in the heads of exported files.
extern const char* zynweb;
