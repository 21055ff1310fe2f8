// Glyph pages: the frame pieces and icons of page "display", the unit pictures of page
// "device" and the language pictures of page "language".
#include "tools/resgen/art.h"
#include "tools/resgen/palette.h"

#include <cmath>
#include <stdexcept>

namespace resgen {

namespace pal = palette;

namespace {

constexpr float kPi = 3.14159265358979f;

// How a frame piece looks across its edge: alpha (and colour) by the distance d inward from
// the frame's outer edge. The frame builder fills the inside with the body alpha and copies
// the pieces over it, so the profile must end at exactly that body alpha.
struct Profile
{
    Rgba edgeColour = Rgba::Bytes(236, 238, 241);  // seen only where a frame is not tinted
    float edgeWidth = 1.5f;
    float edgeAlpha = 1.0f;
    float bodyAlpha = 0.0f;      // the builder's body alpha for the state
    float glowAlpha = 0.0f;      // an inner glow fading from the edge to the piece's far side
    bool edgeOnly = false;       // no edge at all (caption corners)
};

Profile ProfileFor(const std::string& state)
{
    Profile p;
    if (state == "off_up") {
        // Untinted (fixture tiles) a resting frame is a quiet grey, so a selected one stands out.
        p.edgeColour = Rgba::Bytes(118, 124, 134);
        p.edgeWidth = 1.5f;
        p.edgeAlpha = 0.9f;
    } else if (state == "off_down") {
        // Pressed or selected: a heavier edge with light pooling inside it.
        p.edgeWidth = 2.5f;
        p.edgeAlpha = 1.0f;
        p.glowAlpha = 0.45f;
    } else if (state == "on_up") {
        p.bodyAlpha = 165 / 255.0f;
    } else if (state == "on_down") {
        p.bodyAlpha = 1.0f;
    } else if (state == "fill_up") {
        p.edgeWidth = 1.0f;
        p.bodyAlpha = 153 / 255.0f;
    } else if (state == "fill_down") {
        p.bodyAlpha = 1.0f;
    } else if (state == "caption") {
        p.bodyAlpha = 153 / 255.0f;
        p.edgeOnly = true;
    } else {
        throw std::runtime_error("no frame state " + state);
    }
    return p;
}

// Straight colour of the profile at inward distance d (d < 0 is outside).
Rgba ProfileAt(const Profile& p, float d, float depth)
{
    if (d < 0) {
        return Rgba();
    }
    const Rgba& light = p.edgeColour;
    if (!p.edgeOnly && d < p.edgeWidth) {
        return light.WithAlpha(std::max(p.edgeAlpha, p.bodyAlpha));
    }
    if (p.glowAlpha > 0) {
        const float t = std::min(1.0f, (d - p.edgeWidth) / std::max(1.0f, depth - p.edgeWidth));
        const float a = p.glowAlpha * (1 - t) * (1 - t);
        return light.WithAlpha(std::max(a, p.bodyAlpha));
    }
    // The body takes the builder's colour (black, from its cleared image).
    return Rgba(0, 0, 0, p.bodyAlpha);
}

// A corner piece (top-left corner of a rounded frame) or a side piece (top edge), averaged
// over 8 x 8 samples per pixel.
CCanvas FramePiece(int width, int height, const Profile& profile, bool corner, float radius)
{
    CCanvas c(width, height);
    const int n = 8;
    const float depth = static_cast<float>(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    const float px = x + (i + 0.5f) / n, py = y + (j + 0.5f) / n;
                    float d = py;
                    if (corner) {
                        if (px < radius && py < radius) {
                            d = radius - std::hypot(px - radius, py - radius);
                        } else {
                            d = std::min(px, py);
                        }
                    }
                    const Rgba s = ProfileAt(profile, d, depth);
                    r += s.r * s.a;
                    g += s.g * s.a;
                    b += s.b * s.a;
                    a += s.a;
                }
            }
            const float k = 1.0f / (n * n);
            if (a > 0) {
                c.SetPixel(x, y, Rgba(r / a, g / a, b / a, a * k));
            }
        }
    }
    return c;
}

CCanvas Graph(int width, int height)
{
    // One meter segment; the faders recolour it and dim copies for the unlit part.
    CCanvas c(width, height);
    c.Fill(RoundRect(0, 0, static_cast<float>(width), static_cast<float>(height), 1.5f), Rgba(1, 1, 1, 1));
    return c;
}

CCanvas Grip(int width, int height)
{
    // Copied as it is into the grip's fill frame (body alpha 0.6), then tinted: grooves are
    // darker, their lower lips lighter, and the rest keeps the body alpha.
    CCanvas c(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            c.SetPixel(x, y, Rgba(0, 0, 0, 153 / 255.0f));
        }
    }
    for (int k = 0; k < 3; ++k) {
        const int y = 2 + 3 * k;
        for (int x = 3; x < width - 3; ++x) {
            c.SetPixel(x, y, Rgba(0, 0, 0, 50 / 255.0f));
            c.SetPixel(x, y + 1, Rgba(1, 1, 1, 235 / 255.0f));
        }
    }
    return c;
}

