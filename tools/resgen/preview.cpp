// Mock-ups for judging the art: the pictures placed as the widgets place them, with frames
// built from the glyph pieces the way the frame builder builds them. Not shipped.
#include "tools/resgen/preview.h"
#include "tools/resgen/layout.h"
#include "tools/resgen/palette.h"
#include "tools/resgen/png.h"

#include <cmath>
#include <stdexcept>

namespace resgen {

namespace {

using layout::Box;
namespace pal = palette;

const Rgba kWidgetColour = Rgba::Bytes(208, 208, 208);  // the areas' default main colour
const Rgba kWidgetText = Rgba::Bytes(166, 166, 166);    // and text colour
const Rgba kButtonText = Rgba::Bytes(226, 229, 234);    // skin button captions

class CPreview
{
public:
    CPreview(const CManifest& manifest, const std::map<std::string, CCanvas>& drawn, CText& text)
        : m_manifest(manifest), m_drawn(drawn), m_text(text)
    {
    }

    const CCanvas& Get(const std::string& key) const
    {
        auto it = m_drawn.find(key);
        if (it == m_drawn.end()) {
            throw std::runtime_error("preview needs " + key);
        }
        return it->second;
    }

    // Pixels replaced, alpha included (how frame pieces are copied).
    static void Copy(CCanvas& target, const CCanvas& piece, int x, int y)
    {
        for (int j = 0; j < piece.GetHeight(); ++j) {
            for (int i = 0; i < piece.GetWidth(); ++i) {
                target.SetPixel(x + i, y + j, piece.GetPixel(i, j));
            }
        }
    }

    static void Tint(CCanvas& c, const Rgba& colour)
    {
        for (int y = 0; y < c.GetHeight(); ++y) {
            for (int x = 0; x < c.GetWidth(); ++x) {
                const Rgba p = c.GetPixel(x, y);
                c.SetPixel(x, y, colour.WithAlpha(p.a));
            }
        }
    }

    // The glyph manager's button / fill frame: body alpha, corners, then the four runs.
    CCanvas Frame(const std::string& state, int w, int h) const
    {
        float body = 0;
        if (state == "on_up") {
            body = 165 / 255.0f;
        } else if (state == "on_down" || state == "fill_down") {
            body = 1;
        } else if (state == "fill_up") {
            body = 153 / 255.0f;
        }
        CCanvas f(w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                f.SetPixel(x, y, Rgba(0, 0, 0, body));
            }
        }
        const CCanvas& corner = Get("glyphs/display/corner_" + state);
        const CCanvas& side = Get("glyphs/display/side_" + state);
        const int cw = corner.GetWidth(), ch = corner.GetHeight();
        Copy(f, corner, 0, 0);
        Copy(f, corner.RotateQuarter(1), w - cw, 0);
        Copy(f, corner.RotateQuarter(2), w - cw, h - ch);
        Copy(f, corner.RotateQuarter(3), 0, h - ch);
        for (int x = ch; x <= w - cw - 1; ++x) {
            Copy(f, side, x, 0);
        }
        const CCanvas s1 = side.RotateQuarter(1), s2 = side.RotateQuarter(2), s3 = side.RotateQuarter(3);
        for (int y = cw; y <= h - ch - 1; ++y) {
            Copy(f, s1, w - cw, y);
            Copy(f, s3, 0, y);
        }
        for (int x = ch; x <= w - cw - 1; ++x) {
            Copy(f, s2, x, h - ch);
        }
        return f;
    }

    CCanvas Tinted(const std::string& state, int w, int h, const Rgba& colour) const
    {
        CCanvas f = Frame(state, w, h);
        Tint(f, colour);
        return f;
    }

    CCanvas CaptionFrame(int w, int h) const
    {
        CCanvas f(w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                f.SetPixel(x, y, Rgba(0, 0, 0, 153 / 255.0f));
            }
        }
        const CCanvas& corner = Get("glyphs/display/corner_caption");
        Copy(f, corner, 0, 0);
        Copy(f, corner.RotateQuarter(1), w - corner.GetWidth(), 0);
        return f;
    }

