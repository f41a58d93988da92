// ASE reader: turns one ASE text export into an AseModel.
#pragma once

#include "assets/ase_model.h"

// Reads path into model. 1 when the file was read; 0, with "# <path> not found!" on standard
// output and the model untouched, when it does not open.
int loadAseModel(const char* path, AseModel& model);