Shape Arc(float cx, float cy, float radius, float from, float to, float width)
{
    // A polyline of short capsules along the circle (angles in degrees, 0 up, clockwise).
    const int steps = 32;
    Shape arc;
    for (int i = 0; i < steps; ++i) {
        const float a0 = (from + (to - from) * i / steps) * kPi / 180.0f;
        const float a1 = (from + (to - from) * (i + 1) / steps) * kPi / 180.0f;
        const Shape piece = Capsule(cx + radius * std::sin(a0), cy - radius * std::cos(a0),
                                    cx + radius * std::sin(a1), cy - radius * std::cos(a1), width / 2);
        arc = i == 0 ? piece : Union(arc, piece);
    }
    return arc;
}

CCanvas Icon(const std::string& name, int w, int h)
{
    CCanvas c(w, h);
    const Rgba ink = pal::kText;
    const float s = w / 64.0f;  // drawn on a 64-unit grid
    auto P = [s](float v) { return v * s; };
    const float stroke = P(7.0f);
    if (name == "up" || name == "down" || name == "left" || name == "right") {
        // A bold chevron pointing the way.
        float ax = 16, ay = 40, bx = 32, by = 24, cx = 48, cy = 40;
        Shape chevron = Union(Capsule(P(ax), P(ay), P(bx), P(by), stroke / 2),
                              Capsule(P(bx), P(by), P(cx), P(cy), stroke / 2));
        CCanvas up(w, h);
        up.Fill(chevron, ink);
        const int turns = name == "up" ? 0 : name == "right" ? 1 : name == "down" ? 2 : 3;
        return up.RotateQuarter(turns);
    }
    if (name == "plus") {
        c.Fill(Union(Capsule(P(14), P(32), P(50), P(32), P(4)), Capsule(P(32), P(14), P(32), P(50), P(4))), ink);
        return c;
    }
    if (name == "minus") {
        c.Fill(Capsule(P(14), P(32), P(50), P(32), P(4)), ink);
        return c;
    }
    if (name == "home") {
        const Shape roof = Union(Capsule(P(10), P(31), P(32), P(11), P(3.5f)), Capsule(P(32), P(11), P(54), P(31), P(3.5f)));
        const Shape house = Subtract(RoundRect(P(17), P(28), P(30), P(26), P(3)), RoundRect(P(28), P(39), P(8), P(16), P(1.5f)));
        c.Fill(Union(roof, house), ink);
        return c;
    }
    if (name == "refresh") {
        // Two arcs chasing each other round, each with an arrow head.
        // Heavy strokes: the picker switch shows it about 14 pixels high.
        const float r = P(18), cx = P(32), cy = P(32);
        Shape shape = Union(Arc(cx, cy, r, 25, 145, P(9)), Arc(cx, cy, r, 205, 325, P(9)));
        for (float end : {145.0f, 325.0f}) {
            const float a = end * kPi / 180.0f;
            const float ex = cx + r * std::sin(a), ey = cy - r * std::cos(a);
            // Tangent (clockwise) and outward normal at the arc's end.
            const float tx = std::cos(a), ty = std::sin(a);
            const float nx = std::sin(a), ny = -std::cos(a);
            const float len = P(15), half = P(12);
            shape = Union(shape, Polygon({ex + tx * len, ey + ty * len,
                                          ex + nx * half, ey + ny * half,
                                          ex - nx * half, ey - ny * half}));
        }
        c.Fill(shape, ink);
        return c;
    }
    if (name == "lock") {
        // Shown untinted while the unit choice is locked: amber, the colour of an armed state.
        const float u = w / 32.0f;
        const Shape shackle = Union(Arc(16 * u, 14 * u, 6.5f * u, -90, 90, 3.2f * u),
                                    Union(Capsule(9.5f * u, 14 * u, 9.5f * u, 17 * u, 1.6f * u),
                                          Capsule(22.5f * u, 14 * u, 22.5f * u, 17 * u, 1.6f * u)));
        const Shape body = RoundRect(5 * u, 15 * u, 22 * u, 15 * u, 3 * u);
        c.Glow(body, Rgba(0, 0, 0, 0.7f), 1.5f, 0, 1);
        c.Fill(shackle, Rgba::Bytes(200, 205, 212));
        c.Fill(body, VerticalGradient(15 * u, Rgba::Bytes(255, 196, 70), 30 * u, pal::kAmber.Scaled(0.8f)));
        c.Fill(Union(Circle(16 * u, 21 * u, 2.2f * u), Capsule(16 * u, 21 * u, 16 * u, 26 * u, 1.1f * u)),
               Rgba::Bytes(60, 40, 8));
        return c;
    }
    throw std::runtime_error("no drawing for icon " + name);
}

