// Tile wall (not yet drawing).
#include "render/tile_wall.h"

void drawTileWall(int, int) {}
void drawBevelTile(float, float, float, float, float, float, float, float, int, int, int, int) {}
