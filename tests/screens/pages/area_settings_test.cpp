// The settings page driven as an operator drives it, over the model root with a device link that
// runs no threads: units are announced and answer through the test, and what the page sends the
// controller is read back off the link. settings_e2e.sh drives the program against the stand-in.
#include "screens/pages/area_settings.h"

#include "foundation/utf8.h"
#include "graphics/explanation_manager.h"
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/message_frame.h"
#include "model/core.h"
#include "model/show_file.h"
#include "model/show_file_list.h"
#include "screens/dialogs/dialog_loading.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/pages/area_main.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"
#include "tests/support/user_language.h"
#include "tests/support/utf16_text.h"
#include "widgets/area_button.h"
#include "widgets/area_grid.h"
#include "widgets/area_label.h"
#include "widgets/area_led.h"
#include "widgets/area_progress_bar.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <utime.h>

#include <ctime>
#include <fstream>

namespace
{
using B = CAreaSettings;
const CIpAddress kUnit(10, 0, 0, 2, 16946);

class SettingsPage : public ::testing::Test
{
protected:
    static std::string Resources() { return std::string(TANZO_BINARY_DIR) + "/Resources"; }
    SettingsPage()
    {
        CSkinManager::Instance().LoadFolder(Resources() + "/skin");
        CGlyphManager::Instance().LoadFolder(Resources() + "/glyphs");
        SetClickSoundListener([](const std::string&) {});
        boost::filesystem::create_directories(Shows());
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = folder.string();
        setup.showFolder = Shows();
        setup.createExplanations = [](COptions& options) -> std::unique_ptr<COptionsHints> {
            auto hints = std::make_unique<CExplanationManager>();
            hints->Init(&options);
            hints->Load(Resources());
            return hints;
        };
        core = CCore::Create(0, nullptr, setup);
        files = core->GetFileManager();
        devices = core->GetDeviceManager();
        root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
        root->SetPage(CAreaMain::kPageSettings);
        page = dynamic_cast<CAreaSettings*>(root->GetPage(CAreaMain::kPageSettings));
    }
    ~SettingsPage() override { SetClickSoundListener(nullptr); }
    std::string Shows() const { return (folder / "shows").string(); }

    void Tick(int frames = 1, float seconds = 0.04f)
    {
        for (int i = 0; i < frames; ++i)
            core->Update(seconds), root->Tick(seconds);
    }
    CDevice* AddUnit(const CIpAddress& address)
    {
        const std::string text = "<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><ip>" + address.ToText() +
                                 "</ip><port>" + std::to_string(address.GetPort()) + "</port></zevral_identify>";
        network.Arrive(address, text);
        devices->Pass(0);
        Tick();
        return devices->FindDevice(address);
    }
    static CDevicePacket Reply(uint32_t command, const std::vector<uint8_t>& data)
    {
        CDevicePacket reply(command);
        reply.SetData(data.data(), uint32_t(data.size()));
        return reply;
    }
    static void Answer(CDevice* unit, uint32_t command, const std::vector<uint8_t>& data)
    {
        unit->HandleReply(Reply(command, data));
    }
    // A reply that comes to the unit's socket from its address and port without being asked for.
    void Forge(CDevice* unit, uint32_t command, const std::vector<uint8_t>& data)
    {
        const CDevicePacket reply = Reply(command, data);
        std::vector<uint8_t> bytes(reply.GetWireLength());
        reply.Encode(bytes.data());
        network.Arrive(unit->GetAddress(), bytes);
        unit->Pass(0);
    }
    // The controller's queue sent and acknowledged one record a frame, while the check lets it go
    // on; a show that waits for the model to read the controller follows some quiet frames later.
    // As on the wire, a record is still on its way when the frame is ticked: a pass takes its
    // acknowledgement in and sends the next.
    std::vector<CMessage> Link(const std::function<void()>& each = [] {})
    {
        std::vector<CMessage> records;
        for (int guard = 0; guard < 5000 && (devices->GetQueueLength() || files->IsLoadPending()); ++guard)
        {
            network.sent.clear();
            devices->Pass(0);
            CMessage record;
            if (!network.sent.empty() && CMessageFrame::Decode(network.sent[0].data(), network.sent[0].size(), record))
            {
                records.push_back(record);
                CMessage ack = record;
                ack.SetValue(CMessageValue());
                std::vector<uint8_t> frame;
                CMessageFrame::Encode(ack, frame);
                network.Arrive(devices->GetConnectedAddress(), frame);
            }
            Tick();
            each();
        }
        return records;
    }

