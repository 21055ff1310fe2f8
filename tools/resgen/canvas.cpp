#include "tools/resgen/canvas.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace resgen {

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Coverage of a pixel whose centre lies at signed distance d from an outline.
float Coverage(float d) { return Clamp01(0.5f - d); }

uint8_t ToByte(float v)
{
    const float scaled = Clamp01(v) * 255.0f + 0.5f;
    return static_cast<uint8_t>(scaled);
}

Shape MakeShape(std::function<float(float, float)> fn, float x0, float y0, float x1, float y1)
{
    Shape s;
    s.distance = std::move(fn);
    s.x0 = x0;
    s.y0 = y0;
    s.x1 = x1;
    s.y1 = y1;
    return s;
}

}  // namespace

Rgba Rgba::Mix(const Rgba& x, const Rgba& y, float t)
{
    return Rgba(x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
                x.a + (y.a - x.a) * t);
}

Paint Solid(const Rgba& colour)
{
    return [colour](float, float) { return colour; };
}

Paint VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom)
{
    return [=](float, float y) {
        const float t = y1 > y0 ? Clamp01((y - y0) / (y1 - y0)) : 0.0f;
        return Rgba::Mix(top, bottom, t);
    };
}

Paint RadialGradient(float cx, float cy, float radius, const Rgba& inner, const Rgba& outer)
{
    return [=](float x, float y) {
        const float t = Clamp01(std::hypot(x - cx, y - cy) / radius);
        return Rgba::Mix(inner, outer, t);
    };
}

Shape RoundRect(float x, float y, float w, float h, float radius)
{
    radius = std::min(radius, std::min(w, h) / 2);
    const float cx = x + w / 2, cy = y + h / 2;
    const float hx = w / 2 - radius, hy = h / 2 - radius;
    return MakeShape(
        [=](float px, float py) {
            const float qx = std::fabs(px - cx) - hx;
            const float qy = std::fabs(py - cy) - hy;
            const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
            return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - radius;
        },
        x, y, x + w, y + h);
}

Shape Circle(float cx, float cy, float radius)
{
    return MakeShape([=](float px, float py) { return std::hypot(px - cx, py - cy) - radius; },
                     cx - radius, cy - radius, cx + radius, cy + radius);
}

Shape Capsule(float x0, float y0, float x1, float y1, float radius)
{
    return MakeShape(
        [=](float px, float py) {
            const float dx = x1 - x0, dy = y1 - y0;
            const float len2 = dx * dx + dy * dy;
            float t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0.0f;
            t = Clamp01(t);
            return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy)) - radius;
        },
        std::min(x0, x1) - radius, std::min(y0, y1) - radius, std::max(x0, x1) + radius,
        std::max(y0, y1) + radius);
}

Shape Polygon(std::vector<float> xy)
{
    if (xy.size() < 6 || xy.size() % 2 != 0) {
        throw std::invalid_argument("polygon needs three or more points");
    }
    float x0 = xy[0], y0 = xy[1], x1 = xy[0], y1 = xy[1];
    for (size_t i = 0; i < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    return MakeShape(
        [xy](float px, float py) {
            const size_t n = xy.size() / 2;
            float best = 1e30f;
            int winding = 0;
            for (size_t i = 0; i < n; ++i) {
                const float ax = xy[2 * i], ay = xy[2 * i + 1];
                const float bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
                const float ex = bx - ax, ey = by - ay;
                const float len2 = ex * ex + ey * ey;
                float t = len2 > 0 ? ((px - ax) * ex + (py - ay) * ey) / len2 : 0.0f;
                t = Clamp01(t);
                best = std::min(best, std::hypot(px - (ax + t * ex), py - (ay + t * ey)));
                const float side = ex * (py - ay) - ey * (px - ax);
                if (ay <= py && by > py && side > 0) {
                    ++winding;
                } else if (ay > py && by <= py && side < 0) {
                    --winding;
                }
            }
            return winding != 0 ? -best : best;
        },
        x0, y0, x1, y1);
}

Shape Union(Shape a, Shape b)
{
    return MakeShape([a, b](float x, float y) { return std::min(a(x, y), b(x, y)); },
                     std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1),
                     std::max(a.y1, b.y1));
}

Shape Intersect(Shape a, Shape b)
{
    return MakeShape([a, b](float x, float y) { return std::max(a(x, y), b(x, y)); },
                     std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1),
                     std::min(a.y1, b.y1));
}