CCanvas Device(const std::string& mark, int w, int h, CText& text)
{
    // A unit seen from the front: a box with a lit display carrying the family's mark.
    CCanvas c(w, h);
    const float s = w / 64.0f;
    if (mark == "screen") {
        // The software emulation: a monitor instead of a box.
        const Shape screen = RoundRect(6 * s, 10 * s, 52 * s, 36 * s, 4 * s);
        c.Glow(screen, Rgba(0, 0, 0, 0.7f), 2, 0, 2);
        c.Fill(screen, pal::kKeyEdge);
        c.Fill(Inset(screen, 3 * s), VerticalGradient(13 * s, Rgba::Bytes(40, 70, 110), 43 * s, Rgba::Bytes(18, 30, 50)));
        c.Fill(Polygon({28 * s, 46 * s, 36 * s, 46 * s, 39 * s, 54 * s, 25 * s, 54 * s}), Rgba::Bytes(70, 75, 84));
        c.Fill(RoundRect(18 * s, 53 * s, 28 * s, 4 * s, 2 * s), Rgba::Bytes(90, 96, 106));
        CText::Style st;
        st.size = static_cast<int>(std::lround(9 * s));
        st.bold = true;
        text.DrawCentred(c, "EMU", st, 32 * s, 28 * s, pal::kCyan);
        return c;
    }
    // The mark tells the families apart; colour is kept for states (the list shows an offline
    // unit's address in orange), so every mark is the same plain white.
    const Rgba accent = pal::kText;
    const Shape box = RoundRect(4 * s, 14 * s, 56 * s, 38 * s, 5 * s);
    c.Glow(box, Rgba(0, 0, 0, 0.8f), 2, 0, 2);
    c.Fill(box, pal::kKeyEdge);
    c.Fill(Inset(box, 1.5f * s), VerticalGradient(14 * s, Rgba::Bytes(74, 80, 90), 52 * s, Rgba::Bytes(40, 44, 50)));
    // The display window with the mark, and two status dots.
    const Shape display = RoundRect(9 * s, 19 * s, 36 * s, 28 * s, 3 * s);
    c.Fill(display, Rgba::Bytes(8, 9, 11));
    CText::Style st;
    st.bold = true;
    st.size = static_cast<int>(std::lround((mark.size() > 1 ? 17 : 22) * s));
    text.DrawCentred(c, mark, st, 27 * s, 33 * s, accent);
    c.Fill(Circle(52 * s, 24 * s, 2.6f * s), Rgba::Bytes(20, 22, 25));
    c.Fill(Circle(52 * s, 33 * s, 2.6f * s), Rgba::Bytes(20, 22, 25));
    c.Fill(Circle(52 * s, 42 * s, 2.6f * s), Rgba::Bytes(20, 22, 25));
    return c;
}

CCanvas Language(const std::string& code, int w, int h, CText& text)
{
    CCanvas c(w, h);
    const float s = w / 64.0f;
    const Shape badge = RoundRect(4 * s, 10 * s, 56 * s, 44 * s, 8 * s);
    c.Glow(badge, Rgba(0, 0, 0, 0.7f), 2, 0, 2);
    c.Fill(badge, VerticalGradient(10 * s, Rgba::Bytes(66, 72, 82), 54 * s, Rgba::Bytes(38, 42, 48)));
    c.Fill(Outline(Inset(badge, 1.0f * s), 2.0f * s), pal::kTextDim);
    CText::Style st;
    st.bold = true;
    st.size = static_cast<int>(std::lround(24 * s));
    st.tracking = 1.0f;
    text.DrawCentred(c, code, st, 32 * s, 32 * s, pal::kText);
    return c;
}

}  // namespace

CCanvas DrawGlyph(const CManifest::Picture& p, CText& text)
{
    if (p.folder == "glyphs/display") {
        const std::string& n = p.name;
        if (n.rfind("corner_", 0) == 0) {
            const std::string state = n.substr(7);
            const float radius = state == "caption" ? 10.0f : 6.0f;
            return FramePiece(p.width, p.height, ProfileFor(state), true, radius);
        }
        if (n.rfind("side_", 0) == 0) {
            return FramePiece(p.width, p.height, ProfileFor(n.substr(5)), false, 0);
        }
        if (n == "graph") {
            return Graph(p.width, p.height);
        }
        if (n == "grip_up") {
            return Grip(p.width, p.height);
        }
        return Icon(n, p.width, p.height);
    }
    if (p.folder == "glyphs/device") {
        return Device(p.art, p.width, p.height, text);
    }
    if (p.folder == "glyphs/language") {
        return Language(p.art, p.width, p.height, text);
    }
    throw std::runtime_error("no drawing for glyph " + p.folder + "/" + p.name);
}

}  // namespace resgen