    void Down(const CPoint& p) { bool h = false; root->PointerDown(0, p, 1, &h); }
    void Up(const CPoint& p) { bool h = false; root->PointerUp(0, p, &h); }
    void Click(const CPoint& p) { Down(p), Up(p); }
    void DoubleClick(const CPoint& p)
    {
        bool h = false;
        Click(p), root->DoubleClick(0, p, 1, &h);
    }
    void Press(B::Button button) { Click(page->GetButton(button)->GetRect().GetCentre()); }
    // A row of a list, some pixels into it.
    static CPoint Row(const CAreaGrid* list, int row, int x = 20)
    {
        return list->GetPosition() + CPoint(x, 45 * row + 22);
    }
    void Keys(const std::string& keys)
    {
        for (char key : keys)
        {
            bool down = false, up = false;
            root->KeyDown(uint32_t(uint8_t(key)), &down), root->KeyUp(uint32_t(uint8_t(key)), &up);
        }
        Tick();
    }
    CArea2* Dialog() const { return page->GetModalChild(); }
    bool Notice() const { return dynamic_cast<CDialogNotification*>(Dialog()); }
    // The cell's text, marked "!" when orange and "*" when selected.
    static std::string Cell(CAreaGrid* list, uint32_t column, uint32_t row)
    {
        std::string text;
        CRgbaColour colour = list->GetTextColour();
        bool selected = false;
        std::vector<CZevralImage> icons;
        list->GetCellContents(column, row, text, colour, selected, icons);
        return text + (colour == CRgbaColour(255, 128, 0, 255) ? "!" : "") + (selected ? "*" : "");
    }

    boost::filesystem::path folder = FreshTestFolder();
    CSilentNetwork network;
    std::unique_ptr<CCore> core;
    CDeviceManager* devices = nullptr;
    CFileManager* files = nullptr;
    std::unique_ptr<CAreaMain> root;
    CAreaSettings* page = nullptr;
};
}  // namespace

TEST_F(SettingsPage, ListsTheUnitsAndChoosesThePressedOneOrNoneUnlessLocked)
{
    CDevice* unit = AddUnit(kUnit);
    AddUnit(CIpAddress(10, 0, 0, 7, 16946));
    CAreaGrid* list = page->GetDeviceList();
    EXPECT_EQ(Cell(list, 0, 0), "10.0.0.2!") << "no answer yet";
    Answer(unit, DEVICE_GET_LABEL, {'S', 't', 'a', 'g', 'e'});
    Answer(unit, DEVICE_GET_VERSION_FIRMWARE, {1, 11});
    Answer(unit, DEVICE_GET_VERSION_PCB, {2, 0});
    Answer(unit, DEVICE_GET_ARTNET_ENABLED, {1, 0, 0, 0});
    Answer(unit, DEVICE_GET_ARTNET_UNIVERSE, {0x12, 0, 0, 0});
    Click(Row(list, 0));
    std::string row;
    for (uint32_t column = 0; column < 6; ++column)
        row += Cell(list, column, 0) + " ";
    EXPECT_EQ(row, "10.0.0.2* Stage* 1.11!* 2.0* 1.2* -* ");
    Answer(unit, DEVICE_GET_VERSION_FIRMWARE, {1, 12});
    EXPECT_EQ(Cell(list, 2, 0) + Cell(list, 2, 1), "1.12*0.0!");
    EXPECT_EQ(page->GetLamp()->GetColour(), CAreaLed::kGreen);

    // Below the last unit: none. The unit buttons go off, rename takes no press, none opens a dialog.
    Click(Row(list, 4));
    EXPECT_EQ(page->GetLamp()->GetColour(), CRgbaColour(0, 0, 0, 255));
    for (auto button : {B::kDeviceIp, B::kDeviceRename, B::kArtNet, B::kAcn})
    {
        Press(button);
        EXPECT_FALSE(page->GetButton(button)->IsOn() || Dialog());
    }
    EXPECT_FALSE(page->GetButton(B::kDeviceRename)->IsEnabled());

    Click(Row(list, 0));
    devices->SetLocked(true);
    EXPECT_EQ(list->GetHeight(), 387u);
    EXPECT_TRUE(page->GetLockIcon()->IsVisible());
    Click(Row(list, 1));
    EXPECT_EQ(devices->GetConnectedAddress(), kUnit);
    Click(page->GetLockIcon()->GetRect().GetCentre());
    EXPECT_TRUE(Notice());
}

