#pragma once

#include "tools/resgen/canvas.h"

#include <string>

namespace resgen {

// Writes 8-bit RGBA (colour type 6), creating the folder; throws when it cannot.
void SavePng(const CCanvas& canvas, const std::string& path);

}  // namespace resgen
