// Entry point of the zyn executable.
#include "core/startup.h"

int main(int argc, char** argv) { return zynmain(argc, argv); }
