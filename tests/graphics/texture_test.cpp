#include "graphics/texture.h"
#include "graphics/texture_adapter.h"
#include "graphics/zevral_image.h"
#include "shell/app.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

using graphics_test::CRendererFixture;
using graphics_test::RandomImage;

namespace
{
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFF0000FFu;

using TextureTest = CRendererFixture;

uint32_t At(const CBaseImage& image, int x, int y)
{
    return image.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
}

// Draws every primitive into the view, each reaching its edges and beyond.
void DrawEverything(CBaseImage& view)
{
    const CZevralImage picture = RandomImage(300, 200, 17);
    const int w = view.GetWidth(), h = view.GetHeight();
    view.Fill(CRgbaColour(kRed));
    view.Fill(CRgbaColour(kRed), true);
    view.FillTranslucent(CRgbaColour(0x80FFFFFFu));
    view.CompositeImage(CPoint(-20, -20), picture);
    view.BlendImage(CPoint(w - 10, h - 10), picture);
    view.CopyImage(CPoint(-5, 3), picture, true);
    view.CopyImageRegion(CPoint(0, 0), picture, CRect(-10, -10, w + 20, h + 20));
    view.DrawLine(-100, -100, w + 100, h + 100, CRgbaColour(kRed));
    view.DrawRect(CRgbaColour(kRed), CRect(-1, -1, w + 2, h + 2));
    view.FillRect(CRgbaColour(kRed), CRect(-50, -50, w + 100, h + 100));
    view.DimRect(CRect(-50, -50, w + 100, h + 100));
    view.FillHatched(CRect(-3, -3, w + 6, h + 6), CRgbaColour(kBlack), 0);
    view.FillHatched(CRect(-3, -3, w + 6, h + 6), CRgbaColour(kBlack), 1);
    view.ScaleImage(picture, true);
    view.ScaleImage(picture, false);
    view.ScaleImageIntoRect(picture, CRect(-7, -7, w + 14, h + 14));
    for (int y = -2; y < std::min(h + 2, 60); ++y)
        for (int x = -2; x < std::min(w + 2, 80); ++x)
        {
            view.SetPixel(CPoint(x, y), CRgbaColour(kRed));
            view.SetPixel(uint32_t(x), uint32_t(y), view.GetPixel(uint32_t(x), uint32_t(y)));
            view.SetPixel(uint32_t(y * w + x), view.GetPixel(CPoint(x, y)));
        }
    CZevralImage out(40, 40);
    view.ExtractImage(out, CPoint(-3, -3));
    (void)view.Crop(CRect(-5, -5, 30, 30));
    if (auto* adapter = dynamic_cast<CTextureAdapter*>(&view))
    {
        *adapter = picture;
        adapter->CopyRegionTo(out, CRect(-9, -9, 60, 60));
    }
}
}  // namespace

TEST_F(TextureTest, CreateKeepsASameSizedTextureAndCountsNewOnes)
{
    CTexture texture;
    const uint32_t before = CApp::GetTextureCounter();
    EXPECT_TRUE(texture.Create(32, 16));
    SDL_Texture* first = texture.GetTexture();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CApp::GetTextureCounter(), before + 1);
    EXPECT_FALSE(texture.Create(32, 16));
    EXPECT_EQ(texture.GetTexture(), first);
    EXPECT_EQ(CApp::GetTextureCounter(), before + 1);

    uint32_t format = 0;
    int access = 0;
    SDL_QueryTexture(first, &format, &access, nullptr, nullptr);
    EXPECT_EQ(format, uint32_t(SDL_PIXELFORMAT_ABGR8888));
    EXPECT_EQ(access, int(SDL_TEXTUREACCESS_STREAMING));
    SDL_BlendMode mode;
    SDL_GetTextureBlendMode(first, &mode);
    EXPECT_EQ(mode, SDL_BLENDMODE_BLEND);

    EXPECT_TRUE(texture.Create(40, 16));
    EXPECT_EQ(CApp::GetTextureCounter(), before + 2);
    EXPECT_FALSE(texture.Create(0, 600));
    EXPECT_EQ(texture.GetTexture(), nullptr);
    EXPECT_EQ(texture.GetHeight(), 600);
    EXPECT_EQ(CApp::GetTextureCounter(), before + 2);
}