TEST_F(SettingsPage, RepliesTheUnitWasNotAskedForShowNothingAndLoseNoChoiceOfTheOperator)
{
    CFontManager::Instance().ScanFolder(Resources() + "/fonts");
    root->SetVisible(true);
    CDevice* unit = AddUnit(kUnit);
    Click(Row(page->GetDeviceList(), 0));
    Answer(unit, DEVICE_GET_LABEL, {'S', 't', 'a', 'g', 'e'});
    Link();
    CZevralImage canvas(768, 1024);
    const CTextureAdapter whole(canvas);
    const auto render = [&] {
        root->SetDirty();
        root->Render(CTextureAdapter(root->GetRect(), whole), CPoint(0, 0), false);
        return canvas;
    };
    const CZevralImage calm = render();

    // While the unit waits for its MAC address: a name, Art-Net 2.3 on and sACN 100 on.
    Forge(unit, DEVICE_GET_LABEL, {'F', 'o', 'r', 'g', 'e', 'd'});
    Forge(unit, DEVICE_GET_ARTNET_ENABLED, {1, 0, 0, 0});
    Forge(unit, DEVICE_GET_ARTNET_UNIVERSE, {0x23, 0, 0, 0});
    Forge(unit, DEVICE_GET_ACN_ENABLED, {1, 0, 0, 0});
    Forge(unit, DEVICE_GET_ACN_UNIVERSE, {'1', '0', '0'});
    Tick(8);
    EXPECT_TRUE(render() == calm) << "0.32 s later";
    Tick(42);
    EXPECT_TRUE(render() == calm) << "2 s later";

    // The operator switches Art-Net on, as the forged reply said it was: that is sent.
    Press(B::kArtNet);
    Keys(" \r");
    const std::vector<CMessage> records = Link();
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const CMessage& record) {
        return record.GetManager() == MANAGER_ARTNET && record.GetCommand() == COMMAND_SET_ENABLED &&
               record.GetValue().GetBool();
    }));
}

TEST_F(SettingsPage, ADoubleClickBlinksTheUnitOrSaysWhyItCannot)
{
    CDevice* unit = AddUnit(kUnit);
    // Columns: address 0-182, label, firmware 297-397, PCB 397-506.
    DoubleClick(Row(page->GetDeviceList(), 0, 20));
    EXPECT_TRUE(Notice()) << "no answer yet";
    Keys("\r");
    Answer(unit, DEVICE_GET_VERSION_FIRMWARE, {1, 11});
    const size_t requests = unit->GetRequestCount();
    DoubleClick(Row(page->GetDeviceList(), 0, 20));
    DoubleClick(Row(page->GetDeviceList(), 0, 450));
    DoubleClick(Row(page->GetDeviceList(), 0, 350));
    EXPECT_TRUE(Notice()) << "firmware 1.11";
    Keys("\r");
    Keys("\b");
    EXPECT_EQ(unit->GetRequestCount() - requests, 3u) << "two blinks, and one for Backspace";
}

