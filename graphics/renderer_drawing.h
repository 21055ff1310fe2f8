#pragma once

#include "foundation/point.h"
#include "foundation/rect.h"

#include <SDL.h>

// Drawing straight onto the window's renderer, past the canvas: the root of the area tree draws
// what its areas hand up. Nothing is drawn while the application has no renderer.

// Copies the whole texture at its own size with its top-left corner at the point.
void DrawTexture(const CPoint& point, SDL_Texture* texture);
// Copies the source part of the texture to the destination rectangle.
void DrawTextureRect(const CRect& destination, const CRect& source, SDL_Texture* texture);
