// The four page backgrounds. Widgets with their own surface copy the background under them,
// so every background covers the whole page; the wells, slots, scales and headings around the
// widgets are drawn here.
#include "tools/resgen/art.h"
#include "tools/resgen/layout.h"
#include "tools/resgen/palette.h"

#include <cmath>
#include <stdexcept>

namespace resgen {

namespace pal = palette;
using layout::Box;

namespace {

CText::Style HeadingStyle(int size = 9)
{
    CText::Style s;
    s.size = size;
    s.bold = true;
    s.tracking = 1.4f;
    return s;
}

void Heading(CCanvas& c, CText& text, const std::string& label, float x, float cy,
             const Rgba& colour = pal::kTextDim, int size = 9)
{
    text.DrawLeft(c, label, HeadingStyle(size), x, cy, colour);
}

void HeadingCentred(CCanvas& c, CText& text, const std::string& label, float cx, float cy,
                    const Rgba& colour = pal::kTextDim, int size = 9)
{
    text.DrawCentred(c, label, HeadingStyle(size), cx, cy, colour);
}

// A recessed area behind a group of widgets.
void Well(CCanvas& c, const Box& b, float radius = 6.0f)
{
    const Shape outer = RoundRect(b.x - 2.0f, b.y - 2.0f, b.w + 4.0f, b.h + 4.0f, radius);
    c.Fill(Outline(outer, 1.0f), Rgba(1, 1, 1, 0.05f));
    c.Fill(outer, pal::kWell);
    // Inner shadow along the top edge.
    c.Fill(Subtract(outer, RoundRect(b.x - 2.0f, b.y + 1.0f, b.w + 4.0f, b.h + 1.0f, radius)),
           Rgba(0, 0, 0, 0.6f));
}

// A raised panel grouping controls.
void Panel(CCanvas& c, const Box& b, float radius = 8.0f)
{
    const Shape shape = RoundRect(static_cast<float>(b.x), static_cast<float>(b.y),
                                  static_cast<float>(b.w), static_cast<float>(b.h), radius);
    c.Fill(shape, VerticalGradient(b.y, pal::kPanelTop, b.Bottom(), pal::kPanel));
    c.Fill(Outline(Inset(shape, 0.5f), 1.0f), pal::kPanelEdge.WithAlpha(0.7f));
}

void Rule(CCanvas& c, float x0, float y, float x1, const Rgba& colour = pal::kRule)
{
    c.Fill(Capsule(x0, y, x1, y, 0.5f), colour);
}

// Ground, header bar, wordmark, page title and the dark lamp with its legend. An empty title
// leaves the title and the legend to the page, which draws them in the current language.
void Frame(CCanvas& c, CText& text, const std::string& title)
{
    c.Clear(pal::kPage);
    // A faint vignette keeps the large ground from looking flat.
    c.Fill(RoundRect(0, 0, layout::kWidth, layout::kHeight, 0),
           RadialGradient(layout::kWidth / 2.0f, layout::kHeight * 0.45f, layout::kHeight * 0.75f,
                          Rgba(1, 1, 1, 0.025f), Rgba(0, 0, 0, 0.18f)));
    c.FillRect(0, 0, layout::kWidth, layout::kHeaderBottom - 2,
               Rgba::Bytes(22, 25, 29));
    c.Fill(RoundRect(0, 0, layout::kWidth, layout::kHeaderBottom - 2, 0),
           VerticalGradient(0, Rgba(1, 1, 1, 0.035f), layout::kHeaderBottom, Rgba(0, 0, 0, 0.0f)));
    c.FillRect(0, layout::kHeaderBottom - 2, layout::kWidth, 1, pal::kPanelEdge);
    c.FillRect(0, layout::kHeaderBottom - 1, layout::kWidth, 1, Rgba(0, 0, 0, 0.8f));
    Heading(c, text, "TANZO PROGRAMMER", 8, 12, pal::kTextFaint, 8);
    DrawLamp(c, layout::kLamp.x, layout::kLamp.y, layout::kLamp.w, nullptr);
    if (title.empty()) {
        return;
    }
    CText::Style big;
    big.size = 17;
    big.bold = true;
    big.tracking = 2.5f;
    text.DrawLeft(c, title, big, layout::kTitleX, 49, pal::kTextDim);
    HeadingCentred(c, text, "LINK", layout::kLamp.x + layout::kLamp.w / 2.0f, 68.5f, pal::kTextDim, 7);
}

void Playback(CCanvas& c, CText& text)
{
    // The page draws its title, the lamp's legend and the heading of the mode keys itself, in
    // the current language.
    Frame(c, text, "");
    // The mode keys share one heading, in the gap between the two rules.
    const float x0 = layout::kModeX[0], x1 = layout::kModeX[4] + 72.0f;
    const float headingHalf = layout::kModeHeadingHalf;
    Rule(c, x0 + 2, 13, (x0 + x1) / 2 - headingHalf, pal::kRule);
    Rule(c, (x0 + x1) / 2 + headingHalf, 13, x1 - 2, pal::kRule);
    Well(c, layout::kPlaybackGrid, 5);

    for (int i = 0; i < 8; ++i) {
        const Box knob = layout::Knob(i);
        const Box strip{knob.x + 2, 675, layout::kStripPitch - 4, layout::kHeight - 675 - 4};
        Panel(c, strip, 7);
        CText::Style number = HeadingStyle(9);
        text.DrawLeft(c, std::to_string(i + 1), number, strip.x + 6.0f, 688, pal::kTextFaint);
        // Fader slot and scale, centred on the cap.
        const Box fader = layout::Fader(i);
        const float cx = fader.x + fader.w / 2.0f;
        const float full = fader.y + layout::kCapTopFull + layout::kCapValueLine;
        const float zero = fader.y + layout::kCapTopZero + layout::kCapValueLine;
        for (int t = 0; t <= 10; ++t) {
            const float y = zero - (zero - full) * t / 10.0f;
            const bool major = t % 5 == 0;
            const float len = major ? 9.0f : 5.0f;
            const Rgba colour = major ? pal::kTextDim : pal::kTextFaint;
            Rule(c, cx - 12 - len, y, cx - 12, colour);
            Rule(c, cx + 12, y, cx + 12 + len, colour);
        }
        const Shape slot = RoundRect(cx - 3, full - 8, 6, zero - full + 16, 3);
        c.Fill(Outline(slot, 2.0f), Rgba(1, 1, 1, 0.05f));
        c.Fill(slot, pal::kWell);
    }
}

void Patch(CCanvas& c, CText& text)
{
    // The page draws its title, the lamp's legend, the hint, the headings and the words of the
    // tile legend itself, in the current language; the option letters and the tile's sample stay.
    Frame(c, text, "");
    Well(c, layout::kPatchTiles, 5);

    // The selection's commands, left.
    Panel(c, Box{9, 836, 240, 140});
    // The fixture options, centre.
    const int ox0 = layout::kOptionX[0], ox1 = layout::kOptionX[3] + 60;
    Panel(c, Box{ox0 - 10, 906, ox1 - ox0 + 20, 100});

    // Legend of a tile, right.
    const Box legend{652, 836, 107, 170};
    Panel(c, legend);
    const Box tile{legend.x + 9, 862, legend.w - 18, 66};
    c.Fill(Outline(RoundRect(tile.x + 0.5f, tile.y + 0.5f, tile.w - 1.0f, tile.h - 1.0f, 5), 1.0f),
           pal::kTextFaint);
    CText::Style small;
    small.size = 9;
    text.DrawLeft(c, "PTSD", small, tile.x + 6.0f, tile.y + 57.0f, pal::kTextDim);
    text.DrawLeft(c, "001", small, tile.x + tile.w - 25.0f, tile.y + 57.0f, pal::kTextDim);
    const char* letters[] = {"P", "T", "S", "D"};
    for (int k = 0; k < 4; ++k) {
        text.DrawLeft(c, letters[k], small, legend.x + 9.0f, 944.0f + k * 15, pal::kTextDim);
    }
}

void Edit(CCanvas& c, CText& text)
{
    // The page draws its title, the lamp's legend, the hint and the headings itself, and the
    // faders their captions, in the current language; below the colour faders only their colours.
    Frame(c, text, "");
    Well(c, layout::kCueGrid, 5);
    Well(c, layout::kEditTiles, 5);

    // The cue and programmer columns.
    const int bx = layout::kCueButtonX;
    Panel(c, Box{bx - 4, 82, 108, 370});
    Rule(c, bx + 6, 224, bx + 94);
    Panel(c, Box{bx - 4, 600, 108, 173});

    // The programmer's controls: pad, soft faders and their legends.
    Panel(c, Box{4, 784, layout::kWidth - 8, layout::kHeight - 784 - 3});
    Well(c, layout::kPad, 4);
    const std::vector<Box> faders = layout::Share(layout::kFaderBand, 17, 1, true);
    const Rgba swatch[5] = {Rgba::Bytes(255, 60, 50), Rgba::Bytes(60, 220, 90), Rgba::Bytes(70, 120, 255),
                            Rgba::Bytes(255, 150, 20), Rgba::Bytes(240, 240, 240)};
    for (int i = 0; i < 17; ++i) {
        const Box& f = faders[i];
        Well(c, f, 3);
        if (i < 5)
            c.Fill(Circle(f.x + f.w / 2.0f, 1002, 3.0f), swatch[i]);
    }
}

void Settings(CCanvas& c, CText& text)
{
    // The page draws its title, the lamp's legend and the headings of the lists and the button
    // groups itself, in the current language.
    Frame(c, text, "");

    const Box& dev = layout::kDeviceList;
    Well(c, dev, 5);
    for (int i = 1; i < 6; ++i) {
        const float x = dev.x + layout::kDeviceColumns[i] + 0.5f;
        c.Fill(Capsule(x, dev.y + 4.0f, x, dev.Bottom() - 4.0f, 0.5f), Rgba(1, 1, 1, 0.04f));
    }

    Well(c, layout::kLanguageList, 5);
    const Box& files = layout::kFileList;
    Well(c, files, 5);
    for (int i = 1; i < 3; ++i) {
        const float x = files.x + layout::kFileColumns[i] + 0.5f;
        c.Fill(Capsule(x, files.y + 4.0f, x, files.Bottom() - 4.0f, 0.5f), Rgba(1, 1, 1, 0.04f));
    }

    const int bx = layout::kSideButtonX;
    Panel(c, Box{bx - 4, 82, 108, 218});
    Panel(c, Box{bx - 4, 558, 108, 267});

    // Wordmark above the version label.
    CText::Style mark;
    mark.size = 20;
    mark.bold = true;
    mark.tracking = 3.0f;
    text.DrawCentred(c, "TANZO", mark, bx + 52.0f, 930, pal::kTextFaint);
    CText::Style sub = HeadingStyle(8);
    sub.tracking = 2.0f;
    text.DrawCentred(c, "PROGRAMMER", sub, bx + 52.0f, 952, pal::kTextFaint);
}

}  // namespace

CCanvas DrawBackground(const std::string& name, int width, int height, CText& text)
{
    if (width != layout::kWidth || height != layout::kHeight) {
        throw std::runtime_error("a background must be the window's size: " + name);
    }
    CCanvas c(width, height);
    if (name == "background_playback") {
        Playback(c, text);
    } else if (name == "background_patch") {
        Patch(c, text);
    } else if (name == "background_edit") {
        Edit(c, text);
    } else if (name == "background_settings") {
        Settings(c, text);
    } else {
        throw std::runtime_error("no drawing for background " + name);
    }
    return c;
}

}  // namespace resgen
