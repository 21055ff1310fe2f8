#pragma once

// A personality library for the patch page and its dialog: "Acme" ("Dimmer"), "Brightline" ("Par
// 64", 1 channel; "Spot 250" with modes "Basic", 3, and "Extended", 16), "Dazzle" ("Scanner", 4),
// then "Generic 01" to "Generic 30" ("Wash", 8), more than the dialog shows. Initials a, b, d, g.
#include "model/personality_manager.h"
#include "tests/support/test_folder.h"

#include <fstream>
#include <string>

namespace patch_library
{
inline void Load(CPersonalityManager& library)
{
    const std::string path = (FreshTestFolder("library") / "personalities.xml").string();
    std::ofstream out(path);
    out << "<personalities>"
           "<manufacturer label=\"Acme\"><model label=\"Dimmer\">15</model></manufacturer>"
           "<manufacturer label=\"Brightline\"><model label=\"Par 64\">01</model>"
           "<model label=\"Spot 250\">010203<mode label=\"Basic\">010203</mode>"
           "<mode label=\"Extended\">01022203230405060708090A0B0C0D0E</mode></model></manufacturer>"
           "<manufacturer label=\"Dazzle\"><model label=\"Scanner\">02030910</model></manufacturer>";
    for (int i = 1; i <= 30; ++i)
        out << "<manufacturer label=\"Generic " << (i < 10 ? "0" : "") << i
            << "\"><model label=\"Wash\">0102030405060708</model></manufacturer>";
    out << "</personalities>";
    out.close();
    library.LoadFile(path, false);
}
}  // namespace patch_library
