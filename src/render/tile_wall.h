// Tile wall: a grid of bevelled tiles that together show one picture.
//
// The wall lies in the plane z = 0 of the current modelview frame, lower-left corner at the
// origin, columns along +x and rows along +y, tiles 0.5 square at a pitch of 0.6 with their tops
// raised by 0.025 towards +z. Tile (column, row) carries the texture cell
// [column / columns, (column + 1) / columns] x [row / rows, (row + 1) / rows], so the wall maps
// the bound texture once. Nothing is enabled, disabled or bound here: texturing, polygon mode
// and colour are the caller's.
#pragma once

// Draws columns x rows tiles; nothing when either is 0 or less.
void drawTileWall(int columns, int rows);
// One tile with its base's lower-left corner at (x, y, z): a topWidth x topHeight top face at
// z + depth / 2, centred over the baseWidth x baseHeight base, joined to it by four slopes (the
// base itself is not drawn). Column and row numbers count from 1 and pick the texture cell of a
// columns x rows grid.
void drawBevelTile(float topWidth, float baseWidth, float topHeight, float baseHeight, float depth,
                   float x, float y, float z, int columnNumber, int rowNumber, int columns,
                   int rows);