TEST_F(TextureTest, AViewPaintsIntoTheCanvasAtItsOrigin)
{
    CTexture canvas;
    ASSERT_TRUE(canvas.Create(64, 48));
    ASSERT_TRUE(canvas.Lock());
    CTextureAdapter whole(canvas);
    CTextureAdapter screen(CRect(0, 0, canvas.GetWidth(), canvas.GetHeight()), whole);
    screen.Fill(CRgbaColour(kBlack));
    CTextureAdapter area(CRect(10, 20, 30, 20), screen);
    area.SetPixel(0u, 0u, CRgbaColour(kRed));
    area.FillRect(CRgbaColour(0xFF00FF00u), CRect(29, 19, 5, 5));
    canvas.Unlock();
    EXPECT_EQ(canvas.GetPixels(), nullptr);

    // What the renderer shows is SDL's own read-back of the window.
    ASSERT_EQ(SDL_RenderClear(m_renderer), 0);
    ASSERT_EQ(SDL_RenderCopy(m_renderer, canvas.GetTexture(), nullptr, nullptr), 0);
    std::vector<uint32_t> shown(64 * 48);
    ASSERT_EQ(SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, shown.data(), 64 * 4), 0);
    EXPECT_EQ(shown[20 * 64 + 10], kRed);
    EXPECT_EQ(shown[20 * 64 + 11], kBlack);
    EXPECT_EQ(shown[39 * 64 + 39], 0xFF00FF00u);
    EXPECT_EQ(shown[39 * 64 + 40], kBlack);
    EXPECT_EQ(shown[40 * 64 + 39], kBlack);
}

TEST(TextureAdapter, ViewAddressingAndOutOfRangeReads)
{
    CZevralImage canvas(768, 100);
    canvas.Fill(CRgbaColour(0u));
    CTextureAdapter whole(canvas);
    CTextureAdapter view(CRect(10, 20, 30, 40), whole);
    EXPECT_EQ(view.GetWindow(), CRect(10, 20, 768, 100));
    view.SetPixel(CPoint(0, 0), CRgbaColour(kRed));
    EXPECT_EQ(canvas.GetPixel(20u * 768 + 10).GetValue(), kRed);
    view.SetPixel(31u, CRgbaColour(kBlack));  // index 31: (1, 1)
    EXPECT_EQ(At(canvas, 11, 21), kBlack);

    EXPECT_EQ(view.GetPixel(CPoint(30, 0)).GetValue(), 0u);
    EXPECT_EQ(view.GetPixel(0u, 40u).GetValue(), 0u);
    EXPECT_EQ(view.GetPixel(30u * 40).GetValue(), kBlack);
    EXPECT_EQ(view.GetRow(40), nullptr);
    EXPECT_EQ(view.GetRow(0), canvas.GetRow(20) + 10);

    // Copying a 50-wide image into the 30-wide view copies 30 pixels of each row.
    CZevralImage wide = RandomImage(50, 2, 5);
    view = wide;
    EXPECT_EQ(At(canvas, 39, 21), At(wide, 29, 1));
    EXPECT_EQ(At(canvas, 40, 21), 0u);
    EXPECT_EQ(At(canvas, 10, 22), 0u);  // the image has two rows only

    CZevralImage region(4, 4);
    view.CopyRegionTo(region, CRect(0, 0, 10, 10));
    EXPECT_EQ(At(region, 0, 0), At(wide, 0, 0));
    EXPECT_EQ(At(region, 3, 1), At(wide, 3, 1));
    EXPECT_EQ(At(region, 3, 3), 0u);
}

TEST(TextureAdapter, ViewsOverTheEdgeNeverWriteOutsideTheCanvas)
{
    // Each canvas is exactly its own allocation, so a stray write shows under AddressSanitizer;
    // the pixels outside each view's visible part must also stay as they were.
    const CRect views[] = {CRect(-20, -20, 40, 30),  CRect(50, 30, 40, 40),       CRect(2000, 0, 30, 30),
                           CRect(0, -500, 64, 20),   CRect(-5, 10, 4096, 4096),   CRect(60, -3, 4, 100),
                           CRect(0, 0, 64, 48),      CRect(INT32_MIN, 0, 30, 30), CRect(10, 10, 0, 0)};
    for (const CRect& rect : views)
    {
        CZevralImage canvas(64, 48);
        canvas.Fill(CRgbaColour(0x12345678u));
        CTextureAdapter whole(canvas);
        CTextureAdapter view(rect, whole);
        DrawEverything(view);
        CTextureAdapter child(CRect(rect.GetX() + 3, rect.GetY() - 7, rect.GetWidth(), rect.GetHeight() + 20), view);
        DrawEverything(child);

        const CRect visible = view.GetVisibleRect() + rect.GetPosition();
        const CRect childVisible = child.GetVisibleRect() + child.GetWindow().GetPosition();
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
            {
                if (!visible.Contains(CPoint(x, y)) && !childVisible.Contains(CPoint(x, y)))
                {
                    ASSERT_EQ(At(canvas, x, y), 0x12345678u) << x << "," << y << " view " << rect.GetX() << ","
                                                             << rect.GetY();
                }
            }
    }
}

TEST(TextureAdapter, AViewOverTheEdgeKeepsItsLocalCoordinates)
{
    CZevralImage canvas(20, 10);
    canvas.Fill(CRgbaColour(0u));
    CTextureAdapter whole(canvas);
    CTextureAdapter view(CRect(-5, -2, 10, 6), whole);
    EXPECT_EQ(view.GetVisibleRect(), CRect(5, 2, 5, 4));
    EXPECT_EQ(view.GetRow(3), nullptr);  // part of the row lies off the canvas
    view.Fill(CRgbaColour(kRed));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(At(canvas, x, y), x < 5 && y < 4 ? kRed : 0u) << x << "," << y;
    // Local (7, 3) is canvas (2, 1).
    CZevralImage green(1, 1);
    green.Fill(CRgbaColour(0xFF00FF00u));
    view.CompositeImage(CPoint(7, 3), green);
    EXPECT_EQ(At(canvas, 2, 1), 0xFF00FF00u);
    view.SetPixel(CPoint(6, 2), CRgbaColour(kBlack));
    EXPECT_EQ(At(canvas, 1, 0), kBlack);
    EXPECT_EQ(view.GetPixel(CPoint(1, 1)).GetValue(), 0u);
    EXPECT_EQ(view.GetPixel(11u).GetValue(), kBlack);
}