    // Bilinear resample to a size.
    static CCanvas Scale(const CCanvas& src, int w, int h)
    {
        CCanvas out(w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const float sx = (x + 0.5f) * src.GetWidth() / w - 0.5f;
                const float sy = (y + 0.5f) * src.GetHeight() / h - 0.5f;
                const int x0 = std::max(0, std::min(src.GetWidth() - 1, static_cast<int>(std::floor(sx))));
                const int y0 = std::max(0, std::min(src.GetHeight() - 1, static_cast<int>(std::floor(sy))));
                const int x1 = std::min(src.GetWidth() - 1, x0 + 1), y1 = std::min(src.GetHeight() - 1, y0 + 1);
                const float fx = std::max(0.0f, std::min(1.0f, sx - x0)), fy = std::max(0.0f, std::min(1.0f, sy - y0));
                Rgba acc(0, 0, 0, 0);
                float a = 0;
                const int xs[2] = {x0, x1}, ys[2] = {y0, y1};
                const float wx[2] = {1 - fx, fx}, wy[2] = {1 - fy, fy};
                for (int j = 0; j < 2; ++j) {
                    for (int i = 0; i < 2; ++i) {
                        const Rgba p = src.GetPixel(xs[i], ys[j]);
                        const float k = wx[i] * wy[j] * p.a;
                        acc.r += p.r * k;
                        acc.g += p.g * k;
                        acc.b += p.b * k;
                        a += wx[i] * wy[j] * p.a;
                    }
                }
                if (a > 0) {
                    out.SetPixel(x, y, Rgba(acc.r / a, acc.g / a, acc.b / a, a));
                }
            }
        }
        return out;
    }

    static CCanvas Rotate(const CCanvas& src, float degrees)
    {
        CCanvas out(src.GetWidth(), src.GetHeight());
        const float a = degrees * 3.14159265f / 180.0f, ca = std::cos(a), sa = std::sin(a);
        const float cx = src.GetWidth() / 2.0f, cy = src.GetHeight() / 2.0f;
        for (int y = 0; y < out.GetHeight(); ++y) {
            for (int x = 0; x < out.GetWidth(); ++x) {
                const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                const int sx = static_cast<int>(std::floor(cx + dx * ca + dy * sa));
                const int sy = static_cast<int>(std::floor(cy - dx * sa + dy * ca));
                if (sx >= 0 && sy >= 0 && sx < src.GetWidth() && sy < src.GetHeight()) {
                    out.SetPixel(x, y, src.GetPixel(sx, sy));
                }
            }
        }
        return out;
    }

    void Label(CCanvas& c, const std::string& s, int size, float cx, float cy, const Rgba& colour,
               bool left = false) const
    {
        CText::Style st;
        st.size = size;
        if (left) {
            m_text.DrawLeft(c, s, st, cx, cy, colour);
        } else {
            m_text.DrawCentred(c, s, st, cx, cy, colour);
        }
    }

    // The lamp repaints its own square from the page's picture, then the lit lens.
    void Lamp(CCanvas& page, const std::string& background, const std::string& led) const
    {
        const Box& l = layout::kLamp;
        CCanvas area = Get("skin/" + background).Crop(l.x, l.y, l.w, l.h);
        area.Draw(Get("skin/" + led), 0, 0);
        for (int y = 0; y < l.h; ++y) {
            for (int x = 0; x < l.w; ++x) {
                page.SetPixel(l.x + x, l.y + y, area.GetPixel(x, y));
            }
        }
    }

    // The pictures carry no text: the pages draw the caption centred over them, as here.
    void Button(CCanvas& page, const std::string& name, int x, int y, const char* state) const
    {
        const CCanvas& picture = Get("skin/" + name + state);
        page.Draw(picture, x, y);
        for (const CManifest::Button& b : m_manifest.GetButtons()) {
            if (b.name != name) {
                continue;
            }
            const bool down = std::string(state).find("down") != std::string::npos;
            const bool flashDown = b.style == "flash" && down;
            CText::Style style;
            style.size = b.label.size() > 1 ? 10 : 12;
            m_text.DrawLines(page, b.label, style, x + picture.GetWidth() / 2.0f,
                             y + picture.GetHeight() / 2.0f + (down ? 1 : 0), 4,
                             flashDown ? Rgba::Bytes(40, 30, 12) : kButtonText);
        }
    }

    // A drawn (soft) button: tinted frame, caption or icon.
    void SoftButton(CCanvas& page, const Box& b, const std::string& caption, const std::string& icon,
                    const Rgba& colour, bool on = false, bool down = false) const
    {
        const std::string state = std::string(on ? "on" : "off") + (down ? "_down" : "_up");
        page.Draw(Tinted(state, b.w, b.h, colour), b.x, b.y);
        if (!caption.empty()) {
            Label(page, caption, 14, b.x + b.w / 2.0f, b.y + b.h / 2.0f,
                  on ? Rgba::Bytes(48, 48, 48) : kWidgetText);
        }
        if (!icon.empty()) {
            const CCanvas& glyph = Get("glyphs/display/" + icon);
            const int side = std::max(1, std::min(b.w, b.h) - 16);
            page.Draw(Scale(glyph, side, side), b.x + (b.w - side) / 2, b.y + (b.h - side) / 2);
        }
    }

    CCanvas Playback() const
    {
        CCanvas page = Get("skin/background_playback");
        Button(page, "button_patch", layout::kPatch.x, layout::kPatch.y, "_off_up");
        Button(page, "button_options", layout::kOptions.x, layout::kOptions.y, "_off_up");
        const char* modes[5] = {"button_edit", "button_release", "button_rename", "button_swap", "button_props"};
        for (int i = 0; i < 5; ++i) {
            Button(page, modes[i], layout::kModeX[i], 25, i == 2 ? "_on_up" : (i == 3 ? "_off_down" : "_off_up"));
        }
        Lamp(page, "background_playback", "led_green");
        // The texts the page draws over its background in the current language.
        Label(page, "PLAYBACK", 18, layout::kTitleX, 49, pal::kTextDim, true);
        Label(page, "LINK", 8, layout::kLamp.x + layout::kLamp.w / 2.0f, 68.5f, pal::kTextDim);
        Label(page, "CLICK MODE", 9, (layout::kModeX[0] + layout::kModeX[4] + 72) / 2.0f, 13, pal::kTextFaint);

        const std::vector<Box> cells = layout::Rows(layout::kPlaybackGrid);
        const char* statuses[8] = {"", "released", "playing", "paused", "releasing", "indicated", "degroup", "stack"};
        const char* labels[8] = {"Intro", "Warm wash", "", "Chase", "Blue", "Strobe", "", "Finale"};
        for (int i = 0; i < 64; ++i) {
            const Box& b = cells[i];
            CCanvas cell = Get("skin/background_playback").Crop(b.x, b.y, b.w, b.h);
            const bool down = i == 19;
            cell.Draw(Get(down ? "skin/playback_down" : "skin/playback_up"), 0, 0);
            const int status = i < 16 ? i % 8 : (i % 5 == 0 ? 2 : 1);
            if (status > 0) {
                const CCanvas& overlay = Get(std::string("skin/playback_") + statuses[status]);
                const CCanvas& ref = Get("skin/playback_released");
                cell.Draw(overlay, b.w / 2 - ref.GetWidth() / 2, b.h / 2 - ref.GetHeight() / 2);
            }
            // The two level bars: a wedge of segments, in the button colour scaled by 0.6.
            const Rgba barColour = kWidgetColour.Scaled(status == 0 ? 0.4f : 0.6f);
            const float level = (i * 37 % 11) / 10.0f;
            const int barH = b.h - 24, step = barH / 11, margin = (barH % 11) / 2, seg = std::max(1, barH / 20);
            for (int s = 0; s <= 10; ++s) {
                if (s > 0 && s / 10.0f > level + 0.001f) {
                    break;
                }
                const int y = 12 + margin + (10 - s) * step;
                const int w = s == 0 ? 13 - 1 - 10 : 13 - 10 + s - 1;
                cell.FillRect(9 + 1, y, w - 1, seg, Rgba::Bytes(10, 10, 10));
                cell.FillRect(9, y, w - 1, seg - 1 > 0 ? seg - 1 : 1, barColour);
            }
            const int mid = 12 + margin + 5 * step;
            cell.FillRect(b.w - 16 + 6, mid, 8 - 6, seg, barColour);
            const int lineH = (b.h - 20) / 3;
            std::string first = labels[i % 8];
            if (first.empty()) {
                first = std::to_string(i + 1);
            }
            const Rgba ink = status == 5 ? Rgba(0, 0, 0, 0) : kWidgetText;
            Label(cell, first, 11, b.w / 2.0f, 10 + lineH / 2.0f, ink);
            if (i % 3 == 0) {
                Label(cell, "Cue " + std::to_string(i % 4 + 1), 11, b.w / 2.0f, 10 + lineH * 1.5f, ink);
            }
            if (status != 6) {
                Label(cell, std::to_string(i % 4 + 1) + " / " + std::to_string(i % 4 + 3), 11, b.w / 2.0f,
                      10 + lineH * 2.5f, ink);
            }
            if (i >= 8 && i < 16) {
                cell.FillRect(0, 0, b.w, b.h, Rgba(0, 0, 1, 96 / 255.0f));
            }
            page.Draw(cell, b.x, b.y);
        }
        for (int i = 0; i < 8; ++i) {
            const Box knob = layout::Knob(i);
            CCanvas k = Get("skin/rotary_knob").Crop(0, 0, knob.w, knob.h);
            const float value = (i - 3.5f) / 3.5f;
            const CCanvas indents = Rotate(Get("skin/rotary_indents"), value * 120.0f);
            k.Draw(indents, 5, 5);
            page.Draw(k, knob.x, knob.y);
            const Box fader = layout::Fader(i);
            const float v = i / 7.0f;
            const int capTop = layout::kCapTopZero - static_cast<int>((layout::kCapTopZero - layout::kCapTopFull) * v);
            CCanvas f(fader.w, fader.h);
            f.Draw(Get("skin/cap"), 0, capTop);
            page.Draw(f, fader.x, fader.y);
            const Box flash = layout::Flash(i);
            Button(page, "button_flash", flash.x, flash.y, i == 4 ? "_off_down" : "_off_up");
        }
        return page;
    }

    CCanvas Patch() const
    {
        CCanvas page = Get("skin/background_patch");
        Button(page, "button_patch", layout::kPatch.x, layout::kPatch.y, "_on_up");
        Button(page, "button_options", layout::kOptions.x, layout::kOptions.y, "_off_up");
        Lamp(page, "background_patch", "led_red");
        // The texts the page draws over its background in the current language.
        Label(page, "PATCH", 18, layout::kTitleX, 49, pal::kTextDim, true);
        Label(page, "LINK", 8, layout::kLamp.x + layout::kLamp.w / 2.0f, 68.5f, pal::kTextDim);
        Label(page, "Drag across the tiles to select fixtures.", 11, 382, 49, pal::kTextFaint, true);
        Label(page, "FIXTURE OPTIONS", 8, (layout::kOptionX[0] + layout::kOptionX[3] + 60) / 2.0f, 921, pal::kTextDim);
        Label(page, "TILE", 8, 705.5f, 850, pal::kTextDim);
        const char* rows[] = {"Name", "Manufacturer", "Model", "Mode"};
        const char* meanings[] = {"Invert Pan", "Invert Tilt", "Swap Pan/Tilt", "Virtual Dimmer"};
        for (int i = 0; i < 4; ++i) {
            Label(page, rows[i], 9, 667, 871.0f + i * 12, pal::kTextDim, true);
            Label(page, meanings[i], 9, 673, 944.0f + i * 15, pal::kTextDim, true);
        }
        const std::vector<Box> tiles = layout::Rows(layout::kPatchTiles);
        for (int i = 0; i < 64; ++i) {
            const Box& b = tiles[i];
            const bool selected = i >= 9 && i <= 11;
            CCanvas t = Frame(selected ? "off_down" : "off_up", b.w, b.h);
            if (i < 20) {
                const int rowH = (b.h - 12) / 5;
                const Rgba ink = kWidgetText;
                CText::Style st;
                Label(t, i < 12 ? "Spot" + std::to_string(i + 1) : "Wash" + std::to_string(i - 11), 9,
                      b.w / 2.0f, 6 + rowH * 0.5f, ink);
                Label(t, i < 12 ? "Generic" : "LedCo", 9, 6, 6 + rowH * 1.5f, ink, true);
                Label(t, i < 12 ? "Spot 250" : "Par RGBW", 9, 6, 6 + rowH * 2.5f, ink, true);
                Label(t, i < 12 ? "16 bit" : "8 ch", 9, 6, 6 + rowH * 3.5f, ink, true);
                Label(t, i % 3 == 0 ? "P--D" : "----", 9, 6, 6 + rowH * 4.5f, ink, true);
                CText::Style big;
                big.size = 11;
                const std::string addr = std::to_string(1 + i * 16);
                const int adv = m_text.Measure(addr, big).advance;
                m_text.DrawLeft(t, addr, big, b.w - 6.0f - adv, 6 + rowH * 4.5f,
                                i == 14 ? Rgba::Bytes(255, 0, 0) : ink);
            }
            page.Draw(t, b.x, b.y);
        }
        Button(page, "button_patch_personality", layout::kPersonality.x, layout::kPersonality.y, "_on_up");
        Button(page, "button_patch_rename", layout::kPatchRename.x, layout::kPatchRename.y, "_on_down");
        Button(page, "button_patch_address", layout::kPatchAddress.x, layout::kPatchAddress.y, "_on_up");
        Button(page, "button_clear", layout::kClear.x, layout::kClear.y, "_on_up");
        const char* options[4] = {"button_invert_pan", "button_invert_tilt", "button_swap_pan_tilt", "button_virtual_dimmer"};
        for (int i = 0; i < 4; ++i) {
            Button(page, options[i], layout::kOptionX[i], layout::kOptionY, i == 1 ? "_off_up" : "_on_up");
        }
        return page;
    }

    CCanvas Edit() const
    {
        CCanvas page = Get("skin/background_edit");
        Button(page, "button_back", layout::kBack.x, layout::kBack.y, "_on_up");
        Lamp(page, "background_edit", "led_green");
        // The texts the page draws over its background in the current language.
        Label(page, "EDIT", 18, layout::kTitleX, 49, pal::kTextDim, true);
        Label(page, "LINK", 8, layout::kLamp.x + layout::kLamp.w / 2.0f, 68.5f, pal::kTextDim);
        Label(page, "Select fixtures, set a look, record it into cues.", 11, 387, 49, pal::kTextFaint, true);
        Label(page, "CUES", 9, 12, 92, pal::kTextDim, true);
        Label(page, "FIXTURES", 9, 12, 240, pal::kTextDim, true);
        Label(page, "CUE", 8, layout::kCueButtonX + 50.0f, 91, pal::kTextDim);
        Label(page, "SELECTED", 7, layout::kCueButtonX + 50.0f, 236, pal::kTextFaint);
        Label(page, "PROGRAMMER", 8, layout::kCueButtonX + 50.0f, 609, pal::kTextDim);
        const char* cue[9] = {"button_cue_add", "button_cue_remove", "button_cue_rename", "button_cue_condition",
                              "button_cue_delay", "button_cue_fade", "button_programmer_load",
                              "button_programmer_record", "button_programmer_clear"};
        for (int i = 0; i < 9; ++i) {
            Button(page, cue[i], layout::kCueButtonX, layout::kCueButtonY[i], i == 6 || i == 8 ? "_off_up" : "_on_up");
        }
        for (int i = 0; i < 5; ++i) {
            const Box cell{layout::kCueGrid.x + i * 94, layout::kCueGrid.y, 94, 94};
            const bool selected = i == 1 || i == 2;
            page.Draw(Tinted(selected ? "off_down" : "off_up", cell.w - 2, cell.h, i == 0 ? pal::kRed : kWidgetColour),
                      cell.x, cell.y);
            Label(page, "Cue " + std::to_string(i + 1), 12, cell.x + 47.0f, cell.y + 20.0f, kWidgetText);
            Label(page, "0.00s", 11, cell.x + 47.0f, cell.y + 45.0f, kWidgetText);
            Label(page, i % 2 ? "Follow" : "Halt", 11, cell.x + 47.0f, cell.y + 60.0f, kWidgetText);
            Label(page, "2.50s", 11, cell.x + 47.0f, cell.y + 75.0f, kWidgetText);
        }
        const std::vector<Box> tiles = layout::Rows(layout::kEditTiles);
        for (int i = 0; i < 64; ++i) {
            const Box& b = tiles[i];
            const bool selected = i >= 2 && i <= 4;
            const Rgba colour = i == 0 || i == 1 ? Rgba::Bytes(255, 0, 0) : kWidgetColour;
            CCanvas t = Tinted(selected ? "off_down" : "off_up", b.w, b.h, colour);
            const int rowH = (b.h - 8) / 3;
            Label(t, i < 12 ? "Spot" + std::to_string(i + 1) : "-", 9, b.w / 2.0f, 4 + rowH * 0.5f, kWidgetText);
            Label(t, i < 12 ? "Generic" : "-", 9, b.w / 2.0f, 4 + rowH * 1.5f, kWidgetText);
            Label(t, i < 12 ? "Spot 250" : "-", 9, b.w / 2.0f, 4 + rowH * 2.5f, kWidgetText);
            page.Draw(t, b.x, b.y);
        }
        // Pad, soft buttons and soft faders.
        page.Draw(Tinted("off_up", layout::kPad.w, layout::kPad.h, kWidgetColour), layout::kPad.x, layout::kPad.y);
        page.Draw(Frame("off_up", 26, 22), layout::kPad.x + 70, layout::kPad.y + layout::kPad.h - 25);
        page.Draw(Frame("off_up", 26, 22), layout::kPad.x + layout::kPad.w - 29, layout::kPad.y + 70);
        const std::vector<Box> faders = layout::Share(layout::kFaderBand, 17, 1, true);
        const Box& red = faders[0];
        const Box& white = faders[4];
        const int spectrumW = white.Right() - red.x;
        const int fxW = static_cast<int>(spectrumW * 0.75f);
        SoftButton(page, Box{red.x, layout::kSoftStripY, spectrumW - 1 - fxW, 30}, "", "refresh", kWidgetColour);
        SoftButton(page, Box{red.x + spectrumW - fxW, layout::kSoftStripY, fxW, 30}, "FX", "", kWidgetColour);
        const int padFx = static_cast<int>(layout::kPad.w * 0.75f);
        SoftButton(page, Box{layout::kPad.x, layout::kSoftStripY, layout::kPad.w - 1 - padFx, 30}, "", "home", kWidgetColour);
        SoftButton(page, Box{layout::kPad.x + layout::kPad.w - padFx, layout::kSoftStripY, padFx, 30}, "FX", "", kWidgetColour, true);
        SoftButton(page, Box{faders[5].x, layout::kSoftStripY, faders[5].w, 30}, "FX", "", kWidgetColour);
        const CCanvas& graph = Get("glyphs/display/graph");
        const Rgba faderColours[5] = {Rgba::Bytes(255, 0, 0), Rgba::Bytes(0, 255, 0), Rgba::Bytes(0, 0, 255),
                                      Rgba::Bytes(255, 128, 0), Rgba::Bytes(255, 255, 255)};
        for (int i = 0; i < 17; ++i) {
            const Box& f = faders[i];
            const bool enabled = i < 9;
            page.Draw(Tinted("off_up", f.w, f.h, kWidgetColour), f.x, f.y);
            const Rgba colour = i < 5 ? faderColours[i] : kWidgetColour;
            CCanvas seg = Scale(graph, f.w - 10, graph.GetHeight());
            Tint(seg, colour);
            const int pitch = graph.GetHeight() + 1;
            const int n = (f.h - f.w) / pitch;
            const float value = enabled ? (i * 0.13f + 0.2f) - std::floor(i * 0.13f + 0.2f) : 0;
            for (int s = 0; s < n; ++s) {
                const bool lit = s < value * n;
                page.Draw(seg, f.x + 5, f.y + f.h - 8 - (s + 1) * pitch, lit ? 1.0f : 0.3f);
            }
            if (!enabled) {
                for (int y = f.y; y < f.Bottom(); ++y) {
                    for (int x = f.x + (y % 2); x < f.Right(); x += 2) {
                        page.FillRect(x, y, 1, 1, Rgba(0, 0, 0, 0.5f));
                    }
                }
            }
        }
        return page;
    }

    CCanvas Settings() const
    {
        CCanvas page = Get("skin/background_settings");
        Button(page, "button_patch", layout::kPatch.x, layout::kPatch.y, "_off_up");
        Button(page, "button_options", layout::kOptions.x, layout::kOptions.y, "_on_up");
        Lamp(page, "background_settings", "led_green");
        // The texts the page draws over its background in the current language.
        Label(page, "SETTINGS", 18, layout::kTitleX, 49, pal::kTextDim, true);
        Label(page, "LINK", 8, layout::kLamp.x + layout::kLamp.w / 2.0f, 68.5f, pal::kTextDim);
        const char* deviceTitles[6] = {"UNIT", "NAME", "FIRMWARE", "PCB", "ART-NET", "sACN"};
        for (int i = 0; i < 6; ++i) {
            Label(page, deviceTitles[i], 8, layout::kDeviceList.x + layout::kDeviceColumns[i] + 6.0f, 94,
                  pal::kTextDim, true);
        }
        Label(page, "LANGUAGE", 8, layout::kLanguageList.x + 6.0f, 570, pal::kTextDim, true);
        const char* fileTitles[3] = {"SHOW FILE", "DATE", "SIZE"};
        for (int i = 0; i < 3; ++i) {
            Label(page, fileTitles[i], 8, layout::kFileList.x + layout::kFileColumns[i] + 6.0f, 570, pal::kTextDim,
                  true);
        }
        Label(page, "UNIT", 8, layout::kSideButtonX + 50.0f, 91, pal::kTextDim);
        Label(page, "SHOW FILE", 8, layout::kSideButtonX + 50.0f, 567, pal::kTextDim);
        const char* dev[4] = {"button_device_ip", "button_device_rename", "button_device_artnet", "button_device_sacn"};
        for (int i = 0; i < 4; ++i) {
            Button(page, dev[i], layout::kSideButtonX, layout::kDeviceButtonY[i], "_on_up");
        }
        const char* files[5] = {"button_file_new", "button_file_remove", "button_file_rename", "button_file_save",
                                "button_file_open"};
        for (int i = 0; i < 5; ++i) {
            Button(page, files[i], layout::kSideButtonX, layout::kFileButtonY[i], i == 4 ? "_off_up" : "_on_up");
        }
        // Device rows: frame per cell, type picture and texts.
        const char* types[3] = {"tanzo", "murel2", "emulation"};
        const char* ips[3] = {"192.168.1.20", "192.168.1.21", "127.0.0.1"};
        const char* names[3] = {"Stage", "FOH rack", "Emulation"};
        const Box& list = layout::kDeviceList;
        for (int r = 0; r < 3; ++r) {
            const int y = list.y + r * 45;
            for (int col = 0; col < 6; ++col) {
                const int x0 = list.x + layout::kDeviceColumns[col];
                const int x1 = col < 5 ? list.x + layout::kDeviceColumns[col + 1] : list.Right();
                if (r == 0) {
                    page.Draw(Tinted("fill_up", x1 - x0, 45, kWidgetColour.Scaled(0.6f)), x0, y);
                }
                page.Draw(Tinted("off_up", x1 - x0, 45, kWidgetColour), x0, y);
            }
            page.Draw(Scale(Get(std::string("glyphs/device/") + types[r]), 41, 41), list.x + 2, y + 2);
            const Rgba ink = r == 0 ? Rgba::Bytes(48, 48, 48) : kWidgetText;
            Label(page, ips[r], 14, list.x + 48.0f, y + 22.5f, r == 2 ? pal::kOrange : ink, true);
            Label(page, names[r], 14, list.x + 188.0f, y + 22.5f, ink, true);
            Label(page, r == 1 ? "1.11" : "1.12", 14, list.x + 303.0f, y + 22.5f, r == 1 ? pal::kOrange : ink, true);
            Label(page, "2.0", 14, list.x + 403.0f, y + 22.5f, ink, true);
            Label(page, "0.1", 14, list.x + 512.0f, y + 22.5f, ink, true);
            Label(page, "1", 14, list.x + 590.0f, y + 22.5f, ink, true);
        }
        page.Draw(Get("glyphs/display/lock"), layout::kLock.x, layout::kLock.y);
        const char* langs[3] = {"deutsch", "english", "francais"};
        const char* langNames[3] = {"Deutsch", "English", "Français"};
        for (int r = 0; r < 3; ++r) {
            const Box& l = layout::kLanguageList;
            const int y = l.y + r * 45;
            if (r == 1) {
                page.Draw(Tinted("fill_up", l.w, 45, kWidgetColour.Scaled(0.6f)), l.x, y);
            }
            page.Draw(Tinted("off_up", l.w, 45, kWidgetColour), l.x, y);
            page.Draw(Scale(Get(std::string("glyphs/language/") + langs[r]), 41, 41), l.x + 2, y + 2);
            Label(page, langNames[r], 14, l.x + 48.0f, y + 22.5f, r == 1 ? Rgba::Bytes(48, 48, 48) : kWidgetText, true);
        }
        const char* shows[3] = {"Gala", "Rehearsal [readonly]", "show1"};
        for (int r = 0; r < 3; ++r) {
            const Box& l = layout::kFileList;
            const int y = l.y + r * 45;
            page.Draw(Tinted(r == 0 ? "off_down" : "off_up", l.w, 45, kWidgetColour), l.x, y);
            Label(page, shows[r], 14, l.x + 6.0f, y + 22.5f, kWidgetText, true);
            Label(page, "2024-05-1" + std::to_string(r), 14, l.x + 176.0f, y + 22.5f, kWidgetText, true);
            Label(page, std::to_string(12 + r * 7) + " KB", 14, l.x + 326.0f, y + 22.5f, kWidgetText, true);
        }
        Label(page, "v1.7", 14, layout::kVersion.x + 4.0f, layout::kVersion.y + 8.0f, Rgba::Bytes(127, 127, 127), true);
        return page;
    }

    // A dialog the way the dialogs are put together: caption bar along the left edge, frames.
    CCanvas Dialog(const std::string& caption, const Rgba& colour, int w, int h, bool arrows) const
    {
        CCanvas d(w, h);
        d.Clear(Rgba::Bytes(48, 48, 48));
        CCanvas bar = CaptionFrame(h, 50);
        Tint(bar, colour);
        d.Draw(bar.RotateQuarter(3), 0, 0);
        CCanvas text(h - 20, 50 - 20);
        CText::Style st;
        st.size = 18;
        m_text.DrawCentred(text, caption, st, (h - 20) / 2.0f, 15, Rgba::Bytes(48, 48, 48));
        d.Draw(text.RotateQuarter(3), 10, 10);
        const int row = (h - 24) / 5;
        SoftButton(d, Box{w - 104, h - 4 - row, 100, row}, "Cancel", "", colour);
        SoftButton(d, Box{w - 208, h - 4 - row, 100, row}, "Ok", "", colour, false, true);
        if (arrows) {
            const int fy = h / 2 - row / 2;
            d.Draw(Tinted("off_up", w - 58, row, colour), 54, fy);
            Label(d, "sub.uni", 14, 60, fy + row / 2.0f, kWidgetText, true);
            Label(d, "3.12", 18, 160, fy + row / 2.0f, kWidgetText, true);
            SoftButton(d, Box{w - 104, fy - 4 - row, 100, row}, "", "up", colour);
            SoftButton(d, Box{w - 208, fy - 4 - row, 100, row}, "", "up", colour);
            SoftButton(d, Box{w - 104, fy + row + 4, 100, row}, "", "down", colour, false, true);
            SoftButton(d, Box{w - 208, fy + row + 4, 100, row}, "", "down", colour);
            // Check box: a square off/up frame with a cross.
            d.Draw(Tinted("off_up", row, row, colour), 54, 4);
            const float x0 = 54 + 8.0f, y0 = 4 + 8.0f, x1 = 54 + row - 8.0f, y1 = 4 + row - 8.0f;
            d.Fill(Union(Capsule(x0, y0, x1, y1, 1.0f), Capsule(x0, y1, x1, y0, 1.0f)), kWidgetText);
            Label(d, "Enabled", 14, 54.0f + row + 5, 4 + row / 2.0f, kWidgetText, true);
        } else {
            const int fy = (h - 4 - row) / 2 - 20;
            d.Draw(Tinted("off_down", w - 58 - 44, 40, colour), 54, fy);
            Label(d, "Intro", 14, 62, fy + 20.0f, kWidgetText, true);
            SoftButton(d, Box{w - 44, fy, 40, 40}, "X", "", colour);
            Label(d, "Invalid character(s)", 14, 58, h - 4 - row / 2.0f, Rgba::Bytes(255, 0, 0), true);
        }
        return d;
    }

    CCanvas Dialogs() const
    {
        CCanvas sheet(860, 300);
        sheet.Clear(pal::kPage);
        sheet.Draw(Dialog("RENAME PLAYBACK", kWidgetColour, 400, 250, false), 20, 25);
        sheet.Draw(Dialog("ART-NET", Rgba::Bytes(255, 255, 0), 400, 250, true), 440, 25);
        return sheet;
    }

    // Every picture of one folder on a grid, on a mid-grey checkerboard, named.
    CCanvas Sheet(const std::vector<std::pair<std::string, const CCanvas*>>& items, int scale) const
    {
        const int cellW = 150, columns = 6;
        std::vector<int> rowHeights;
        int x = 0, rowH = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            rowH = std::max(rowH, items[i].second->GetHeight() * scale + 26);
            if (++x == columns || i + 1 == items.size()) {
                rowHeights.push_back(rowH);
                x = 0;
                rowH = 0;
            }
        }
        int total = 10;
        for (int h : rowHeights) {
            total += h;
        }
        CCanvas sheet(cellW * columns, total);
        sheet.Clear(Rgba::Bytes(40, 42, 46));
        int y = 10;
        for (size_t i = 0; i < items.size(); ++i) {
            const int col = static_cast<int>(i % columns);
            const int row = static_cast<int>(i / columns);
            if (col == 0 && row > 0) {
                y += rowHeights[row - 1];
            }
            const CCanvas& c = *items[i].second;
            const int w = c.GetWidth() * scale, h = c.GetHeight() * scale;
            const int px = col * cellW + (cellW - w) / 2;
            for (int j = 0; j < h; j += 8) {
                for (int k = 0; k < w; k += 8) {
                    if (((j / 8) + (k / 8)) % 2 == 0) {
                        sheet.FillRect(px + k, y + j, std::min(8, w - k), std::min(8, h - j), Rgba::Bytes(58, 60, 66));
                    }
                }
            }
            sheet.Draw(scale == 1 ? c : Scale(c, w, h), px, y);
            Label(sheet, items[i].first, 9, col * cellW + cellW / 2.0f, y + h + 11.0f, pal::kTextDim);
        }
        return sheet;
    }

