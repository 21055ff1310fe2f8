// The patch page as the operator works it: tiles selected by dragging, and the fixture buttons
// and their dialogs, each checked by the records that reach the controller and by what the tiles
// show once the controller has answered.
#include "graphics/font_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "link/device_manager.h"
#include "link/udp_socket.h"
#include "model/fixture_manager.h"
#include "model/fixture_selection.h"
#include "screens/dialogs/dialog_address.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/dialogs/dialog_personality.h"
#include "screens/pages/area_main.h"
#include "screens/pages/area_patch.h"
#include "tests/model/patch_test_support.h"
#include "tests/screens/patch_library.h"
#include "tests/support/test_folder.h"
#include "tests/support/user_language.h"
#include "widgets/area_button.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

using namespace patchtest;

namespace
{
class CNowhere : public CUdpNetwork
{
public:
    std::unique_ptr<CUdpSocket> Open(uint16_t) override { return nullptr; }
};

// The fixtures' records go to the test, which stands for the controller.
class PatchPage : public ::testing::Test, public CMessageSink
{
protected:
    bool QueueMessage(const CMessage& message) override { return sent.push_back(message), true; }
    // The controller answers a Set by its Get; a cleared slot reports no address and no options.
    void Answer()
    {
        for (const CMessage& m : sent)
            if (const uint32_t c = m.GetCommand(); c == COMMAND_CLEAR || (c >= COMMAND_SET_LABEL && c % 2 == 0))
                fixtures.HandleMessage(Record(MANAGER_FIXTURE, c == COMMAND_CLEAR ? COMMAND_GET_PROPERTIES : c - 1,
                                              m.GetIndex0(), c == COMMAND_CLEAR ? CMessageValue(0u) : m.GetValueRef()));
        sent.clear();
    }
    // "slot:value" of every record of the command, in order.
    std::vector<std::string> Sent(uint32_t command) const
    {
        std::vector<std::string> found;
        for (const CMessage& m : sent)
            if (m.GetCommand() == command)
                found.push_back(std::to_string(m.GetIndex0()) + ":" + m.GetValueRef().ToText());
        return found;
    }

    // Before the root is built: its playback page keeps pointers into the skin's pictures, which
    // a reload would free under it.
    static void SetUpTestSuite()
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
    }
    PatchPage()
    {
        SetClickSoundListener([](const std::string&) {});
        patch_library::Load(library);
        fixtures.Init(&library, this);
        page = root.AddChild(std::make_unique<CAreaPatch>(&root, &fixtures, &library, &devices, &selection));
        // The page stands in for the root's own patch page: the playback page gives way to it.
        root.GetPage(CAreaMain::kPagePlayback)->SetVisible(false);
    }
    ~PatchPage() override { SetClickSoundListener(nullptr); }

