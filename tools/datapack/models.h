// The models of the data pack and the textures they name: the landscape of the intro, the
// temple, the tunnel and its star, and the bar of the credits chain.
#pragma once

#include <string>

#include "ase_writer.h"

// Each builder returns the scene as it is written; writeModels writes them and their
// textures under dir/models.
MeshScene landscapeScene();
MeshScene templeScene();
MeshScene tunnelScene();
MeshScene starScene();
MeshScene logoBarScene();
bool writeModels(const std::string& dir);
// Writes the landscape and its two pictures into dir/models/landscape.
bool writeLandscape(const std::string& dir);
// Paints the temple's textures into dir/models/templo01.
bool writeTempleTextures(const std::string& dir);