private:
    const CManifest& m_manifest;
    const std::map<std::string, CCanvas>& m_drawn;
    CText& m_text;
};

}  // namespace

void WritePreviews(const CManifest& manifest, const std::map<std::string, CCanvas>& drawn, CText& text,
                   const std::string& folder)
{
    CPreview preview(manifest, drawn, text);
    SavePng(preview.Playback(), folder + "/page_playback.png");
    SavePng(preview.Patch(), folder + "/page_patch.png");
    SavePng(preview.Edit(), folder + "/page_edit.png");
    SavePng(preview.Settings(), folder + "/page_settings.png");
    SavePng(preview.Dialogs(), folder + "/dialogs.png");

    std::vector<std::pair<std::string, const CCanvas*>> skin, buttons, display, other;
    for (const CManifest::Picture& p : manifest.AllPictures()) {
        const CCanvas* c = &drawn.at(p.folder + "/" + p.name);
        if (p.folder == "skin") {
            if (p.name.rfind("background_", 0) == 0) {
                continue;
            }
            (p.name.rfind("button_", 0) == 0 ? buttons : skin).emplace_back(p.name, c);
        } else if (p.folder == "glyphs/display") {
            display.emplace_back(p.name, c);
        } else {
            other.emplace_back(p.name, c);
        }
    }
    SavePng(preview.Sheet(skin, 1), folder + "/sheet_skin.png");
    SavePng(preview.Sheet(buttons, 1), folder + "/sheet_buttons.png");
    SavePng(preview.Sheet(display, 2), folder + "/sheet_display.png");
    SavePng(preview.Sheet(other, 1), folder + "/sheet_units_languages.png");
}

}  // namespace resgen
