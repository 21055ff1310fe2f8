// The root area's page switching, its notice of a change the link refused, and the image-backed
// page base.
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "model/core.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/pages/area_main.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"
#include "widgets/area_label.h"

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

TEST_F(RootArea, AChangeTheLinkRefusedIsToldOnceInTheUsersLanguageUntilTheQueueHasEmptied)
{
    auto languages = std::make_unique<CLanguageManagerDesktop>(std::string(TANZO_BINARY_DIR) + "/Resources",
                                                               FreshTestFolder("common").string(), CVersion(1, 7, 0));
    languages->SetLanguage("deutsch");
    CApp::SetLanguageManager(std::move(languages));
    CSilentNetwork network;
    CCoreSetup setup;
    setup.link.network = &network;
    setup.link.threads = false;
    setup.link.broadcastTargets = std::vector<CIpAddress>();
    setup.optionsFolder = FreshTestFolder().string();
    std::unique_ptr<CCore> core = CCore::Create(0, nullptr, setup);
    CDeviceManager& link = *core->GetDeviceManager();
    link.SetConnectedAddress(CIpAddress(10, 0, 0, 9));
    link.ClearQueue();
    auto owned = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
    CAreaMain& main = *owned;
    CPlayback& playback = *core->GetPlaybackManager()->GetPlayback(0);
    // Presses, each a record of its own, up to the queue's bound.
    const auto fill = [&] {
        CMessage press(MANAGER_PLAYBACK, COMMAND_SET_FLASH_DOWN);
        press.SetValue(CMessageValue(true));
        while (link.GetQueueLength() < COutgoingQueue::kMostInOrder)
            ASSERT_TRUE(link.QueueMessage(press));
    };
    const auto notice = [&]() -> std::string {
        CArea2* dialog = dynamic_cast<CDialogNotification*>(main.GetModalChild());
        for (uint32_t i = 0; dialog && i < dialog->GetChildCount(); ++i)
            if (const CAreaLabel* label = dynamic_cast<const CAreaLabel*>(dialog->GetChild(i)))
                return label->GetText();
        return "";
    };
    const auto close = [&] {
        main.GetModalChild()->SetResult(CArea2::kResultOk);
        main.Tick(0.04f);
    };

    fill();
    EXPECT_EQ(main.GetModalChild(), nullptr);
    playback.SetRepeat(1);
    EXPECT_EQ(notice(), "Zu viele \xC3\x84nderungen warten auf die Einheit.");
    close();
    playback.SetRepeat(1);
    EXPECT_EQ(main.GetModalChild(), nullptr) << "told once";
    link.ClearQueue();
    fill();
    playback.SetRepeat(1);
    EXPECT_NE(notice(), "") << "told again once the queue had emptied";

    owned.reset();
    core.reset();
    CApp::SetLanguageManager(nullptr);
}