TEST(TextureAdapter, ANewViewOfAViewCoversTheSamePixels)
{
    CZevralImage canvas(20, 10);
    canvas.Fill(CRgbaColour(0u));
    CTextureAdapter whole(canvas);
    CTextureAdapter view(CRect(3, 4, 5, 5), whole);
    CTextureAdapter again(static_cast<const CBaseImage&>(view));
    again.SetPixel(0u, 0u, CRgbaColour(kRed));
    EXPECT_EQ(At(canvas, 3, 4), kRed);
}

TEST_F(TextureTest, ATextureThatCannotBeMadeOrLockedDrawsNothing)
{
    CApp::SetRenderer(nullptr);
    CTexture canvas;
    EXPECT_TRUE(canvas.Create(64, 48));
    EXPECT_EQ(canvas.GetTexture(), nullptr);
    EXPECT_FALSE(canvas.Lock());
    EXPECT_EQ(canvas.GetWidth(), 0);
    CTextureAdapter whole(canvas);
    CTextureAdapter screen(CRect(0, 0, 64, 48), whole);
    DrawEverything(screen);
    DrawEverything(canvas);
    canvas.Unlock();
    EXPECT_EQ(canvas.GetWidth(), 64);
    DrawEverything(canvas);
    CApp::SetRenderer(m_renderer);
}

TEST_F(TextureTest, UploadAndLoadFillTextures)
{
    const CZevralImage picture = RandomImage(9, 7, 8);
    CTexture texture;
    texture.Upload(picture);
    ASSERT_NE(texture.GetTexture(), nullptr);
    ASSERT_TRUE(texture.Lock());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(At(texture, x, y), At(picture, x, y));
    texture.Unlock();

    CTempFolder folder;
    ASSERT_TRUE(graphics_test::SavePng(picture, folder / "p.png"));
    CTexture loaded;
    EXPECT_TRUE(loaded.Load(folder / "p.png"));
    EXPECT_NE(loaded.GetTexture(), nullptr);
    EXPECT_EQ(loaded.GetWidth(), 9);
    testing::internal::CaptureStdout();
    folder.Write("bad.png", "nothing");
    EXPECT_FALSE(loaded.Load(folder / "bad.png"));
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("IMG_Load error: ", 0), 0u);
    EXPECT_NE(loaded.GetTexture(), nullptr);
    // Refused before SDL_image is reached, as an image refuses it.
    testing::internal::CaptureStdout();
    folder.Write("wide.png", graphics_test::PngDeclaring(2049, 2048));
    EXPECT_FALSE(loaded.Load(folder / "wide.png"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "IMG_Load error: declares 2049 x 2048 pixels, more than the 4194304 a picture may have\n");
    EXPECT_EQ(loaded.GetWidth(), 9);
}

namespace
{
// Pixels whose rows are padded, as a renderer may hand them out when a texture is locked.
class CPaddedImage : public CBaseImage
{
public:
    CPaddedImage(uint32_t width, uint32_t height, uint32_t stride) : m_buffer(size_t(stride) * height, 0u)
    {
        SetView(m_buffer.data(), width, height, stride);
    }
    std::vector<uint32_t> m_buffer;
};
}  // namespace

TEST(TextureAdapter, PaddedRowsAreSteppedByTheirStride)
{
    CPaddedImage padded(7, 4, 10);
    padded.Fill(CRgbaColour(kRed));
    for (int y = 0; y < 4; ++y)
        for (int x = 7; x < 10; ++x)
            EXPECT_EQ(padded.m_buffer[size_t(y) * 10 + x], 0u);  // the padding stays untouched
    CTextureAdapter whole(padded);
    EXPECT_EQ(whole.GetWindow().GetWidth(), 10);
    CTextureAdapter view(CRect(5, 1, 4, 2), whole);
    view.Fill(CRgbaColour(kBlack));
    EXPECT_EQ(padded.m_buffer[1 * 10 + 5], kBlack);
    EXPECT_EQ(padded.m_buffer[2 * 10 + 8], kBlack);
    EXPECT_EQ(padded.m_buffer[2 * 10 + 4], kRed);
    EXPECT_EQ(padded.GetPixel(CPoint(6, 2)).GetValue(), kBlack);
    EXPECT_EQ(padded.GetPixel(20u).GetValue(), kBlack);  // index 20 is (6, 2) of a 7-wide image
    EXPECT_EQ(padded.GetPixel(27u).GetValue(), kRed);
}
