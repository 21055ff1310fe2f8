#include "graphics/glyph_manager.h"

#include "graphics/graphics_log.h"
#include "graphics/picture_budget.h"
#include "shell/app.h"

#include <algorithm>

namespace
{
const char* kCategory = "GlyphManager";
const char* kLookupCategory = "CGlyphManager";
const char* kFramePage = "display";
const uint32_t kPieceSize = 32;

uint32_t g_buttonFrameBuilds = 0;

int32_t Coordinate(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

CPoint At(int64_t x, int64_t y)
{
    return CPoint(Coordinate(x), Coordinate(y));
}

// A size that may come out negative when pieces are larger than the frame: nothing then.
uint32_t Extent(int64_t value)
{
    return uint32_t(std::clamp<int64_t>(value, 0, CZevralImage::kMaxSide));
}

void Place(CZevralImage& frame, const CZevralImage& piece, int64_t x, int64_t y)
{
    frame.CopyImage(At(x, y), piece, false);
}

// Copies the piece with its top-left corner at every position from..to (inclusive) along a row at
// height 'fixed' (horizontal) or a column at 'fixed'. The range is signed: a frame smaller than its
// two corners has an empty run. Only positions where the piece can reach the frame are visited.
void Run(CZevralImage& frame, const CZevralImage& piece, bool horizontal, int64_t fixed, int64_t from, int64_t to)
{
    if (piece.IsEmpty())
        return;
    const int64_t extent = horizontal ? piece.GetWidth() : piece.GetHeight();
    const int64_t limit = horizontal ? frame.GetWidth() : frame.GetHeight();
    from = std::max(from, 1 - extent);
    to = std::min(to, limit - 1);
    for (int64_t i = from; i <= to; ++i)
        Place(frame, piece, horizontal ? i : fixed, horizontal ? fixed : i);
}

// The corner turned a quarter at a time into the top right, bottom right and bottom left corners of
// a frame w x h, whose unturned corner measures cw x ch; the corner is left turned three times.
void PlaceTurnedCorners(CZevralImage& frame, CZevralImage& corner, int64_t w, int64_t h, int64_t cw, int64_t ch)
{
    corner.RotateQuarter(90);
    Place(frame, corner, w - cw, 0);
    corner.RotateQuarter(90);
    Place(frame, corner, w - cw, h - ch);
    corner.RotateQuarter(90);
    Place(frame, corner, 0, h - ch);
}

// The side piece run along the top, then turned a quarter at a time along the right, the bottom and
// the left of a frame w x h with corners cw x ch, each run starting runX or runY from its end.
void RunSides(CZevralImage& frame, CZevralImage side, int64_t w, int64_t h, int64_t cw, int64_t ch, int64_t runX,
              int64_t runY)
{
    Run(frame, side, true, 0, runX, w - cw - 1);
    side.RotateQuarter(90);
    Run(frame, side, false, w - cw, runY, h - ch - 1);
    side.RotateQuarter(90);
    Run(frame, side, true, h - ch, runX, w - cw - 1);
    side.RotateQuarter(90);
    Run(frame, side, false, 0, runY, h - ch - 1);
}

// A frame is drawn into a fresh image, so that it never depends on what its target held before.
CZevralImage FreshFrame(uint32_t width, uint32_t height, float bodyAlpha)
{
    CZevralImage frame;
    frame.Resize(width, height, true);
    frame.SetAlpha(bodyAlpha);
    return frame;
}
}  // namespace

CGlyphManager& CGlyphManager::Instance()
{
    static CGlyphManager instance;
    return instance;
}

uint32_t CGlyphManager::GetButtonFrameBuildCount()
{
    return g_buttonFrameBuilds;
}

void CGlyphManager::Load()
{
    const std::string resources = CApp::GetResourcesSharedPath();
    LoadFolder(resources.empty() ? std::string() : resources + "/glyphs");
}

void CGlyphManager::LoadFolder(const std::string& folder)
{
    m_pages.clear();
    m_buttonFrames.clear();
    m_fillFrames.clear();
    m_stripeMasks.clear();
    m_folder = folder;
    GraphicsLog(kCategory, "Loading from \"" + folder + "\"");
    LoadGlyphPages(folder, m_pages, std::make_shared<CPictureBudget>(), "gobo");
    LogPages();
}

void CGlyphManager::LogPages() const
{
    LogGlyphPages(kCategory, m_pages);
}

CGlyphPage* CGlyphManager::FindPage(const std::string& name) const
{
    return FindGlyphPage(m_pages, name);
}

CGlyphPage* CGlyphManager::GetPage(uint32_t index) const
{
    return index < m_pages.size() ? m_pages[index].get() : nullptr;
}

CZevralImage CGlyphManager::GetImage(const std::string& page, const std::string& name, uint32_t size) const
{
    CZevralImage image;
    const CGlyphPage* found = FindPage(page);
    if (!found)
        GraphicsLog(kLookupCategory, "Could not find \"" + page + "\" page");
    else
        found->GetImage(image, name, uint32_t(std::min<uint64_t>(uint64_t(size) * 2, UINT32_MAX)));
    return image;
}

void CGlyphManager::FindImage(CZevralImage& image, const std::string& page, const std::string& name,
                              uint32_t size) const
{
    const CGlyphPage* found = FindPage(page);
    if (!found)
        GraphicsLog(kLookupCategory, "Could not find \"" + page + "\" page");
    else
        found->GetImage(image, name, size);
}

bool CGlyphManager::GetColouredGlyph(CZevralImage& image, const std::string& page, const std::string& name,
                                     uint32_t width, uint32_t height, CRgbaColour colour, uint32_t sourceSize) const
{
    CGlyphPage* found = FindPage(page);
    return found && found->GetColouredGlyph(image, name, width, height, colour, sourceSize);
}

CImageSet* CGlyphManager::FindImageSet(const std::string& page, const std::string& name) const
{
    const CGlyphPage* found = FindPage(page);
    return found ? found->FindImageSet(name) : nullptr;
}

uint32_t CGlyphManager::GetImageCount(const std::string& page) const
{
    const CGlyphPage* found = FindPage(page);
    return found ? found->GetImageCount() : 0;
}

void CGlyphManager::GetButtonFrame(CZevralImage& image, uint32_t width, uint32_t height, bool on, bool down)
{
    for (const CFrameCacheEntry& entry : m_buttonFrames)
        if (uint32_t(entry.image.GetWidth()) == width && uint32_t(entry.image.GetHeight()) == height &&
            entry.on == uint8_t(on) && entry.down == uint8_t(down))
        {
            image = entry.image;
            return;
        }
    CZevralImage frame;
    BuildButtonFrame(frame, Coordinate(width), Coordinate(height), on, down);
    m_buttonFrames.push_back({frame, uint8_t(on), uint8_t(down)});
    image = std::move(frame);
}

void CGlyphManager::BuildButtonFrame(CZevralImage& frame, int32_t width, int32_t height, bool on, bool down) const
{
    const float bodyAlpha = on ? (down ? 1.0f : 0.65f) : 0.0f;
    frame = FreshFrame(uint32_t(width), uint32_t(height), bodyAlpha);
    const std::string state = std::string(on ? "_on" : "_off") + (down ? "_down" : "_up");
    CZevralImage corner, side;
    if (on && down)
    {
        // The pressed pieces are the narrow ones.
        FindImage(corner, kFramePage, "corner" + state, kPieceSize);
        FindImage(side, kFramePage, "side" + state, kPieceSize);
        GraphicsLog(kLookupCategory, "Get(display, corner_on_down) returns " + std::to_string(corner.GetWidth()) +
                                         "," + std::to_string(corner.GetHeight()));
    }
    else
    {
        corner = GetImage(kFramePage, "corner" + state, kPieceSize);
        side = GetImage(kFramePage, "side" + state, kPieceSize);
    }
    const int64_t w = width, h = height;
    const int64_t cw = corner.GetWidth(), ch = corner.GetHeight();

    Place(frame, corner, 0, 0);
    PlaceTurnedCorners(frame, corner, w, h, cw, ch);
    // The runs start where the corner, turned three times, ends.
    RunSides(frame, side, w, h, cw, ch, corner.GetWidth(), corner.GetHeight());
    ++g_buttonFrameBuilds;
}

void CGlyphManager::GetFillFrame(CZevralImage& image, uint32_t width, uint32_t height, bool down)
{
    for (const CFrameCacheEntry& entry : m_fillFrames)
        if (uint32_t(entry.image.GetWidth()) == width && uint32_t(entry.image.GetHeight()) == height &&
            entry.down == uint8_t(down))
        {
            image = entry.image;
            return;
        }
    CZevralImage frame;
    BuildFillFrame(frame, Coordinate(width), Coordinate(height), down);
    m_fillFrames.push_back({frame, 0, uint8_t(down)});
    image = std::move(frame);
}

void CGlyphManager::BuildFillFrame(CZevralImage& frame, int32_t width, int32_t height, bool down) const
{
    frame = FreshFrame(uint32_t(width), uint32_t(height), down ? 1.0f : 0.6f);
    const std::string state = down ? "_fill_down" : "_fill_up";
    CZevralImage corner = GetImage(kFramePage, "corner" + state, kPieceSize);
    CZevralImage side = GetImage(kFramePage, "side" + state, kPieceSize);
    const int64_t w = width, h = height;
    const int64_t cw = corner.GetWidth(), ch = corner.GetHeight();

    PlaceTurnedCorners(frame, corner, w, h, cw, ch);
    corner.RotateQuarter(90);
    Place(frame, corner, 0, 0);
    RunSides(frame, side, w, h, cw, ch, cw, ch);
}

void CGlyphManager::GetCaptionFrame(CZevralImage& image, uint32_t width, uint32_t height)
{
    CZevralImage frame = FreshFrame(width, height, 0.6f);
    CZevralImage corner = GetImage(kFramePage, "corner caption", kPieceSize);
    const int64_t cw = corner.GetWidth();
    Place(frame, corner, 0, 0);
    corner.RotateQuarter(90);
    Place(frame, corner, int64_t(width) - cw, 0);
    image = std::move(frame);
}

void CGlyphManager::BuildDisplayFrame(CZevralImage& top, CZevralImage& left, CZevralImage& bottom, uint32_t width,
                                      uint32_t height, uint32_t headerHeight)
{
    CZevralImage corner = GetImage(kFramePage, "corner_off_up", kPieceSize);
    CZevralImage side = GetImage(kFramePage, "side_off_up", kPieceSize);

    top.Resize(width, Extent(int64_t(headerHeight) + 2), false);
    top.SetAlpha(0.0f);
    Place(top, corner, 0, 0);
    Run(top, side, true, 0, corner.GetWidth(), int64_t(top.GetWidth()) - 1);

    bottom.Resize(width, uint32_t(corner.GetHeight()), false);
    corner.RotateQuarter(270);
    Place(bottom, corner, 0, 0);
    side.RotateQuarter(180);
    Run(bottom, side, true, 0, corner.GetWidth(), int64_t(bottom.GetWidth()) - 1);

    side.RotateQuarter(90);
    left.Resize(uint32_t(side.GetWidth()), Extent(int64_t(height) - top.GetHeight() - bottom.GetHeight()), false);
    Run(left, side, false, 0, 0, int64_t(left.GetHeight()) - 1);

    Run(top, side, false, 0, corner.GetHeight(), int64_t(top.GetHeight()) - 1);
    const int32_t separator = Coordinate(int64_t(headerHeight) + 1);
    top.DrawLine(CPoint(3, separator), CPoint(Coordinate(width), separator), CRgbaColour(208, 208, 208, 153));
}

void CGlyphManager::BuildFrameStrips(CZevralImage& top, CZevralImage& left, CZevralImage& bottom,
                                     CZevralImage& right, uint32_t width, uint32_t height)
{
    CZevralImage corner = GetImage(kFramePage, "corner_off_up", kPieceSize);
    CZevralImage side = GetImage(kFramePage, "side_off_up", kPieceSize);
    const int64_t w = width;
    const int64_t cw = corner.GetWidth(), ch = corner.GetHeight();

    top.Resize(width, uint32_t(ch), false);
    Place(top, corner, 0, 0);
    Run(top, side, true, 0, cw, w - cw - 1);
    corner.RotateQuarter(90);
    Place(top, corner, w - cw, 0);

    side.RotateQuarter(90);
    right.Resize(uint32_t(side.GetWidth()), Extent(int64_t(height) - 2 * int64_t(corner.GetHeight())), false);
    Run(right, side, false, 0, 0, int64_t(right.GetHeight()) - 1);

    bottom.Resize(width, uint32_t(corner.GetHeight()), false);
    corner.RotateQuarter(90);
    Place(bottom, corner, w - corner.GetWidth(), 0);
    corner.RotateQuarter(90);
    Place(bottom, corner, 0, 0);
    side.RotateQuarter(90);
    Run(bottom, side, true, 0, corner.GetWidth(), w - corner.GetWidth() - 1);

    side.RotateQuarter(90);
    left.Resize(uint32_t(side.GetWidth()), uint32_t(right.GetHeight()), false);
    Run(left, side, false, 0, 0, int64_t(left.GetHeight()) - 1);
}

void CGlyphManager::GetStripeMask(CZevralImage& image)
{
    for (const CZevralImage& mask : m_stripeMasks)
        if (mask.GetWidth() == image.GetWidth() && mask.GetHeight() == image.GetHeight())
        {
            image = mask;
            return;
        }
    image.FillStripes();
    m_stripeMasks.push_back(image);
}

uint32_t CGlyphManager::ClearCaches()
{
    m_buttonFrames.clear();
    m_fillFrames.clear();
    m_stripeMasks.clear();
    for (const auto& page : m_pages)
        page->ClearGlyphCache();
    return uint32_t(m_pages.size());
}

void CGlyphManager::LogDebugCount() const
{
    GraphicsLog(kCategory, "Debug: " + std::to_string(g_buttonFrameBuilds));
}