    // What the controller reports of a slot: its personality and address.
    void Patched(uint32_t slot, const CPersonalityRef& personality, uint32_t address = 0)
    {
        fixtures.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_PERSONALITY, slot, CMessageValue(personality.ToCsv())));
        fixtures.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, slot, CMessageValue(address)));
    }
    CPoint Tile(uint32_t slot) const { return page->GetTile(slot)->GetRect().GetCentre(); }
    void Pointer(int event, const CPoint& at)
    {
        bool handled = false;
        event == 0 ? root.PointerDown(0, at, 1, &handled) : event == 1 ? root.PointerMove(0, at) : root.PointerUp(0, at, &handled);
    }
    // A press on the first tile, dragged over the others, let go on the last.
    void Drag(const std::vector<uint32_t>& slots)
    {
        Pointer(0, Tile(slots.front()));
        for (uint32_t slot : slots)
            Pointer(1, Tile(slot));
        Pointer(2, Tile(slots.back()));
    }
    CAreaButton* Button(const std::string& caption) const
    {
        for (uint32_t i = 0; i < page->GetChildCount(); ++i)
            if (auto* button = dynamic_cast<CAreaButton*>(page->GetChild(i)); button && button->GetCaption() == caption)
                return button;
        ADD_FAILURE() << caption;
        return nullptr;
    }
    void Click(const std::string& caption) { Pointer(0, Button(caption)->GetRect().GetCentre()), Pointer(2, CPoint()); }
    void Key(uint32_t key)
    {
        bool down = false, up = false;
        root.KeyDown(key, &down), root.KeyUp(key, &up);
    }
    void Type(const std::string& keys)
    {
        for (char key : keys)
            Key(uint32_t(uint8_t(key)));
    }
    template <class T>
    T* Dialog() const { return dynamic_cast<T*>(page->GetModalChild()); }
    // Ends the open dialog by a key and lets the page take its result.
    void Close(uint32_t key) { Key(key), root.Tick(0.04f); }
    std::vector<uint32_t> Selected() const
    {
        std::vector<uint32_t> slots;
        for (uint32_t slot = 0; slot < CAreaPatch::kTileCount; ++slot)
            if (page->GetTile(slot)->IsSelected())
                slots.push_back(slot);
        return slots;
    }

    std::vector<CMessage> sent;
    CPersonalityManager library;
    CFixtureManager fixtures;
    CSelectionFixture selection;
    CNowhere network;
    // No threads and no broadcasts: the test says whether a unit is connected.
    CDeviceManager devices{CLinkSetup{&network, nullptr, std::nullopt, std::vector<CIpAddress>(), 16945, false}};
    CAreaMain root{nullptr, 768, 1024, nullptr};
    // Made once the skin gives the buttons their sizes.
    CAreaPatch* page = nullptr;

    const CPersonalityRef spot{"Brightline", "Spot 250", "Extended", "01022203230405060708090A0B0C0D0E"};
    const CPersonalityRef wash{"Generic 01", "Wash", "", "0102030405060708"};
    const CPersonalityRef scanner{"Dazzle", "Scanner", "", "02030910"};
};
}  // namespace

TEST_F(PatchPage, DraggingSelectsARectangleOfTilesAndLightsTheFixtureButtons)
{
    Drag({0, 9, 10});
    EXPECT_EQ(Selected(), std::vector<uint32_t>({0, 1, 2, 8, 9, 10}));
    for (const char* caption : {"PERSONALITY", "RENAME", "ADDRESS", "CLEAR", "INVERT PAN", "INVERT TILT",
                                "SWAP PAN/TILT", "VIRTUAL DIMMER"})
        EXPECT_TRUE(Button(caption)->IsOn()) << caption;
    // Moves after the release select nothing; a drag from a selected tile takes tiles away.
    Pointer(1, Tile(20)), Drag({9, 10});
    EXPECT_EQ(Selected(), std::vector<uint32_t>({0, 1, 2, 8}));
    Key(8);
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(Button("CLEAR")->IsOn());
    // With nothing selected only the page buttons act.
    for (const char* caption : {"PERSONALITY", "RENAME", "ADDRESS", "CLEAR", "INVERT PAN"})
        Click(caption);
    EXPECT_EQ(page->GetModalChild(), nullptr);
    EXPECT_TRUE(sent.empty());
    Click("OPTIONS");
    EXPECT_EQ(root.GetPageIndex(), CAreaMain::kPageSettings);
    Key(27);  // the PATCH key
    EXPECT_EQ(root.GetPageIndex(), CAreaMain::kPagePlayback);
}

TEST_F(PatchPage, WithoutAUnitTheFixtureButtonsOnlySaySo)
{
    Drag({0, 1});
    for (const char* caption : {"PERSONALITY", "RENAME", "ADDRESS", "CLEAR", "INVERT PAN", "INVERT TILT",
                                "SWAP PAN/TILT", "VIRTUAL DIMMER"})
    {
        Click(caption);
        ASSERT_NE(Dialog<CDialogNotification>(), nullptr) << caption;
        Close(27);
    }
    EXPECT_EQ(page->GetModalChild(), nullptr);
    EXPECT_TRUE(sent.empty());
    // Nor was the selection told to start afresh: a press adds to it.
    Drag({5});
    EXPECT_EQ(Selected(), std::vector<uint32_t>({0, 1, 5}));
}

