// Tile wall: a grid of bevelled tiles that together show one picture.
#pragma once

void drawTileWall(int columns, int rows);
void drawBevelTile(float topWidth, float baseWidth, float topHeight, float baseHeight, float depth,
                   float x, float y, float z, int columnNumber, int rowNumber, int columns,
                   int rows);
