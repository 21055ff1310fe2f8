// The root area's page switching and the image-backed page base.
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "screens/pages/area_main.h"

#include <gtest/gtest.h>

namespace
{
struct RootArea : ::testing::Test
{
    static void SetUpTestSuite()
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
    }
    bool Shown(uint32_t page) const { return root.GetPage(page) && root.GetPage(page)->IsVisible(); }

    CAreaMain root{nullptr, 768, 1024, nullptr};
};
}

TEST_F(RootArea, PagesAreBuiltWhenFirstShownAndThenKept)
{
    EXPECT_TRUE(Shown(CAreaMain::kPagePlayback));
    EXPECT_EQ(root.GetChildCount(), 1u);
    root.SetPage(CAreaMain::kPagePatch);
    CArea2* patch = root.GetPage(CAreaMain::kPagePatch);
    root.SetPage(CAreaMain::kPagePlayback);
    EXPECT_TRUE(Shown(CAreaMain::kPagePlayback) && !Shown(CAreaMain::kPagePatch));
    root.SetPage(CAreaMain::kPagePatch);
    EXPECT_EQ(root.GetChild(1), patch);
    EXPECT_EQ(root.GetChildCount(), 2u);
    // The same index does nothing, even when the page was hidden some other way.
    patch->SetVisible(false);
    root.SetPage(CAreaMain::kPagePatch);
    EXPECT_FALSE(patch->IsVisible());
    root.SetPage(CAreaMain::kPageCount);
    EXPECT_FALSE(Shown(CAreaMain::kPagePlayback) || Shown(CAreaMain::kPagePatch));
}

TEST_F(RootArea, APageIsTheRootsSizeAndShowsItsBackgroundUnscaled)
{
    EXPECT_EQ(root.GetPage(CAreaMain::kPagePlayback)->GetRect(), CRect(0, 0, 768, 1024));
    CZevralImage canvas(768, 1024);
    root.Render(CTextureAdapter(canvas), CPoint(), false);
    // Where no control of the page lies.
    const CZevralImage background = CSkinManager::Instance().GetImage("background_playback", 32);
    for (const CPoint& p : {CPoint(5, 5), CPoint(300, 12), CPoint(200, 900), CPoint(767, 1023)})
        EXPECT_EQ(canvas.GetPixel(p), background.GetPixel(p)) << p.ToString();
}
