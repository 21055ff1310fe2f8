// The settings page driven as an operator drives it, over the model root with a device link that
// runs no threads: units are announced and answer through the test, and what the page asks of the
// unit and the controller is read back off the link.
#include "screens/pages/area_settings.h"

#include "graphics/explanation_manager.h"
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/message_frame.h"
#include "link/udp_socket.h"
#include "model/core.h"
#include "model/show_file.h"
#include "model/show_file_list.h"
#include "screens/dialogs/dialog_loading.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/pages/area_main.h"
#include "tests/support/test_folder.h"
#include "widgets/area_button.h"
#include "widgets/area_grid.h"
#include "widgets/area_led.h"
#include "widgets/area_progress_bar.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{
using Bytes = std::vector<uint8_t>;
using B = CAreaSettings;
const CIpAddress kUnit(10, 0, 0, 2, 16946);
const CIpAddress kOther(10, 0, 0, 7, 16946);
const CRgbaColour kOrange(255, 128, 0, 255);

// A network of sockets that send into one list and never receive.
struct CCaptureNetwork : CUdpNetwork, CUdpSocket
{
    struct CForward : CUdpSocket
    {
        explicit CForward(CUdpSocket& to) : to(to) {}
        bool Receive(uint8_t*, size_t, size_t&, CIpAddress&, uint32_t) override { return false; }
        bool Send(const CIpAddress& a, const uint8_t* b, size_t n) override { return to.Send(a, b, n); }
        uint16_t GetPort() const override { return 0; }
        CUdpSocket& to;
    };
    std::unique_ptr<CUdpSocket> Open(uint16_t) override { return std::make_unique<CForward>(*this); }
    bool Receive(uint8_t*, size_t, size_t&, CIpAddress&, uint32_t) override { return false; }
    bool Send(const CIpAddress&, const uint8_t* bytes, size_t count) override
    {
        sent.emplace_back(bytes, bytes + count);
        return true;
    }
    uint16_t GetPort() const override { return 0; }
    std::vector<Bytes> sent;
};

class SettingsPage : public ::testing::Test
{
protected:
    static std::string Resources() { return std::string(TANZO_BINARY_DIR) + "/Resources"; }
    static void SetUpTestSuite()
    {
        CSkinManager::Instance().LoadFolder(Resources() + "/skin");
        CGlyphManager::Instance().LoadFolder(Resources() + "/glyphs");
        CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
    }
    SettingsPage()
    {
        SetClickSoundListener([](const std::string&) {});
        boost::filesystem::create_directories(folder / "common");
        boost::filesystem::create_directories(Shows());
        auto* languages = new CLanguageManagerDesktop(Resources(), (folder / "common").string(), CVersion(1, 7, 0));
        CApp::SetLanguageManager(languages);
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = folder.string();
        setup.showFolder = Shows();
        setup.language = languages;
        setup.createExplanations = [](COptions& options) -> COptionsHints* {
            auto* hints = new CExplanationManager();
            hints->Init(&options);
            hints->Load(Resources());
            return hints;
        };
        core.reset(CCore::Create(0, nullptr, setup));
        files = core->GetFileManager();
        devices = core->GetDeviceManager();
        root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
        root->SetPage(CAreaMain::kPageSettings);
        page = dynamic_cast<CAreaSettings*>(root->GetPage(CAreaMain::kPageSettings));
    }
    ~SettingsPage() override
    {
        root.reset();
        core.reset();
        CApp::SetLanguageManager(nullptr);
        SetClickSoundListener(nullptr);
    }
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
        devices->HandleIdentifyReply(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        Tick();
        return devices->FindDevice(address);
    }
    static void Answer(CDevice* unit, uint32_t command, const Bytes& data)
    {
        CDevicePacket reply(command);
        reply.SetData(data.data(), uint32_t(data.size()));
        unit->HandleReply(reply);
    }
    // The unit's queued requests in order, each answered by its echo.
    static std::vector<CDevicePacket> UnitRequests(CDevice* unit)
    {
        std::vector<CDevicePacket> requests;
        CCaptureNetwork capture;
        while (unit->GetRequestCount() > 0 && unit->SendHeadRequest(capture))
        {
            requests.emplace_back();
            requests.back().Decode(capture.sent.back().data(), capture.sent.back().size());
            unit->CompleteRequest(requests.back());
        }
        return requests;
    }
    // The controller's queue sent and acknowledged one record a frame, while the check lets it go
    // on; a show that waits for the model to read the controller follows some quiet frames later.
    std::vector<CMessage> Link(const std::function<bool()>& more = [] { return true; })
    {
        std::vector<CMessage> records;
        for (int guard = 0; guard < 5000 && (devices->GetQueueLength() || files->IsLoadPending()) && more(); ++guard)
        {
            network.sent.clear();
            devices->SendHeadMessage();
            CMessage record;
            if (!network.sent.empty() && CMessageFrame::Decode(network.sent[0].data(), network.sent[0].size(), record))
            {
                records.push_back(record);
                CMessage ack(record.GetManager(), record.GetCommand());
                ack.SetIndex0(record.GetIndex0()), ack.SetIndex1(record.GetIndex1()), ack.SetIndex2(record.GetIndex2());
                ack.SetSequence(record.GetSequence());
                Bytes frame;
                CMessageFrame::Encode(ack, frame);
                devices->HandleMessageFrame(frame.data(), frame.size(), devices->GetConnectedAddress());
            }
            Tick();
        }
        return records;
    }

