#pragma once

#include "tools/resgen/canvas.h"
#include "tools/resgen/manifest.h"
#include "tools/resgen/text.h"

#include <map>
#include <string>

namespace resgen {

// Contact sheets of every picture and mock-ups of the four pages and of two dialogs, built
// from the drawn pictures the way the widgets place them, to judge the art as a whole.
void WritePreviews(const CManifest& manifest, const std::map<std::string, CCanvas>& drawn,
                   CText& text, const std::string& folder);

}  // namespace resgen
