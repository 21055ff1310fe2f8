#pragma once

#include "tools/resgen/canvas.h"
#include "tools/resgen/manifest.h"
#include "tools/resgen/text.h"

#include <string>

namespace resgen {

// A skin button in one of its four states, without text: the pages draw its caption over it
// in the current language.
CCanvas DrawButton(const CManifest::Button& button, bool on, bool down, CText& text);

// Any other skin picture (backgrounds, fader, knob, lamp, playback buttons), by name.
CCanvas DrawSkinPicture(const CManifest::Picture& picture, CText& text);

// A page background, by name.
CCanvas DrawBackground(const std::string& name, int width, int height, CText& text);

// A glyph page picture: frame pieces and icons of page "display", unit and language pictures.
CCanvas DrawGlyph(const CManifest::Picture& picture, CText& text);

// The unlit lamp the backgrounds carry under the lamp widget, and its lit forms.
void DrawLamp(CCanvas& canvas, int x, int y, int size, const Rgba* lit);

}  // namespace resgen
