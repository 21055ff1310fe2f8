#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct SDL_Surface;

namespace resgen {

// A colour with straight (not premultiplied) channels in 0..1.
struct Rgba
{
    float r = 0, g = 0, b = 0, a = 0;
    Rgba() = default;
    Rgba(float red, float green, float blue, float alpha = 1.0f) : r(red), g(green), b(blue), a(alpha) {}
    static Rgba Bytes(int red, int green, int blue, int alpha = 255)
    {
        return Rgba(red / 255.0f, green / 255.0f, blue / 255.0f, alpha / 255.0f);
    }
    Rgba WithAlpha(float alpha) const { return Rgba(r, g, b, alpha); }
    Rgba Scaled(float k) const { return Rgba(r * k, g * k, b * k, a); }
    static Rgba Mix(const Rgba& x, const Rgba& y, float t);
};

// A shape: the signed distance in pixels from a point to its outline (negative inside), and
// the box outside of which the distance is positive (only that box is ever visited).
struct Shape
{
    std::function<float(float x, float y)> distance;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float operator()(float x, float y) const { return distance(x, y); }
};
// Colour of a paint at a point (gradients); plain colours wrap into it.
using Paint = std::function<Rgba(float x, float y)>;

Paint Solid(const Rgba& colour);
Paint VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom);
Paint RadialGradient(float cx, float cy, float radius, const Rgba& inner, const Rgba& outer);

Shape RoundRect(float x, float y, float w, float h, float radius);
Shape Circle(float cx, float cy, float radius);
Shape Capsule(float x0, float y0, float x1, float y1, float radius);
Shape Polygon(std::vector<float> xy);  // x0, y0, x1, y1, ... (any winding, non-zero fill)
Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
Shape Outline(Shape s, float width);  // a band of the given width centred on the outline
Shape Inset(Shape s, float by);       // positive shrinks

// A floating-point RGBA picture, premultiplied, in which every piece of art is drawn before
// it is quantised once into 8-bit RGBA. Pixel (x, y) covers [x, x + 1) x [y, y + 1).
class CCanvas
{
public:
    CCanvas(int width, int height);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    void Clear(const Rgba& colour = Rgba());
    // Covers the shape with the paint (source over), anti-aliased over one pixel.
    void Fill(const Shape& shape, const Paint& paint, float opacity = 1.0f);
    void Fill(const Shape& shape, const Rgba& colour) { Fill(shape, Solid(colour)); }
    void FillRect(int x, int y, int w, int h, const Rgba& colour);
    // Source-over of another canvas at an integer offset, with an opacity.
    void Draw(const CCanvas& source, int x, int y, float opacity = 1.0f);
    // Source-over of a coverage mask (0..1 per pixel) in one colour.
    void DrawMask(const std::vector<float>& mask, int maskWidth, int maskHeight, int x, int y,
                  const Rgba& colour);
    // A soft shadow or glow: the shape in the colour, blurred, moved, drawn over what is there.
    void Glow(const Shape& shape, const Rgba& colour, float blurRadius, int dx = 0, int dy = 0);

    // Premultiplied channel access for the few pieces that are written value by value.
    void SetPixel(int x, int y, const Rgba& straight);
    Rgba GetPixel(int x, int y) const;  // straight

    void BoxBlur(int radius, int passes);
    // Copies out a rectangle; the result is a canvas of that size.
    CCanvas Crop(int x, int y, int w, int h) const;
    // Rotates by quarter turns clockwise.
    CCanvas RotateQuarter(int turns) const;

    // 8-bit RGBA, straight alpha, bytes R, G, B, A (SDL's ABGR8888), rounded to nearest.
    SDL_Surface* ToSurface() const;

private:
    void Blend(int x, int y, float r, float g, float b, float a);  // premultiplied source over

    int m_width;
    int m_height;
    std::vector<float> m_pixels;  // premultiplied r, g, b, a
};

}  // namespace resgen
