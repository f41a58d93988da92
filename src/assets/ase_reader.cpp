// ASE reader (not yet reading).
#include "assets/ase_reader.h"

int loadAseModel(const char*, AseModel&) { return 0; }