TEST_F(PatchPage, ALongTranslationStaysInsideEachKeyAndTheOkOfItsNotice)
{
    // A language of the user's own that makes every caption a sentence.
    CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
    const boost::filesystem::path common = FreshTestFolder();
    std::map<std::string, std::string> phrases;
    for (const char* caption : {"PATCH", "OPTIONS", "INVERT PAN", "INVERT TILT", "SWAP PAN/TILT", "VIRTUAL DIMMER",
                                "PERSONALITY", "RENAME", "ADDRESS", "CLEAR", "OK"})
        phrases[caption] = caption + std::string(" \xC3\x9C" "bernehmen und best\xC3\xA4tigen, dann schlie\xC3\x9F"
                                                 "en ohne weitere R\xC3\xBC" "ckfrage an den Bediener");
    WriteUserLanguage(common, "Lang", phrases);
    auto languages = std::make_unique<CLanguageManagerDesktop>("", common.string(), CVersion(1, 7, 0));
    languages->SetLanguage("Lang");
    CApp::SetLanguageManager(std::move(languages));
    page->SetVisible(false), page->SetVisible(true);

    CZevralImage canvas(768, 1024);
    const CTextureAdapter whole(canvas);
    const auto render = [&] {
        root.SetDirty();
        root.Render(CTextureAdapter(root.GetRect(), whole), CPoint(0, 0), false);
        return canvas;
    };
    // What a caption draws: the pixels that change when it is set on a key drawn without one.
    // None of them may lie in the margin of the key (its lamp and border) around the inner box,
    // nor in what the picture leaves clear on its right (the options key, beside the lamp).
    const auto drawnOutside = [&](CAreaButton* key, const CPoint& at, int32_t side, int32_t top, int32_t clear = 0) {
        const std::string caption = key->GetCaption();
        key->SetCaption("", false);
        const CZevralImage blank = render();
        key->SetCaption(caption, false);
        render();
        const CRect box = key->GetRect() + at;
        int outside = 0;
        for (int32_t y = box.GetY(); y < box.GetBottom(); ++y)
            for (int32_t x = box.GetX(); x < box.GetRight(); ++x)
                outside += canvas.GetPixel(uint32_t(x), uint32_t(y)) != blank.GetPixel(uint32_t(x), uint32_t(y)) &&
                           (x < box.GetX() + side || x >= box.GetRight() - side - clear || y < box.GetY() + top ||
                            y >= box.GetBottom() - top);
        return outside;
    };
    for (uint32_t i = 0; i < page->GetChildCount(); ++i)
        if (auto* key = dynamic_cast<CAreaButton*>(page->GetChild(i)))
        {
            ASSERT_GT(key->GetCaption().size(), 80u);
            const bool options = key->GetCaption().rfind("OPTIONS", 0) == 0;
            EXPECT_EQ(drawnOutside(key, page->GetPosition(), 3, 9, options ? 5 : 0), 0) << key->GetCaption();
        }

    // Without a unit a fixture key says so, under an OK as long.
    Drag({0});
    Click(phrases["PERSONALITY"]);
    CDialogNotification* notice = Dialog<CDialogNotification>();
    ASSERT_NE(notice, nullptr);
    CAreaButton* ok = nullptr;
    for (uint32_t i = 0; !ok && i < notice->GetChildCount(); ++i)
        ok = dynamic_cast<CAreaButton*>(notice->GetChild(i));
    ASSERT_NE(ok, nullptr);
    ASSERT_EQ(ok->GetCaption(), phrases["OK"]);
    EXPECT_EQ(drawnOutside(ok, page->GetPosition() + notice->GetPosition(), 2, 2), 0);
    CApp::SetLanguageManager(nullptr);
}

