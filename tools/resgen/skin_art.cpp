// The skin's widget pictures: buttons, fader cap and track, knob, lamp and playback buttons.
#include "tools/resgen/art.h"
#include "tools/resgen/palette.h"

#include <cmath>
#include <stdexcept>

namespace resgen {

namespace pal = palette;

namespace {

constexpr float kPi = 3.14159265358979f;

Rgba LedColour(const std::string& style)
{
    if (style == "nav") {
        return pal::kBlue;
    }
    if (style == "danger") {
        return pal::kRed;
    }
    return pal::kAmber;
}

// The face of a key: shadow, body, rim and highlight. Returns the body's rectangle.
struct Body
{
    float x, y, w, h, radius;
};

Body DrawKeyBody(CCanvas& c, bool down, const Rgba& top, const Rgba& bottom, float clearRight = 0)
{
    const float w = static_cast<float>(c.GetWidth()) - clearRight;
    const float h = static_cast<float>(c.GetHeight());
    Body b{1.0f, down ? 2.0f : 1.0f, w - 2.0f, h - 3.0f, 5.0f};
    const Shape body = RoundRect(b.x, b.y, b.w, b.h, b.radius);
    if (!down) {
        c.Glow(body, Rgba(0, 0, 0, 0.55f), 1.5f, 0, 1);
    }
    c.Fill(body, pal::kKeyEdge);
    const Shape face = Inset(body, 1.0f);
    if (down) {
        c.Fill(face, VerticalGradient(b.y, bottom.Scaled(0.72f), b.y + b.h, top.Scaled(0.78f)));
        // The pressed face sits in a shadow cast by the rim.
        c.Fill(Subtract(face, RoundRect(b.x + 1, b.y + 3.5f, b.w - 2, b.h - 3.5f, b.radius)),
               Rgba(0, 0, 0, 0.35f));
    } else {
        c.Fill(face, VerticalGradient(b.y, top, b.y + b.h, bottom));
        // A thin highlight along the top edge catches the light.
        c.Fill(Subtract(face, RoundRect(b.x + 1, b.y + 2.0f, b.w - 2, b.h - 2.0f, b.radius)),
               Rgba(1, 1, 1, 0.16f));
    }
    return b;
}

// The indicator bar at the top of a key: dark when off, lit with a glow when on.
float DrawIndicator(CCanvas& c, const Body& b, bool on, const Rgba& colour)
{
    const float width = std::max(14.0f, std::round(b.w * 0.42f));
    const float x = std::round(b.x + (b.w - width) / 2);
    const float y = b.y + 5.0f;
    const Shape bar = RoundRect(x, y, width, 3.0f, 1.5f);
    if (on) {
        c.Glow(bar, colour.WithAlpha(0.9f), 3.0f);
        c.Fill(bar, colour);
        c.Fill(RoundRect(x + 1, y + 0.5f, width - 2, 1.2f, 0.6f), Rgba(1, 1, 1, 0.55f));
    } else {
        c.Fill(Outline(bar, 1.0f), Rgba(1, 1, 1, 0.06f));
        c.Fill(bar, Rgba::Bytes(18, 20, 23));
    }
    return y + 3.0f;
}

// The key carries no text: the page draws its caption over it in the current language.
CCanvas DrawFlashButton(const CManifest::Button& button, bool on, bool down)
{
    CCanvas c(button.width, button.height);
    // Three clear rows at the top: the fader above reaches into them.
    CCanvas key(button.width, button.height - 4);
    Body b{};
    if (down) {
        // Held down the key lights up like the flash it sends.
        b = DrawKeyBody(key, true, Rgba::Bytes(255, 236, 200), Rgba::Bytes(255, 186, 90));
        key.Glow(Inset(RoundRect(b.x, b.y, b.w, b.h, b.radius), 3.0f), Rgba(1, 1, 1, 0.6f), 4.0f);
    } else {
        b = DrawKeyBody(key, false, pal::kKeyTop, pal::kKeyBottom);
    }
    if (on) {
        key.Fill(Outline(Inset(RoundRect(b.x, b.y, b.w, b.h, b.radius), 1.5f), 1.5f), pal::kAmber);
    }
    c.Draw(key, 0, 4);
    return c;
}

CCanvas DrawFader(int width, int height)
{
    // Only the unused track style draws it: a plain slot.
    CCanvas c(width, height);
    const Shape slot = RoundRect(width / 2.0f - 3, 2, 6, height - 4.0f, 3);
    c.Fill(Outline(slot, 2.0f), Rgba(1, 1, 1, 0.05f));
    c.Fill(slot, pal::kWell);
    return c;
}

CCanvas DrawCap(int width, int height)
{
    // The cap's top rows fall outside the fader at full travel, so the body starts below them.
    CCanvas c(width, height);
    const float top = 9.0f;
    const float bodyH = height - top - 3.0f;
    const Shape body = RoundRect(2, top, width - 4.0f, bodyH, 4.0f);
    c.Glow(body, Rgba(0, 0, 0, 0.75f), 2.5f, 0, 2);
    c.Fill(body, pal::kKeyEdge);
    const Shape face = Inset(body, 1.0f);
    c.Fill(face, VerticalGradient(top, Rgba::Bytes(88, 94, 104), top + bodyH, Rgba::Bytes(38, 41, 47)));
    // Grip ridges above and below the value line.
    const float mid = top + bodyH / 2;
    for (int i = 1; i <= 3; ++i) {
        for (float sign : {-1.0f, 1.0f}) {
            const float y = mid + sign * (4.0f + 5.0f * i);
            c.Fill(Capsule(10, y, width - 10.0f, y, 0.6f), Rgba(0, 0, 0, 0.45f));
            c.Fill(Capsule(10, y + 1.2f, width - 10.0f, y + 1.2f, 0.5f), Rgba(1, 1, 1, 0.10f));
        }
    }
    // The value line: the part of the cap that reads against the scale.
    c.Fill(Capsule(5, mid, width - 5.0f, mid, 1.3f), pal::kText);
    c.Fill(Subtract(face, RoundRect(3, top + 2.0f, width - 6.0f, bodyH - 2.0f, 4.0f)),
           Rgba(1, 1, 1, 0.22f));
    return c;
}

// The fixed part of the speed knob: its scale and body. The widget shows only the top
// width x (height - 20) of it, so everything stays inside that.
CCanvas DrawKnob(int width, int height, CText& text)
{
    CCanvas c(width, height);
    const float cx = 47.0f, cy = 47.0f;
    // Scale: 21 steps of 0.1 over +-120 degrees; the ends and the centre are longer.
    for (int i = -10; i <= 10; ++i) {
        const float a = i * 12.0f * kPi / 180.0f;
        const bool major = i == 0 || i == -10 || i == 10;
        const float r0 = major ? 31.0f : 32.5f;
        const float r1 = major ? 38.0f : 35.5f;
        const float sx = std::sin(a), sy = -std::cos(a);
        const Rgba colour = i == 0 ? pal::kTextDim : (major ? pal::kTextDim : pal::kTextFaint);
        c.Fill(Capsule(cx + sx * r0, cy + sy * r0, cx + sx * r1, cy + sy * r1, major ? 0.9f : 0.6f),
               colour);
    }
    CText::Style small;
    small.size = 10;
    small.bold = true;
    text.DrawCentred(c, "-", small, cx - 37, cy + 27, pal::kTextDim);
    text.DrawCentred(c, "+", small, cx + 37, cy + 27, pal::kTextDim);
    // Body: a skirt and a raised cap lit from above.
    const Shape skirt = Circle(cx, cy, 26.0f);
    c.Glow(skirt, Rgba(0, 0, 0, 0.8f), 3.0f, 0, 2);
    c.Fill(skirt, VerticalGradient(cy - 26, Rgba::Bytes(58, 62, 70), cy + 26, Rgba::Bytes(22, 24, 28)));
    c.Fill(Outline(skirt, 1.0f), pal::kKeyEdge);
    const Shape top = Circle(cx, cy, 20.0f);
    c.Glow(top, Rgba(0, 0, 0, 0.6f), 1.5f, 0, 1);
    c.Fill(top, RadialGradient(cx - 5, cy - 9, 30.0f, Rgba::Bytes(92, 98, 108), Rgba::Bytes(38, 41, 47)));
    return c;
}

// The turning part of the knob: grip notches on the skirt and the pointer.
CCanvas DrawIndents(int width, int height)
{
    CCanvas c(width, height);
    const float cx = width / 2.0f, cy = height / 2.0f;
    for (int i = 0; i < 24; ++i) {
        const float a = (i * 15.0f + 7.5f) * kPi / 180.0f;
        const float sx = std::sin(a), sy = -std::cos(a);
        c.Fill(Capsule(cx + sx * 21.5f, cy + sy * 21.5f, cx + sx * 25.0f, cy + sy * 25.0f, 0.7f),
               Rgba(0, 0, 0, 0.55f));
    }
    const Shape pointer = Capsule(cx, cy - 7.0f, cx, cy - 24.0f, 1.6f);
    c.Glow(pointer, Rgba(1, 1, 1, 0.35f), 2.0f);
    c.Fill(pointer, pal::kText);
    return c;
}

// The playback button's face; the level bars stand in dark wells at its sides.
CCanvas DrawPlaybackFace(int width, int height, bool down)
{
    CCanvas c(width, height);
    const Shape body = RoundRect(2, 2, width - 4.0f, height - 4.0f, 5.0f);
    c.Fill(body, pal::kKeyEdge);
    const Shape face = Inset(body, 1.0f);
    if (down) {
        c.Fill(face, VerticalGradient(2, Rgba::Bytes(24, 26, 30), height - 2.0f, Rgba::Bytes(36, 39, 45)));
        c.Fill(Subtract(face, RoundRect(3, 6, width - 6.0f, height - 9.0f, 5.0f)), Rgba(0, 0, 0, 0.4f));
        c.Fill(Outline(Inset(body, 2.0f), 1.0f), pal::kAmber.WithAlpha(0.55f));
    } else {
        c.Fill(face, VerticalGradient(2, Rgba::Bytes(50, 54, 62), height - 2.0f, Rgba::Bytes(33, 36, 42)));
        c.Fill(Subtract(face, RoundRect(3, 4, width - 6.0f, height - 7.0f, 5.0f)), Rgba(1, 1, 1, 0.12f));
    }
    // Wells behind the intensity bar (left) and the speed bar (right).
    const float barTop = 12.0f, barH = height - 24.0f;
    c.Fill(RoundRect(8, barTop - 1, 15, barH + 2, 2), Rgba(0, 0, 0, 0.55f));
    c.Fill(RoundRect(width - 17.0f, barTop - 1, 10, barH + 2, 2), Rgba(0, 0, 0, 0.55f));
    return c;
}

// A status overlay: a coloured strip across the top between the bars, and a rim.
CCanvas DrawPlaybackStatus(int width, int height, const std::string& status)
{
    CCanvas c(width, height);
    const Shape body = RoundRect(2, 2, width - 4.0f, height - 4.0f, 5.0f);
    const Shape rim = Outline(Inset(body, 1.5f), 2.0f);
    const Shape strip = RoundRect(26, 4, width - 52.0f, 4, 2);
    auto lit = [&](const Rgba& colour, float rimAlpha) {
        if (rimAlpha > 0) {
            c.Fill(rim, colour.WithAlpha(rimAlpha));
        }
        c.Glow(strip, colour.WithAlpha(0.8f), 2.5f);
        c.Fill(strip, colour);
    };
    if (status == "released") {
        c.Fill(strip, pal::kTextFaint.WithAlpha(0.7f));
    } else if (status == "playing") {
        lit(pal::kGreen, 0.9f);
    } else if (status == "paused") {
        lit(pal::kAmber, 0.75f);
    } else if (status == "releasing") {
        c.Fill(rim, VerticalGradient(2, pal::kRed.WithAlpha(0.9f), height - 2.0f, pal::kRed.WithAlpha(0.1f)));
        lit(pal::kRed, 0);
    } else if (status == "indicated") {
        // Marked playbacks light up whole; their text then turns the ground colour.
        c.Fill(Inset(body, 1.0f), Rgba::Bytes(222, 232, 255, 235));
        c.Fill(rim, pal::kBlue);
    } else if (status == "degroup") {
        // A broken rim: dashes along the edge.
        for (int i = 0; i < 12; ++i) {
            const float t0 = i / 12.0f, t1 = t0 + 0.5f / 12.0f;
            const float per = 2.0f * (width + height - 8.0f);
            auto point = [&](float t, float& x, float& y) {
                float d = t * per;
                const float w = width - 5.0f, h = height - 5.0f;
                if (d < w) { x = 2.5f + d; y = 2.5f; return; }
                d -= w;
                if (d < h) { x = width - 2.5f; y = 2.5f + d; return; }
                d -= h;
                if (d < w) { x = width - 2.5f - d; y = height - 2.5f; return; }
                d -= w;
                x = 2.5f; y = height - 2.5f - d;
            };
            float xa, ya, xb, yb;
            point(t0, xa, ya);
            point(t1, xb, yb);
            c.Fill(Intersect(Capsule(xa, ya, xb, yb, 1.0f), Inset(body, 0.0f)), pal::kViolet);
        }
        lit(pal::kViolet, 0);
    } else if (status == "stack") {
        // Stacked: the strip split into two layers.
        c.Fill(rim, pal::kCyan.WithAlpha(0.6f));
        const Shape upper = RoundRect(26, 3, width - 52.0f, 2.5f, 1.2f);
        const Shape lower = RoundRect(30, 6.5f, width - 60.0f, 2.5f, 1.2f);
        c.Glow(Union(upper, lower), pal::kCyan.WithAlpha(0.8f), 2.5f);
        c.Fill(Union(upper, lower), pal::kCyan);
    } else {
        throw std::runtime_error("no drawing for playback status " + status);
    }
    return c;
}

}  // namespace

void DrawLamp(CCanvas& c, int x, int y, int size, const Rgba* lit)
{
    const float r = size / 2.0f;
    const float cx = x + r, cy = y + r;
    const Shape bezel = Circle(cx, cy, r - 0.5f);
    const Shape lens = Circle(cx, cy, r - 3.0f);
    if (lit == nullptr) {
        c.Fill(bezel, VerticalGradient(cy - r, Rgba::Bytes(70, 75, 84), cy + r, Rgba::Bytes(20, 22, 25)));
        c.Fill(lens, RadialGradient(cx, cy, r - 3.0f, Rgba::Bytes(34, 36, 40), Rgba::Bytes(14, 15, 17)));
    } else {
        c.Fill(bezel, VerticalGradient(cy - r, Rgba::Bytes(70, 75, 84), cy + r, Rgba::Bytes(20, 22, 25)));
        c.Fill(lens, RadialGradient(cx, cy, r - 3.0f, Rgba::Mix(*lit, Rgba(1, 1, 1), 0.55f), lit->Scaled(0.8f)));
        c.Fill(Outline(lens, 1.0f), lit->WithAlpha(0.9f));
    }
    c.Fill(Circle(cx - r * 0.28f, cy - r * 0.3f, r * 0.18f), Rgba(1, 1, 1, lit ? 0.8f : 0.25f));
}

CCanvas DrawButton(const CManifest::Button& button, bool on, bool down, CText&)
{
    if (button.style == "flash") {
        return DrawFlashButton(button, on, down);
    }
    if (button.style != "nav" && button.style != "mode" && button.style != "action" &&
        button.style != "danger") {
        throw std::runtime_error("unknown button style " + button.style + " for " + button.name);
    }
    CCanvas c(button.width, button.height);
    const Rgba led = LedColour(button.style);
    Rgba top = pal::kKeyTop, bottom = pal::kKeyBottom;
    if (on) {
        // A latched key takes a trace of its lamp's colour.
        top = Rgba::Mix(top, led, 0.10f);
        bottom = Rgba::Mix(bottom, led, 0.04f);
    }
    // The link lamp stands 3 pixels inside the options button's width and repaints its own
    // square, so that key keeps clear of it.
    const float clearRight = button.name == "button_options" ? 5.0f : 0.0f;
    const Body b = DrawKeyBody(c, down, top, bottom, clearRight);
    // The face below the indicator stays clear: the page draws the caption there, translated.
    DrawIndicator(c, b, on, led);
    return c;
}

CCanvas DrawSkinPicture(const CManifest::Picture& p, CText& text)
{
    const std::string& n = p.name;
    if (n.rfind("background_", 0) == 0) {
        return DrawBackground(n, p.width, p.height, text);
    }
    if (n == "cap") {
        return DrawCap(p.width, p.height);
    }
    if (n == "fader_track") {
        return DrawFader(p.width, p.height);
    }
    if (n == "rotary_knob") {
        return DrawKnob(p.width, p.height, text);
    }
    if (n == "rotary_indents") {
        return DrawIndents(p.width, p.height);
    }
    if (n == "led_red" || n == "led_green") {
        CCanvas c(p.width, p.height);
        const Rgba colour = n == "led_red" ? pal::kRed : pal::kGreen;
        DrawLamp(c, 0, 0, p.width, &colour);
        return c;
    }
    if (n == "playback_up" || n == "playback_down") {
        return DrawPlaybackFace(p.width, p.height, n == "playback_down");
    }
    if (n.rfind("playback_", 0) == 0) {
        return DrawPlaybackStatus(p.width, p.height, n.substr(9));
    }
    throw std::runtime_error("no drawing for skin picture " + n);
}

}  // namespace resgen