    void Down(const CPoint& p) { bool h = false; root->PointerDown(0, p, 1, &h); }
    void Up(const CPoint& p) { bool h = false; root->PointerUp(0, p, &h); }
    void Click(const CPoint& p) { Down(p), Up(p); }
    void DoubleClick(const CPoint& p) { bool h = false; Click(p), root->DoubleClick(0, p, 1, &h); }
    void Press(B::Button button) { Click(page->GetButton(button)->GetRect().GetCentre()); }
    // A row of a list, some pixels into the column.
    static CPoint Row(const CAreaGrid* list, int row, int x = 20) { return list->GetPosition() + CPoint(x, 45 * row + 22); }
    bool Keys(const std::string& keys)
    {
        bool handled = true;
        for (char key : keys)
        {
            bool down = false, up = false;
            root->KeyDown(uint32_t(uint8_t(key)), &down), root->KeyUp(uint32_t(uint8_t(key)), &up);
            handled &= down && up;
        }
        Tick();
        return handled;
    }
    CArea2* Dialog() const { return page->GetModalChild(); }
    bool Notice() const { return dynamic_cast<CDialogNotification*>(Dialog()); }
    static std::string Cell(CAreaGrid* list, uint32_t column, uint32_t row, CRgbaColour* colour = nullptr,
                            bool* selected = nullptr)
    {
        std::string text;
        CRgbaColour shown = list->GetTextColour();
        bool highlighted = false;
        std::vector<CZevralImage> icons;
        list->GetCellContents(column, row, text, shown, highlighted, icons);
        if (colour)
            *colour = shown;
        if (selected)
            *selected = highlighted;
        return text;
    }

    boost::filesystem::path folder = FreshTestFolder();
    CCaptureNetwork network;
    std::unique_ptr<CCore> core;
    CDeviceManager* devices = nullptr;
    CFileManager* files = nullptr;
    std::unique_ptr<CAreaMain> root;
    CAreaSettings* page = nullptr;
};
}  // namespace