Shape Subtract(Shape a, Shape b)
{
    return MakeShape([a, b](float x, float y) { return std::max(a(x, y), -b(x, y)); }, a.x0, a.y0,
                     a.x1, a.y1);
}

Shape Outline(Shape s, float width)
{
    const float half = width / 2;
    return MakeShape([s, half](float x, float y) { return std::fabs(s(x, y)) - half; },
                     s.x0 - half, s.y0 - half, s.x1 + half, s.y1 + half);
}

Shape Inset(Shape s, float by)
{
    return MakeShape([s, by](float x, float y) { return s(x, y) + by; }, s.x0 + by, s.y0 + by,
                     s.x1 - by, s.y1 - by);
}

CCanvas::CCanvas(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height * 4, 0.0f)
{
}

void CCanvas::Clear(const Rgba& colour)
{
    for (size_t i = 0; i < m_pixels.size(); i += 4) {
        m_pixels[i] = colour.r * colour.a;
        m_pixels[i + 1] = colour.g * colour.a;
        m_pixels[i + 2] = colour.b * colour.a;
        m_pixels[i + 3] = colour.a;
    }
}

void CCanvas::Blend(int x, int y, float r, float g, float b, float a)
{
    float* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
    const float k = 1.0f - a;
    p[0] = r + p[0] * k;
    p[1] = g + p[1] * k;
    p[2] = b + p[2] * k;
    p[3] = a + p[3] * k;
}

void CCanvas::Fill(const Shape& shape, const Paint& paint, float opacity)
{
    const int xa = std::max(0, static_cast<int>(std::floor(shape.x0)) - 1);
    const int ya = std::max(0, static_cast<int>(std::floor(shape.y0)) - 1);
    const int xb = std::min(m_width, static_cast<int>(std::ceil(shape.x1)) + 1);
    const int yb = std::min(m_height, static_cast<int>(std::ceil(shape.y1)) + 1);
    for (int y = ya; y < yb; ++y) {
        for (int x = xa; x < xb; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float cover = Coverage(shape(px, py)) * opacity;
            if (cover <= 0) {
                continue;
            }
            const Rgba c = paint(px, py);
            const float a = c.a * cover;
            Blend(x, y, c.r * a, c.g * a, c.b * a, a);
        }
    }
}

void CCanvas::FillRect(int x, int y, int w, int h, const Rgba& colour)
{
    for (int j = std::max(0, y); j < std::min(m_height, y + h); ++j) {
        for (int i = std::max(0, x); i < std::min(m_width, x + w); ++i) {
            Blend(i, j, colour.r * colour.a, colour.g * colour.a, colour.b * colour.a, colour.a);
        }
    }
}

void CCanvas::Draw(const CCanvas& source, int x, int y, float opacity)
{
    for (int j = 0; j < source.m_height; ++j) {
        const int ty = y + j;
        if (ty < 0 || ty >= m_height) {
            continue;
        }
        for (int i = 0; i < source.m_width; ++i) {
            const int tx = x + i;
            if (tx < 0 || tx >= m_width) {
                continue;
            }
            const float* s = &source.m_pixels[(static_cast<size_t>(j) * source.m_width + i) * 4];
            if (s[3] <= 0) {
                continue;
            }
            Blend(tx, ty, s[0] * opacity, s[1] * opacity, s[2] * opacity, s[3] * opacity);
        }
    }
}

void CCanvas::DrawMask(const std::vector<float>& mask, int maskWidth, int maskHeight, int x, int y,
                       const Rgba& colour)
{
    for (int j = 0; j < maskHeight; ++j) {
        const int ty = y + j;
        if (ty < 0 || ty >= m_height) {
            continue;
        }
        for (int i = 0; i < maskWidth; ++i) {
            const int tx = x + i;
            const float m = mask[static_cast<size_t>(j) * maskWidth + i];
            if (tx < 0 || tx >= m_width || m <= 0) {
                continue;
            }
            const float a = colour.a * m;
            Blend(tx, ty, colour.r * a, colour.g * a, colour.b * a, a);
        }
    }
}

