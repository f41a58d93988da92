// Model records (not yet allocating).
#include "assets/ase_model.h"

void allocateObjectArrays(AseObject&) {}
void loadMaterialTexture(AseMaterial&) {}
void releaseAseModel(AseModel&) {}