TEST_F(SettingsPage, ShowsEachUnitsSettingsAndFlagsWhatNeedsAttention)
{
    CDevice* unit = AddUnit(kUnit);
    AddUnit(kOther);
    CAreaGrid* list = page->GetDeviceList();
    ASSERT_EQ(list->GetRowCount(), 2u);
    CRgbaColour colour;
    EXPECT_EQ(Cell(list, 0, 0, &colour), "10.0.0.2");
    EXPECT_EQ(colour, kOrange) << "no answer yet";
    Answer(unit, DEVICE_GET_LABEL, {'S', 't', 'a', 'g', 'e'});
    Answer(unit, DEVICE_GET_VERSION_FIRMWARE, {1, 11});
    Answer(unit, DEVICE_GET_VERSION_PCB, {2, 0});
    Answer(unit, DEVICE_GET_ARTNET_ENABLED, {1, 0, 0, 0});
    Answer(unit, DEVICE_GET_ARTNET_UNIVERSE, {0x12, 0, 0, 0});
    const std::tuple<uint32_t, const char*, bool> cells[] = {{0, "10.0.0.2", false}, {1, "Stage", false},
                                                             {2, "1.11", true},      {3, "2.0", false},
                                                             {4, "1.2", false},      {5, "-", false}};
    for (const auto& [column, text, orange] : cells)
    {
        EXPECT_EQ(Cell(list, column, 0, &colour), text);
        EXPECT_EQ(colour == kOrange, orange) << text;
    }
    Answer(unit, DEVICE_GET_VERSION_FIRMWARE, {1, 12});
    EXPECT_EQ(Cell(list, 2, 0, &colour), "1.12");
    EXPECT_NE(colour, kOrange);
}

TEST_F(SettingsPage, APressChoosesTheUnitOrNoneUnlessTheChoiceIsLocked)
{
    AddUnit(kUnit);
    AddUnit(kOther);
    CAreaGrid* list = page->GetDeviceList();
    Click(Row(list, 1));
    bool selected = false;
    Cell(list, 3, 1, nullptr, &selected);
    EXPECT_TRUE(selected && devices->GetConnectedAddress() == kOther);
    EXPECT_EQ(page->GetLamp()->GetColour(), CAreaLed::kGreen);
    EXPECT_TRUE(page->GetButton(B::kDeviceIp)->IsOn());
    Click(Row(list, 4));
    EXPECT_EQ(page->GetLamp()->GetColour(), CRgbaColour(0, 0, 0, 255));
    // Without a unit the unit buttons are off, rename takes no press, and none opens a dialog.
    for (auto button : {B::kDeviceIp, B::kDeviceRename, B::kArtNet, B::kAcn})
    {
        Press(button);
        EXPECT_FALSE(page->GetButton(button)->IsOn() || Dialog());
    }
    EXPECT_FALSE(page->GetButton(B::kDeviceRename)->IsEnabled());

    Click(Row(list, 0));
    devices->SetLocked(true);
    EXPECT_EQ(list->GetHeight(), 387u);
    EXPECT_EQ(page->GetLockIcon()->GetRect(), CRect(619, 491, 32, 32));
    EXPECT_TRUE(page->GetLockIcon()->IsVisible());
    Click(Row(list, 1));
    EXPECT_EQ(devices->GetConnectedAddress(), kUnit);
    Click(page->GetLockIcon()->GetRect().GetCentre());
    EXPECT_TRUE(Notice());
}

TEST_F(SettingsPage, ADoubleClickBlinksTheUnitOrSaysWhyItCannot)
{
    CDevice* unit = AddUnit(kUnit);
    const auto blinks = [&] {
        int count = 0;
        for (const CDevicePacket& request : UnitRequests(unit))
            count += request.GetCommand() == DEVICE_BLINK;
        return count;
    };
    // Columns: address 0-182, label, firmware 297-397, PCB 397-506.
    DoubleClick(Row(page->GetDeviceList(), 0, 20));
    EXPECT_TRUE(Notice()) << "no answer yet";
    Keys("\r");
    Answer(unit, DEVICE_GET_VERSION_FIRMWARE, {1, 11});
    UnitRequests(unit);
    DoubleClick(Row(page->GetDeviceList(), 0, 20));
    DoubleClick(Row(page->GetDeviceList(), 0, 450));
    EXPECT_EQ(blinks(), 2);
    DoubleClick(Row(page->GetDeviceList(), 0, 350));
    EXPECT_TRUE(Notice()) << "firmware 1.11";
    Keys("\r");
    EXPECT_TRUE(Keys("\b"));
    EXPECT_EQ(blinks(), 1) << "Backspace blinks the chosen unit";
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
}

