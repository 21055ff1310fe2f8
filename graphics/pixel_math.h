#pragma once

// Channel arithmetic on packed 0xAABBGGRR pixels for the image code. The results equal those of
// CRgbaColour's Blend, BlendRgb and FlattenAlpha; these work on raw words so that the compositing
// loops need not build colour objects per pixel.

#include <algorithm>
#include <cstdint>

namespace pixel
{
inline uint32_t Alpha(uint32_t p) { return p >> 24; }

inline uint32_t MixChannel(uint32_t a, uint32_t b, int shift, float t)
{
    const int ac = int((a >> shift) & 0xFF);
    const int bc = int((b >> shift) & 0xFF);
    const int c = ac + int(float(bc - ac) * t);
    return uint32_t(c & 0xFF) << shift;
}

// From a towards b by t, all four channels, truncating toward zero.
inline uint32_t Blend(uint32_t a, uint32_t b, float t)
{
    if (t <= 0.0f || a == b)
        return a;
    if (t >= 1.0f)
        return b;
    return MixChannel(a, b, 0, t) | MixChannel(a, b, 8, t) | MixChannel(a, b, 16, t) | MixChannel(a, b, 24, t);
}

// As Blend for red, green and blue; the alpha of a stays.
inline uint32_t BlendRgb(uint32_t a, uint32_t b, float t)
{
    if (t <= 0.0f || a == b)
        return a;
    if (t >= 1.0f)
        return (b & 0x00FFFFFFu) | (a & 0xFF000000u);
    return MixChannel(a, b, 0, t) | MixChannel(a, b, 8, t) | MixChannel(a, b, 16, t) | (a & 0xFF000000u);
}

// Colour times alpha, made opaque; an opaque colour is unchanged.
inline uint32_t Premultiply(uint32_t p)
{
    const uint32_t a = Alpha(p);
    if (a == 255)
        return p;
    const float fa = float(a) / 255.0f;
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
    {
        const float c = std::clamp(float((p >> shift) & 0xFF) / 255.0f * fa, 0.0f, 1.0f);
        result |= std::min(255u, uint32_t(c * 255.0f)) << shift;
    }
    return result;
}

// Source over target: a less opaque source tints the target by its alpha and keeps the target's
// alpha; otherwise the source wins, mixed by the share of the two alphas.
inline uint32_t Composite(uint32_t d, uint32_t s)
{
    const uint32_t sa = Alpha(s);
    const uint32_t da = Alpha(d);
    if (sa < da)
        return BlendRgb(d, s, float(sa) / 255.0f);
    if (da == 0 || sa == 255)
        return s;
    return Blend(d, s, float(sa) / float(sa + da));
}

inline uint32_t BlendOver(uint32_t d, uint32_t s)
{
    const uint32_t sa = Alpha(s);
    const uint32_t da = Alpha(d);
    if (da == 0 || sa == 255)
        return s;
    if (sa == 0)
        return d;
    return Blend(d, s, float(sa) / float(sa + da));
}
}  // namespace pixel