TEST_F(PatchPage, PersonalityAddressAndOptionsReachEverySelectedFixture)
{
    devices.SetConnected(true);
    Patched(0, spot, 40);
    Patched(1, wash);
    Patched(2, scanner);
    fixtures.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_INVERT_PAN, 0, CMessageValue(true)));
    Drag({0, 2});

    // Different personalities: the dialog starts without one; Cancel sends nothing.
    Click("PERSONALITY");
    ASSERT_NE(Dialog<CDialogPersonality>(), nullptr);
    EXPECT_TRUE(Dialog<CDialogPersonality>()->GetPersonality().IsEmpty());
    Close(27);
    EXPECT_TRUE(sent.empty());

    // One after another from 101: 16, 8 and 4 channels.
    Click("ADDRESS");
    EXPECT_EQ(Dialog<CDialogAddress>()->GetAddress(), 40);
    Type("101");
    Close(13);
    EXPECT_EQ(Sent(COMMAND_SET_ADDRESS), std::vector<std::string>({"0:101", "1:117", "2:125"}));
    Answer();
    EXPECT_EQ(page->GetTile(2)->GetAddressText(), "125");

    // The first fixture's flag decides for all.
    Click("INVERT PAN");
    EXPECT_EQ(Sent(COMMAND_SET_INVERT_PAN), std::vector<std::string>({"0:false"}));
    Answer();
    Click("INVERT PAN");
    EXPECT_EQ(Sent(COMMAND_SET_INVERT_PAN).size(), 3u);
    Answer();
    EXPECT_EQ(page->GetTile(1)->GetOptionText(), "P---");

    // A personality for all three, then a clear by the Delete key.
    Click("PERSONALITY");
    Dialog<CDialogPersonality>()->SetPersonality(wash);
    Close(13);
    EXPECT_EQ(Sent(COMMAND_SET_PERSONALITY).size(), 2u);
    Answer();
    EXPECT_EQ(page->GetTile(2)->GetManufacturerText(), "Generic 01");
    Key(127);
    EXPECT_EQ(Sent(COMMAND_CLEAR).size(), 3u);
    Answer();
    EXPECT_EQ(page->GetTile(0)->GetAddressText(), "");

    // After a button the next press starts a new selection.
    Drag({7});
    EXPECT_EQ(Selected(), std::vector<uint32_t>({7}));
}

TEST_F(PatchPage, RenamingNumbersTheNamesAndOverlappingAddressesShowRed)
{
    devices.SetConnected(true);
    for (const auto& [count, first, last] : {std::tuple(1u, "Wash", "Wash"), std::tuple(3u, "Wash1", "Wash3"),
                                             std::tuple(12u, "Wash01", "Wash12")})
    {
        selection.SetMask((uint64_t(1) << count) - 1);
        Click("RENAME");
        Type("Wash");
        Close(13);
        const std::vector<std::string> names = Sent(COMMAND_SET_LABEL);
        ASSERT_EQ(names.size(), count);
        EXPECT_EQ(names.front(), std::string("0:") + first);
        EXPECT_EQ(names.back(), std::to_string(count - 1) + ":" + last);
        Answer();
    }
    EXPECT_EQ(page->GetTile(11)->GetNameText(), "Wash12");

    // A scanner patched into the spot's channels: both addresses turn red, the wash's stays clear.
    Patched(0, spot, 101), Patched(1, scanner, 110), Patched(2, wash, 200);
    const CRgbaColour red(255, 0, 0, 255);
    EXPECT_TRUE(page->GetTile(0)->GetAddressColour() == red && page->GetTile(1)->GetAddressColour() == red);
    EXPECT_NE(page->GetTile(2)->GetAddressColour(), red);
}
