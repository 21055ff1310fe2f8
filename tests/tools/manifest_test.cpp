#include "tools/resgen/manifest.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using resgen::CManifest;

namespace {

std::string ErrorOf(const std::string& text)
{
    try {
        CManifest::Parse(text);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(Manifest, ExpandsButtonsIntoFourStatesAndLanguagesIntoPictures)
{
    const CManifest m = CManifest::Parse(
        "# comment\n"
        "\n"
        "skin cap 76 60\n"
        "button button_swap 72 48 mode SWAP|PAN/TILT\n"
        "glyph display up 64 64\n"
        "language deutsch DE Deutsch\n"
        "clip hw_down\n"
        "font arial.ttf\n"
        "hints\n"
        "phrase Are you sure?\n"
        "caption Edit String\n");

    ASSERT_EQ(m.GetButtons().size(), 1u);
    EXPECT_EQ(m.GetButtons()[0].label, (std::vector<std::string>{"SWAP", "PAN/TILT"}));
    EXPECT_EQ(m.GetPhrases(), (std::vector<std::string>{"Are you sure?", "Edit String"}));
    EXPECT_EQ(m.GetCaptions(), (std::vector<std::string>{"Edit String"}));

    std::vector<std::string> paths;
    for (const CManifest::Expected& e : m.ExpectedFiles()) {
        paths.push_back(e.path);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "Resources/skin/cap.png",
                         "Resources/glyphs/display/up.png",
                         "Resources/skin/button_swap_off_up.png",
                         "Resources/skin/button_swap_off_down.png",
                         "Resources/skin/button_swap_on_up.png",
                         "Resources/skin/button_swap_on_down.png",
                         "Resources/glyphs/language/deutsch.png",
                         "bin/audio/hw_down.wav",
                         "Resources/fonts/arial.ttf",
                         "Resources/languages/deutsch.xml",
                         "Resources/explanations/explanations.xml",
                     }));
    EXPECT_EQ(m.ExpectedFiles()[2].width, 72);
    EXPECT_EQ(m.ExpectedFiles()[2].height, 48);
}

TEST(Manifest, RefusesNamesTheLoadersWouldReadDifferently)
{
    // A "-" starts a size suffix for the skin loader, so fader-track would become "fader".
    EXPECT_NE(ErrorOf("skin fader-track 12 200\n").find("line 1"), std::string::npos);
    // Upper case would only be found on a case-insensitive file system.
    EXPECT_NE(ErrorOf("\nglyph display Up 64 64\n").find("line 2"), std::string::npos);
    EXPECT_NE(ErrorOf("language pt-br PT Português\n"), "");
    EXPECT_NE(ErrorOf("glyph Display up 64 64\n"), "");
}

TEST(Manifest, RefusesIncompleteOrUnknownLines)
{
    EXPECT_NE(ErrorOf("skin cap 76\n").find("bad size"), std::string::npos);
    EXPECT_NE(ErrorOf("skin cap 0 60\n"), "");
    EXPECT_NE(ErrorOf("skin cap 76x 60\n"), "");
    EXPECT_NE(ErrorOf("skin cap 6000 60\n"), "");
    EXPECT_NE(ErrorOf("button button_x 10 10 mode\n"), "");
    EXPECT_NE(ErrorOf("language english EN\n"), "");
    EXPECT_NE(ErrorOf("phrase\n"), "");
    EXPECT_NE(ErrorOf("sound hw_down\n").find("unknown entry"), std::string::npos);
}