TEST_F(SettingsPage, TheUnitDialogsChangeTheUnitsNetworkAndOutputs)
{
    CDevice* unit = AddUnit(kUnit);
    Answer(unit, DEVICE_GET_SUBNET, {255, 255, 255, 0, 0, 0});
    Click(Row(page->GetDeviceList(), 0));
    Link();
    UnitRequests(unit);
    Press(B::kArtNet);
    Keys(" 12.3\r");
    Press(B::kAcn);
    Keys("100\r");
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> outputs;
    for (const CMessage& record : Link())
        outputs.emplace_back(record.GetManager(), record.GetCommand(), record.GetValue().GetUnsigned());
    EXPECT_EQ(outputs, (decltype(outputs){{MANAGER_ARTNET, COMMAND_SET_VALUE, 0xC3},
                                          {MANAGER_ARTNET, COMMAND_SET_ENABLED, 1},
                                          {MANAGER_ACN, COMMAND_SET_VALUE, 100}}));

    // A static subnet keeps the unit's address and port; then DHCP; then a new name.
    Press(B::kDeviceIp);
    Keys("\t" + std::string(13, '\b') + "255.255.0.0\r");
    Press(B::kDeviceIp);
    Click(Dialog()->GetPosition() + CPoint(230, 24));
    Keys("\r");
    Press(B::kDeviceRename);
    Keys("Gala\r");
    std::vector<std::string> requests;
    for (const CDevicePacket& request : UnitRequests(unit))
    {
        const uint8_t* d = request.GetData();
        requests.push_back(DeviceCommandName(int(request.GetCommand())) + " " +
                           (request.GetCommand() == DEVICE_SET_LABEL ? request.GetDataText()
                                                                      : CIpAddress(d[0], d[1], d[2], d[3]).ToText()));
    }
    const auto named = [](uint32_t command, const char* value) { return DeviceCommandName(int(command)) + " " + value; };
    EXPECT_EQ(requests, (std::vector<std::string>{named(DEVICE_SET_SUBNET, "255.255.0.0"),
                                                  named(DEVICE_SET_DHCP, "1.0.0.0"), named(DEVICE_SET_LABEL, "Gala")}));
}

TEST_F(SettingsPage, ShowsAreMadeRenamedSavedAndRemovedFromTheList)
{
    // The first new show brings its hint; silenced, it stays away. A new show becomes the current.
    Press(B::kFileNew);
    ASSERT_NE(Dialog(), nullptr);
    Click(Dialog()->GetPosition() + CPoint(80, 226));
    Keys("\r");
    Press(B::kFileNew);
    ASSERT_TRUE(!Dialog() && files->GetCount() == 2u);
    EXPECT_EQ(Cell(page->GetFileList(), 0, 1, nullptr, nullptr) + " " + files->GetCurrentFile()->GetName(), "show2 show2");

    // A name another show has is refused and said so; both shows stay whole.
    const std::string erase(5, '\b');
    Press(B::kFileRename);
    Keys(erase + "show1\r");
    EXPECT_TRUE(Notice());
    Keys("\r");
    Press(B::kFileRename);
    Keys(erase + "Gala\r");
    EXPECT_TRUE(boost::filesystem::exists(Shows() + "/Gala.show") && boost::filesystem::exists(Shows() + "/show1.show"));
    Press(B::kFileSave);
    Keys("\r");
    std::ifstream saved(Shows() + "/Gala.show");
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(saved), {}).find("<playbacks"), std::string::npos);
    Press(B::kFileRemove);
    Keys("\r");
    EXPECT_FALSE(boost::filesystem::exists(Shows() + "/Gala.show") || files->GetCount() != 1u);

    // A read-only show is neither renamed, saved nor removed, but opens; a press below the list
    // lets go of the current show and lists the folder again.
    std::ofstream(Shows() + "/locked.show") << "<show application=\"Tanzo\" readonly=\"true\"/>";
    Click(Row(page->GetFileList(), 5));
    ASSERT_TRUE(!files->GetCurrentFile() && files->GetCount() == 2u);
    Click(Row(page->GetFileList(), 0));
    EXPECT_EQ(Cell(page->GetFileList(), 0, 0), "locked [readonly]");
    for (auto button : {B::kFileRemove, B::kFileRename, B::kFileSave})
    {
        Press(button);
        EXPECT_FALSE(page->GetButton(button)->IsOn() || Dialog());
    }
    Press(B::kFileOpen);
    EXPECT_NE(dynamic_cast<CDialogLoading*>(Dialog()), nullptr);
    Tick(2);

    // From fifty shows on the button looks unavailable, yet still makes one.
    while (files->GetCount() < B::kMaxShowFiles)
        files->CreateShowFile();
    EXPECT_FALSE(page->GetButton(B::kFileNew)->IsOn());
    Press(B::kFileNew);
    EXPECT_EQ(files->GetCount(), B::kMaxShowFiles + 1);
}