TEST_F(SettingsPage, HoldingTheIpButtonFiveSecondsTogglesTheLockOnce)
{
    const CPoint ip = page->GetButton(B::kDeviceIp)->GetRect().GetCentre();
    for (auto [frames, seconds, locked] : {std::tuple{49, 0.1f, false}, {125, 0.04f, true}, {300, 0.04f, false}})
    {
        Down(ip);
        Tick(frames, seconds);
        Up(ip);
        EXPECT_EQ(devices->IsLocked(), locked) << frames;
    }
    // A second finger on the held button restarts nothing: five seconds from the first press.
    Down(ip);
    Tick(60);
    bool handled = false;
    root->PointerDown(1, ip, 1, &handled);
    Tick(66);
    EXPECT_TRUE(devices->IsLocked());
    root->PointerUp(1, ip, &handled);
    Up(ip);
    // The page switched away while the button is held lets it go: nothing toggles unseen.
    Down(ip);
    Tick(10);
    root->SetPage(CAreaMain::kPagePlayback);
    Tick(150);
    Up(ip);
    EXPECT_TRUE(devices->IsLocked());
    EXPECT_EQ(root->GetPageIndex(), CAreaMain::kPagePlayback) << "and no click followed";
}

TEST_F(SettingsPage, ShowsAreMadeRenamedSavedAndRemovedFromTheList)
{
    // In a language of the user's own that says far more around a show's name than a notice holds.
    CFontManager::Instance().ScanFolder(Resources() + "/fonts");
    std::string words;
    for (int i = 0; i < 8; ++i)
        words += "Dieser Name ist schon vergeben, bitte einen anderen w\xC3\xA4hlen. ";
    WriteUserLanguage(folder / "common", "Lang",
                      {{"A show named \"%1\" exists already.", words + "\xE2\x80\x9E%1\xE2\x80\x9C " + words}});
    auto languages = std::make_unique<CLanguageManagerDesktop>("", (folder / "common").string(), CVersion(1, 7, 0));
    languages->SetLanguage("Lang");
    CApp::SetLanguageManager(std::move(languages));

    // The first new show brings its hint; silenced, it stays away. A new show becomes the current.
    Press(B::kFileNew);
    ASSERT_NE(Dialog(), nullptr);
    Click(Dialog()->GetPosition() + CPoint(80, 226));
    Keys("\r");
    Press(B::kFileNew);
    EXPECT_EQ(Cell(page->GetFileList(), 0, 1), "show2*");
    EXPECT_EQ(Dialog(), nullptr);
    // A name another show has is refused and said so, the name on screen however long the notice;
    // both shows stay whole.
    Press(B::kFileRename);
    Keys("\b\b\b\b\bshow1\r");
    ASSERT_TRUE(Notice());
    const CAreaLabel* message = nullptr;
    for (uint32_t i = 0; !message && i < Dialog()->GetChildCount(); ++i)
        message = dynamic_cast<CAreaLabel*>(Dialog()->GetChild(i));
    ASSERT_NE(message, nullptr);
    EXPECT_NE(message->GetText().find("\xE2\x80\x9Eshow1\xE2\x80\x9C"), std::string::npos) << message->GetText();
    Keys("\r");
    Press(B::kFileRename);
    Keys("\b\b\b\b\bGala\r");
    EXPECT_TRUE(boost::filesystem::exists(Shows() + "/Gala.show"));
    EXPECT_TRUE(boost::filesystem::exists(Shows() + "/show1.show"));
    Press(B::kFileSave);
    Keys("\r");
    std::ifstream saved(Shows() + "/Gala.show");
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(saved), {}).find("<playbacks"), std::string::npos);
    Press(B::kFileRemove);
    Keys("\r");
    EXPECT_FALSE(boost::filesystem::exists(Shows() + "/Gala.show") || files->GetCount() != 1u);

    // A read-only show is neither renamed, saved nor removed, but opens, however it is encoded and
    // whatever stands before its root; a press below the list lets go of the current show and
    // lists the folder again.
    const std::string locked[] = {
        "<show application=\"Tanzo\" readonly=\"true\"/>",
        Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><show application=\"Tanzo\" readonly=\"true\"/>"),
        "<!--" + std::string(100000, ' ') + "--><show application=\"Tanzo\" readonly=\"true\"/>"};
    for (size_t i = 0; i < std::size(locked); ++i)
        std::ofstream(Shows() + "/locked" + std::to_string(i) + ".show") << locked[i];
    Click(Row(page->GetFileList(), 5));
    ASSERT_TRUE(files->FinishListing());
    ASSERT_TRUE(!files->GetCurrentFile() && files->GetCount() == 4u);
    for (int row = 0; row < int(std::size(locked)); ++row)
    {
        Click(Row(page->GetFileList(), row));
        EXPECT_EQ(Cell(page->GetFileList(), 0, uint32_t(row)), "locked" + std::to_string(row) + " [readonly]*");
        for (auto button : {B::kFileRemove, B::kFileRename, B::kFileSave})
        {
            Press(button);
            EXPECT_FALSE(page->GetButton(button)->IsOn() || Dialog()) << row;
        }
        std::ifstream kept(Shows() + "/locked" + std::to_string(row) + ".show");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), locked[row]);
    }
    Press(B::kFileOpen);
    EXPECT_NE(dynamic_cast<CDialogLoading*>(Dialog()), nullptr);
    Tick(2);
    CApp::SetLanguageManager(nullptr);
}

