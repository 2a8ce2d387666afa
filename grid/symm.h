// Symmetry: which settings the current grid allows. Menus, loading, the grid-properties
// dialog and every whole-grid edit ask here, so they can never disagree.
#pragma once

// Bit i set: rotational order i (1 to 12) is allowed for the current type and size.
unsigned int symmrotmask();
inline int symmrotok(int order) { return order >= 1 && order <= 12 && ((symmrotmask() >> order) & 1); }
int symmmirok(int m);  // mirror bits m (0 to 3) allowed
int symmdupok(int m);  // duplication bits m (0 to 3) allowed
// Reduce rotsym, mirsym and dupsym to what the current grid allows.
void symmreduce();