TEST_F(SettingsPage, OpeningAShowFollowsItsRecordsToTheController)
{
    std::ofstream(Shows() + "/intro.show") << "<show application=\"Tanzo\"><playbacks><playback index=\"2\" "
                                              "label=\"Intro\"/><playback index=\"5\" label=\"End\"/></playbacks></show>";
    files->Refresh();
    AddUnit(kUnit);
    const auto open = [&] {
        Click(Row(page->GetDeviceList(), 1));
        Click(Row(page->GetDeviceList(), 0));
        Click(Row(page->GetFileList(), 0));
        Press(B::kFileOpen);
        return dynamic_cast<CDialogLoading*>(Dialog());
    };
    const auto intro = [](const std::vector<CMessage>& records) {
        return std::any_of(records.begin(), records.end(),
                           [](const CMessage& r) { return r.GetValue().ToText().find("Intro") != std::string::npos; });
    };
    // Chosen a moment ago, the controller is still being read: the show waits for that, and an
    // abort drops it.
    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(files->IsLoadPending());
    static_cast<CDialogLoading*>(Dialog())->Abort();
    Tick();
    EXPECT_FALSE(intro(Link()));

    // Otherwise a loading dialog stays up until the show itself has gone, its bar rising.
    ASSERT_NE(open(), nullptr);
    bool sentUnderDialog = false;
    float progress = 0.0f;
    const std::vector<CMessage> records = Link([&] {
        const auto* loading = dynamic_cast<const CDialogLoading*>(Dialog());
        if (loading && !files->IsLoadPending() && loading->GetSent() < loading->GetExpected())
        {
            sentUnderDialog = true;
            for (uint32_t i = 0; i < loading->GetChildCount(); ++i)
                if (const auto* bar = dynamic_cast<const CAreaProgressBar*>(loading->GetChild(i)))
                    progress = std::max(progress, bar->GetProgress());
        }
        return true;
    });
    Tick(2);
    EXPECT_TRUE(intro(records) && sentUnderDialog && !Dialog());
    EXPECT_GT(progress, 0.0f);
}

TEST_F(SettingsPage, AnotherLanguageRetranslatesThePageAndEscapeLeavesIt)
{
    CAreaGrid* list = page->GetLanguageList();
    int deutsch = 0;
    while (deutsch < 8 && Cell(list, 0, uint32_t(deutsch)) != "Deutsch")
        ++deutsch;
    Click(Row(list, deutsch));
    bool selected = false;
    Cell(list, 0, uint32_t(deutsch), nullptr, &selected);
    EXPECT_TRUE(selected);
    EXPECT_EQ(page->GetButton(B::kFileRemove)->GetCaption() + page->GetButton(B::kOptions)->GetCaption(),
              "LÖSCHENOPTIONEN");

    EXPECT_TRUE(Keys("q\x1b")) << "every key is the page's";
    EXPECT_EQ(root->GetPageIndex(), uint32_t(CAreaMain::kPagePlayback));
    EXPECT_FALSE(page->IsObserving(devices));
}
