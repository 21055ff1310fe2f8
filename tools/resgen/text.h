#pragma once

#include "tools/resgen/canvas.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

typedef struct _TTF_Font TTF_Font;

namespace resgen {

// Text drawn with the font the program ships, opened once per size and weight.
class CText
{
public:
    explicit CText(std::string fontPath);
    ~CText();
    CText(const CText&) = delete;
    CText& operator=(const CText&) = delete;

    struct Style
    {
        int size = 14;
        bool bold = false;
        float tracking = 0;  // extra pixels between letters
    };

    // Ink box of the text (left edge at the pen start, top at the line top).
    struct Ink
    {
        int advance = 0;  // pen advance of the whole text
        int top = 0;      // first and last inked row below the line top
        int bottom = 0;
    };

    Ink Measure(const std::string& text, const Style& style);
    // Draws centred on (cx, cy): horizontally by its advance, vertically by the capital line.
    void DrawCentred(CCanvas& canvas, const std::string& text, const Style& style, float cx,
                     float cy, const Rgba& colour);
    // Draws with the pen at x and the capital line centred vertically on cy.
    void DrawLeft(CCanvas& canvas, const std::string& text, const Style& style, float x, float cy,
                  const Rgba& colour);
    // Several lines, each centred, with the block centred on (cx, cy).
    void DrawLines(CCanvas& canvas, const std::vector<std::string>& lines, const Style& style,
                   float cx, float cy, float lineGap, const Rgba& colour);
    // The capital height of a size (for laying lines out evenly).
    int CapHeight(const Style& style);

private:
    struct Mask
    {
        std::vector<float> coverage;
        int width = 0;
        int height = 0;
        Ink ink;
    };

    TTF_Font* Font(const Style& style);
    Mask Render(const std::string& text, const Style& style);

    std::string m_path;
    std::map<std::pair<int, bool>, TTF_Font*> m_fonts;
};

}  // namespace resgen