void CCanvas::Glow(const Shape& shape, const Rgba& colour, float blurRadius, int dx, int dy)
{
    const int margin = static_cast<int>(std::ceil(blurRadius * 2)) + 2;
    const int x0 = static_cast<int>(std::floor(shape.x0)) - margin;
    const int y0 = static_cast<int>(std::floor(shape.y0)) - margin;
    const int w = static_cast<int>(std::ceil(shape.x1)) + margin - x0;
    const int h = static_cast<int>(std::ceil(shape.y1)) + margin - y0;
    CCanvas layer(w, h);
    Shape moved = shape;
    moved.distance = [shape, x0, y0](float x, float y) { return shape(x + x0, y + y0); };
    moved.x0 = shape.x0 - x0;
    moved.y0 = shape.y0 - y0;
    moved.x1 = shape.x1 - x0;
    moved.y1 = shape.y1 - y0;
    layer.Fill(moved, colour);
    // Three box passes approximate a Gaussian of about the blur radius.
    const int box = std::max(1, static_cast<int>(std::lround(blurRadius / 1.7f)));
    layer.BoxBlur(box, 3);
    Draw(layer, x0 + dx, y0 + dy);
}

void CCanvas::SetPixel(int x, int y, const Rgba& straight)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return;
    }
    float* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
    p[0] = straight.r * straight.a;
    p[1] = straight.g * straight.a;
    p[2] = straight.b * straight.a;
    p[3] = straight.a;
}

Rgba CCanvas::GetPixel(int x, int y) const
{
    const float* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
    if (p[3] <= 0) {
        return Rgba();
    }
    return Rgba(p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]);
}

void CCanvas::BoxBlur(int radius, int passes)
{
    std::vector<float> line;
    for (int pass = 0; pass < passes; ++pass) {
        for (int axis = 0; axis < 2; ++axis) {
            const int count = axis == 0 ? m_height : m_width;   // lines
            const int length = axis == 0 ? m_width : m_height;  // pixels per line
            line.assign(static_cast<size_t>(length) * 4, 0.0f);
            for (int l = 0; l < count; ++l) {
                auto at = [&](int i) -> float* {
                    const int x = axis == 0 ? i : l;
                    const int y = axis == 0 ? l : i;
                    return &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
                };
                for (int i = 0; i < length; ++i) {
                    float sum[4] = {0, 0, 0, 0};
                    for (int k = -radius; k <= radius; ++k) {
                        const int j = i + k;
                        if (j < 0 || j >= length) {
                            continue;  // outside counts as transparent
                        }
                        const float* p = at(j);
                        for (int c = 0; c < 4; ++c) {
                            sum[c] += p[c];
                        }
                    }
                    for (int c = 0; c < 4; ++c) {
                        line[static_cast<size_t>(i) * 4 + c] = sum[c] / (2 * radius + 1);
                    }
                }
                for (int i = 0; i < length; ++i) {
                    float* p = at(i);
                    for (int c = 0; c < 4; ++c) {
                        p[c] = line[static_cast<size_t>(i) * 4 + c];
                    }
                }
            }
        }
    }
}

CCanvas CCanvas::Crop(int x, int y, int w, int h) const
{
    CCanvas out(w, h);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const int sx = x + i, sy = y + j;
            if (sx < 0 || sy < 0 || sx >= m_width || sy >= m_height) {
                continue;
            }
            const float* s = &m_pixels[(static_cast<size_t>(sy) * m_width + sx) * 4];
            std::copy(s, s + 4, &out.m_pixels[(static_cast<size_t>(j) * w + i) * 4]);
        }
    }
    return out;
}

CCanvas CCanvas::RotateQuarter(int turns) const
{
    turns = ((turns % 4) + 4) % 4;
    const bool swap = turns % 2 == 1;
    CCanvas out(swap ? m_height : m_width, swap ? m_width : m_height);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            int tx = x, ty = y;
            switch (turns) {
            case 1: tx = m_height - 1 - y; ty = x; break;
            case 2: tx = m_width - 1 - x; ty = m_height - 1 - y; break;
            case 3: tx = y; ty = m_width - 1 - x; break;
            default: break;
            }
            const float* s = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
            std::copy(s, s + 4, &out.m_pixels[(static_cast<size_t>(ty) * out.m_width + tx) * 4]);
        }
    }
    return out;
}

SDL_Surface* CCanvas::ToSurface() const
{
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, m_width, m_height, 32, SDL_PIXELFORMAT_ABGR8888);
    if (surface == nullptr) {
        return nullptr;
    }
    for (int y = 0; y < m_height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        for (int x = 0; x < m_width; ++x) {
            const float* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
            const uint8_t alpha = ToByte(p[3]);
            uint8_t* out = row + x * 4;
            if (alpha == 0) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            out[0] = ToByte(p[0] / p[3]);
            out[1] = ToByte(p[1] / p[3]);
            out[2] = ToByte(p[2] / p[3]);
            out[3] = alpha;
        }
    }
    return surface;
}

}  // namespace resgen