TEST_F(SettingsPage, ANewShowIsBroughtIntoViewWhereverItSorts)
{
    for (int i = 0; i < 40; ++i)
        std::ofstream(Shows() + "/a" + std::to_string(10 + i) + ".show") << "<show application=\"Tanzo\"/>";
    Click(Row(page->GetFileList(), 5));
    ASSERT_TRUE(files->FinishListing());
    Press(B::kFileNew);
    Keys("\r");
    ASSERT_NE(files->GetCurrentFile(), nullptr);
    const int32_t top = files->GetCurrentFile()->GetIndex() * 45;
    const CAreaGrid* list = page->GetFileList();
    EXPECT_EQ(top, 40 * 45);
    EXPECT_LE(list->GetScrollTarget(), top);
    EXPECT_GE(list->GetScrollTarget() + int32_t(list->GetHeight()), top + 45);
}

TEST_F(SettingsPage, AChosenLanguageRedrawsTheShowsRowsInItAtOnce)
{
    CFontManager::Instance().ScanFolder(Resources() + "/fonts");
    boost::filesystem::create_directories(folder / "common");
    // The shipped languages, and one of the user's own whose month outgrows the column and any
    // buffer a date could be built in, in letters of two bytes wherever it is cut.
    std::string month = "Dez";
    for (int i = 0; i < 60; ++i)
        month += "\xC3\xA4";
    WriteUserLanguage(folder / "common", "Lang", {{"Dec", month}});
    auto languages = std::make_unique<CLanguageManagerDesktop>(Resources(), (folder / "common").string(),
                                                               CVersion(1, 7, 0));
    CApp::SetLanguageManager(std::move(languages));
    const std::string show = Shows() + "/locked.show";
    std::ofstream(show) << "<show application=\"Tanzo\" readonly=\"true\"/>";
    const std::time_t december = 1733400000;  // 2024-12-05
    utimbuf times{december, december};
    ASSERT_EQ(utime(show.c_str(), &times), 0);
    files->Refresh();
    ASSERT_TRUE(files->FinishListing());
    root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
    root->SetVisible(true);
    root->SetPage(CAreaMain::kPageSettings);
    page = dynamic_cast<CAreaSettings*>(root->GetPage(CAreaMain::kPageSettings));
    CZevralImage canvas(768, 1024);
    const CTextureAdapter whole(canvas);
    root->Render(CTextureAdapter(root->GetRect(), whole), CPoint(0, 0), false);
    ASSERT_FALSE(page->GetFileList()->IsDirty());

    Click(Row(page->GetLanguageList(), 0));
    EXPECT_TRUE(page->GetFileList()->IsDirty());
    const std::string row =
        Cell(page->GetFileList(), 0, 0) + " " + Cell(page->GetFileList(), 1, 0) + " " + Cell(page->GetFileList(), 2, 0);
    EXPECT_NE(row.find("locked [schreibgeschützt] 2024-Dez-0"), std::string::npos) << row;
    EXPECT_NE(row.find(" Bytes"), std::string::npos) << row;

    // The date is whole, day and time, and the list cuts it to its column on a character boundary
    // with its mark, in its middle, where the day and the time stay.
    Click(Row(page->GetLanguageList(), 3));
    CAreaGrid* list = page->GetFileList();
    std::string date = Cell(list, 1, 0);
    EXPECT_TRUE(IsValidUtf8(date)) << date;
    EXPECT_NE(date.find(month + "-0"), std::string::npos) << date;
    uint32_t size = list->GetFontSize();
    list->FitText(uint32_t(list->GetColumnRect(1).GetWidth()), date, size);
    EXPECT_TRUE(IsValidUtf8(date)) << date;
    EXPECT_EQ(date.rfind("2024-Dez", 0), 0u) << date;
    EXPECT_NE(date.find("-0", date.find("...")), std::string::npos) << date;
    root.reset();
    CApp::SetLanguageManager(nullptr);
}

