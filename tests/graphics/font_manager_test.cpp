#include "graphics/font_manager.h"
#include "graphics/text_renderer.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

#include <fstream>

using graphics_test::kFontPath;

namespace
{
void CopyFile(const std::string& from, const std::string& to, size_t limit = std::string::npos)
{
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(to, std::ios::binary) << bytes.substr(0, limit);
}

class FontManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::ifstream probe(kFontPath);
        if (!probe)
            GTEST_SKIP() << "no system font at " << kFontPath;
        CopyFile(kFontPath, m_folder / "arial.ttf");
        CopyFile(kFontPath, m_folder / "Twice.otf");
        CopyFile(kFontPath, m_folder / "twice.ttf");
        CopyFile(kFontPath, m_folder / "broken.ttf", 100);
        m_folder.Write("OFL.txt", "licence");
        m_manager.ScanFolder(m_folder.Path());
    }

    CTempFolder m_folder;
    CFontManager m_manager;
};
}  // namespace

TEST_F(FontManagerTest, ListsFontFilesByKindInOrder)
{
    EXPECT_EQ(m_manager.GetFontFileCount(), 4u);
    // ".ttf" files come before ".otf" ones, whatever the folder's own order.
    EXPECT_EQ(m_manager.GetFontFileName(uint32_t(m_manager.FindFontFile("TWICE"))), "twice.ttf");
    EXPECT_EQ(m_manager.GetFontFileName(3), "Twice.otf");
    EXPECT_EQ(m_manager.GetFontFileName(4), "");
    EXPECT_EQ(m_manager.FindFontFile("OFL"), -1);
    EXPECT_EQ(m_manager.FindFontFile("arial.ttf"), -1);

    m_manager.ScanFolder(m_folder / "missing");
    EXPECT_EQ(m_manager.GetFontFileCount(), 0u);
    EXPECT_EQ(m_manager.FindFontFile("arial"), -1);

    // A folder of more fonts than a start lists: the first of each kind by name, until the count.
    CTempFolder many;
    for (size_t i = 0; i < CFontManager::kMostFontFiles; ++i)
        many.Write("f" + std::to_string(100 + i) + ".ttf", "");
    many.Write("z.fon", "");
    m_manager.ScanFolder(many.Path());
    EXPECT_EQ(m_manager.GetFontFileCount(), CFontManager::kMostFontFiles);
    EXPECT_EQ(m_manager.GetFontFileName(0), "z.fon");
    EXPECT_EQ(m_manager.GetFontFileName(1), "f100.ttf");
    EXPECT_EQ(m_manager.FindFontFile("f" + std::to_string(100 + CFontManager::kMostFontFiles - 1)), -1);
}

TEST_F(FontManagerTest, OpensEachNameAndSizeOnce)
{
    testing::internal::CaptureStdout();
    TTF_Font* small = m_manager.GetFont("arial", 14);
    TTF_Font* again = m_manager.GetFont("Arial", 14);
    TTF_Font* large = m_manager.GetFont("arial", 28);
    TTF_Font* none = m_manager.GetFont("helvetica", 14);
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string path = m_folder / "arial.ttf";
    EXPECT_EQ(printed, "TTF_OpenFont(" + path + ", 14)\nTTF_OpenFont(" + path + ", 28)\n");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(again, small);
    EXPECT_NE(large, small);
    EXPECT_EQ(none, nullptr);
    EXPECT_STREQ(TTF_FontFaceFamilyName(small), "Liberation Sans");
    EXPECT_EQ(TTF_FontHeight(large) > TTF_FontHeight(small), true);
}

TEST_F(FontManagerTest, AFontThatCannotBeOpenedIsRememberedAsMissing)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(m_manager.GetFont("broken", 14), nullptr);
    EXPECT_EQ(m_manager.GetFont("BROKEN", 14), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "TTF_OpenFont(" + (m_folder / "broken.ttf") + ", 14)\n");
}

TEST_F(FontManagerTest, EntriesCompareByPathAndSize)
{
    testing::internal::CaptureStdout();
    CFontEntry a(m_folder / "arial.ttf", 10);
    CFontEntry b(m_folder.Path() + "//arial.ttf", 10);
    CFontEntry c(m_folder / "arial.ttf", 11);
    CFontEntry d(m_folder / "twice.ttf", 10);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(a.GetName(), "arial");
    EXPECT_TRUE(a == b);  // the same path, written with a doubled separator
    EXPECT_TRUE(a != c);
    EXPECT_TRUE(a != d);
}

TEST_F(FontManagerTest, TextIsMeasuredAndRenderedAsSdlTtfDoes)
{
    testing::internal::CaptureStdout();
    TTF_Font* font = m_manager.GetFont("arial", 14);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(font, nullptr);

    int32_t width = -1, height = -1;
    MeasureText(font, "Ok Cancel", width, height);
    int w = 0, h = 0;
    TTF_SizeUTF8(font, "Ok Cancel", &w, &h);
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, TTF_FontLineSkip(font));
    MeasureText(nullptr, "Ok", width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);

    const CRgbaColour colour(255, 200, 40, 255);
    CZevralImage text;
    ASSERT_TRUE(RenderText(font, "Ok Cancel", colour, text));
    SDL_Surface* reference = TTF_RenderUTF8_Blended(font, "Ok Cancel", {255, 200, 40, 255});
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(reference, SDL_PIXELFORMAT_ABGR8888, 0);
    ASSERT_EQ(text.GetWidth(), converted->w);
    ASSERT_EQ(text.GetHeight(), converted->h);
    for (int y = 0; y < converted->h; ++y)
        ASSERT_EQ(memcmp(text.GetRow(uint32_t(y)), static_cast<uint8_t*>(converted->pixels) + y * converted->pitch,
                         size_t(converted->w) * 4),
                  0)
            << "row " << y;

    // Drawn onto an opaque background it agrees with SDL's own blending of the same text.
    CZevralImage canvas(converted->w, converted->h);
    canvas.Fill(CRgbaColour(20, 40, 90, 255));
    std::vector<uint8_t> expected(size_t(converted->w) * converted->h * 3);
    for (size_t i = 0; i < expected.size(); i += 3)
        expected[i] = 20, expected[i + 1] = 40, expected[i + 2] = 90;
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormatFrom(expected.data(), converted->w, converted->h, 24,
                                                             converted->w * 3, SDL_PIXELFORMAT_RGB24);
    SDL_SetSurfaceBlendMode(reference, SDL_BLENDMODE_BLEND);
    ASSERT_EQ(SDL_BlitSurface(reference, nullptr, target, nullptr), 0);
    canvas.CompositeImage(text);
    int worst = 0, inked = 0;
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x)
        {
            const uint32_t p = canvas.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
            const uint8_t* e = &expected[(size_t(y) * converted->w + x) * 3];
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(int((p >> (8 * c)) & 0xFF) - int(e[c])));
            inked += p != CRgbaColour(20, 40, 90, 255).GetValue();
        }
    EXPECT_LE(worst, 2);
    EXPECT_GT(inked, 50);
    SDL_FreeSurface(target);
    SDL_FreeSurface(converted);
    SDL_FreeSurface(reference);

    CZevralImage untouched(3, 3);
    EXPECT_FALSE(RenderText(font, "", colour, untouched));
    EXPECT_FALSE(RenderText(nullptr, "Ok", colour, untouched));
    EXPECT_EQ(untouched.GetWidth(), 3);
}
