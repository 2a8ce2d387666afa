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

// Call f(x', y', d', arg) once for every image of square (x, y) and edge direction d (0 to
// 2*ndir()-1) under rotsym, mirsym and dupsym, the identity last. Images off the grid or on
// squares that do not exist are dropped; an image may come more than once.
void symmapply(void (*f)(int x, int y, int d, void* arg), void* arg, int x, int y, int d);

// The radio settings of the Symmetry menu, each given the newly chosen value. A value the grid
// does not allow is refused (1); 0 when set.
int setrotsym(int order);
int setmirsym(int m);
int setdupsym(int m);
void setnosymmetry();  // no rotation, mirror or duplication