TEST_F(SettingsPage, OpeningAShowFollowsItsRecordsToTheController)
{
    std::ofstream(Shows() + "/intro.show") << "<show application=\"Tanzo\"><playbacks><playback index=\"2\" "
                                              "label=\"Intro\"/><playback index=\"5\" label=\"End\"/>"
                                              "</playbacks></show>";
    files->Refresh();
    ASSERT_TRUE(files->FinishListing());
    AddUnit(kUnit);
    // Chosen a moment ago, the controller is still being read: the show waits for that.
    const auto open = [&] {
        Click(Row(page->GetDeviceList(), 1));
        Click(Row(page->GetDeviceList(), 0));
        Click(Row(page->GetFileList(), 0));
        Press(B::kFileOpen);
        return dynamic_cast<CDialogLoading*>(Dialog()) && files->IsLoadPending();
    };
    const auto intro = [](const std::vector<CMessage>& records) {
        return std::any_of(records.begin(), records.end(),
                           [](const CMessage& r) { return r.GetValue().ToText().find("Intro") != std::string::npos; });
    };
    // An abort drops the waiting show.
    ASSERT_TRUE(open());
    static_cast<CDialogLoading*>(Dialog())->Abort();
    Tick();
    EXPECT_FALSE(intro(Link()));

    // Otherwise a loading dialog stays up until the show itself has gone, its bar rising.
    ASSERT_TRUE(open());
    float progress = 0.0f;
    const std::vector<CMessage> records = Link([&] {
        const auto* loading = dynamic_cast<const CDialogLoading*>(Dialog());
        for (uint32_t i = 0; loading && !files->IsLoadPending() && i < loading->GetChildCount(); ++i)
            if (const auto* bar = dynamic_cast<const CAreaProgressBar*>(loading->GetChild(i)))
                progress = std::max(progress, bar->GetProgress());
    });
    Tick(2);
    EXPECT_TRUE(intro(records) && !Dialog());
    EXPECT_GT(progress, 0.0f);
}
