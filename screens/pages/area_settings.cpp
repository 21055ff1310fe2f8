#include "screens/pages/area_settings.h"

#include "foundation/notify_codes.h"
#include "foundation/version.h"
#include "graphics/explanation_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/language.h"
#include "graphics/language_manager.h"
#include "graphics/skin_manager.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/device_type.h"
#include "model/core.h"
#include "model/show_file.h"
#include "model/show_file_list.h"
#include "screens/dialogs/dialog_acn.h"
#include "screens/dialogs/dialog_artnet.h"
#include "screens/dialogs/dialog_confirmation.h"
#include "screens/dialogs/dialog_explanation.h"
#include "screens/dialogs/dialog_ip_and_subnet.h"
#include "screens/dialogs/dialog_loading.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/dialogs/dialog_string.h"
#include "screens/pages/area_main.h"
#include "shell/app.h"
#include "widgets/area_button.h"
#include "widgets/area_grid.h"
#include "widgets/area_label.h"
#include "widgets/area_led.h"
#include "widgets/connect.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>
#include <cstdio>

const CVersion CAreaSettings::kMinimumFirmware(1, 12, 0);

namespace
{
constexpr uint32_t kKeyBackspace = 8;
constexpr uint32_t kKeyEscape = 27;
// The hint shown before a new show file is made.
constexpr int32_t kNewFileHint = 1;
// Float sums of frame times fall a hair short of the whole.
constexpr float kHoldTolerance = 0.0005f;
const CRgbaColour kOrange(255, 128, 0, 255);
const CRgbaColour kGrey(127, 127, 127, 255);

struct SButtonSpec
{
    const char* image;
    // The English label, shown in the current language.
    const char* caption;
    int32_t x;
    int32_t y;
};

const SButtonSpec kButtons[CAreaSettings::kButtonCount] = {
    {"button_patch", "PATCH", 1, 25},
    {"button_options", "OPTIONS", 103, 25},
    {"button_device_ip", "IP ADDRESS", 659, 99},
    {"button_device_rename", "RENAME", 659, 153},
    {"button_device_artnet", "ART-NET", 659, 202},
    {"button_device_sacn", "sACN", 659, 251},
    {"button_file_new", "NEW", 659, 575},
    {"button_file_remove", "REMOVE", 659, 629},
    {"button_file_rename", "RENAME", 659, 678},
    {"button_file_save", "SAVE", 659, 727},
    {"button_file_open", "OPEN", 659, 776},
};

// The texts the page draws over its background, in the current language: the title, the lamp's
// legend, the headings of the lists' columns and of the two button groups. Captions are shown
// upper-cased; the other phrases are written in capitals.
struct SText
{
    const char* phrase;
    bool caption;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    uint32_t size;
    uint32_t alignment;
};

const SText kTexts[] = {
    {"Settings", true, 228, 37, 300, 24, 18, CArea2::kAlignStart},
    {"Link", true, 195, 62, 23, 13, 8, CArea2::kAlignCentre},
    {"UNIT", false, 15, 87, 175, 14, 9, CArea2::kAlignStart},
    {"NAME", false, 202, 87, 104, 14, 9, CArea2::kAlignStart},
    {"FIRMWARE", false, 317, 87, 89, 14, 9, CArea2::kAlignStart},
    {"PCB", false, 417, 87, 98, 14, 9, CArea2::kAlignStart},
    {"ART-NET", false, 526, 87, 67, 14, 9, CArea2::kAlignStart},
    {"sACN", false, 604, 87, 48, 14, 9, CArea2::kAlignStart},
    {"LANGUAGE", false, 15, 563, 198, 14, 9, CArea2::kAlignStart},
    {"SHOW FILE", false, 242, 563, 159, 14, 9, CArea2::kAlignStart},
    {"DATE", false, 412, 563, 139, 14, 9, CArea2::kAlignStart},
    {"SIZE", false, 562, 563, 89, 14, 9, CArea2::kAlignStart},
    {"UNIT", false, 659, 84, 100, 14, 8, CArea2::kAlignCentre},
    {"SHOW FILE", false, 659, 560, 100, 14, 8, CArea2::kAlignCentre},
};
// The lamp's legend among the texts.
constexpr size_t kLegend = 1;
const CRgbaColour kHeading(138, 145, 155, 255);
const CRgbaColour kCaption(214, 218, 224, 255);
constexpr uint32_t kCaptionFontSize = 13;
constexpr uint32_t kCaptionMargin = 10;

// Widths of the device list's first five columns and the file list's date and size columns.
const uint32_t kDeviceColumns[5] = {182, 115, 100, 109, 78};
constexpr uint32_t kFileDateColumn = 150;
constexpr uint32_t kFileSizeColumn = 100;

bool IsFirmwareOutdated(const CDevice& device)
{
    return !(device.GetFirmwareVersion() >= CAreaSettings::kMinimumFirmware);
}

int32_t Scale()
{
    return CApp::IsHighResolution() ? 2 : 1;
}

// "2024-Mär-05 14:07": the day the show was last written, its month named in the current language.
std::string DateText(const CFile& file)
{
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (file.GetDate() == CFile::kNoDate)
        return file.GetDateText();
    try
    {
        const boost::gregorian::date day(boost::gregorian::date::date_int_type(file.GetDate()));
        // Only the numbers go through a buffer: the month's name, however long the user's
        // language makes it, is added whole, and the list cuts the text to its column on a
        // character boundary and marked, in its middle, so that the day and the time still show.
        char year[16];
        char dayOfMonth[16];
        std::snprintf(year, sizeof(year), "%04d-", int(day.year()));
        std::snprintf(dayOfMonth, sizeof(dayOfMonth), "-%02d ", int(day.day()));
        return year + CApp::Translate(kMonths[day.month() - 1], false) + dayOfMonth +
               file.GetTime().ToClockString(true, false, false);
    }
    catch (const std::exception&)
    {
        return file.GetDateText();
    }
}

// "70 bytes", "12 kB": the unit of the smallest sizes in the current language.
std::string SizeText(const CFile& file)
{
    const std::string size = file.GetSizeText();
    const std::string bytes = " bytes";
    if (size.size() > bytes.size() && size.compare(size.size() - bytes.size(), bytes.size(), bytes) == 0)
        return size.substr(0, size.size() - bytes.size()) + " " + CApp::Translate("bytes", false);
    return size;
}
}  // namespace

CAreaSettings::CAreaSettings(CAreaMain* root, CCore* core)
    : CAreaImage(root, CSkinManager::GetSkinFileName("background_settings"), false),
      m_core(core),
      m_deviceManager(core ? core->GetDeviceManager() : nullptr),
      m_fileManager(core ? core->GetFileManager() : nullptr),
      m_languageManager(CLanguageManager::FromApplication()),
      m_explanations(core ? dynamic_cast<CExplanationManager*>(core->GetExplanations()) : nullptr),
      m_root(root)
{
    SetName("CAreaSettings");
    const int32_t s = Scale();

    for (uint32_t i = 0; i < kButtonCount; ++i)
    {
        CAreaButton* button = MakeChild<CAreaButton>(kButtons[i].image, true);
        Connect<&CAreaSettings::OnButtonClick>(button, &CAreaButton::SetClickCallback, this);
        button->SetTextColour(kCaption);
        m_buttons[i] = button;
    }
    m_buttons[kOptions]->SetOn(true);
    Connect<&CAreaSettings::RepaintLamp>(m_buttons[kOptions], &CAreaButton::SetPressCallback, this);
    Connect<&CAreaSettings::RepaintLamp>(m_buttons[kOptions], &CAreaButton::SetReleaseCallback, this);
    m_buttons[kOptions]->SetWidth(uint32_t(s == 2 ? 192 : 97));
    Connect<&CAreaSettings::OnIpPress>(m_buttons[kDeviceIp], &CAreaButton::SetPressCallback, this);
    Connect<&CAreaSettings::OnIpRelease>(m_buttons[kDeviceIp], &CAreaButton::SetReleaseCallback, this);

    m_deviceList = MakeChild<CAreaGrid>(false, false);
    Connect<&CAreaSettings::GetCell>(m_deviceList, &CAreaGrid::SetCellProvider, this);
    Connect<&CAreaSettings::OnCellPress>(m_deviceList, &CAreaGrid::SetPressCallback, this);
    Connect<&CAreaSettings::OnDeviceDoubleClick>(m_deviceList, &CAreaGrid::SetDoubleClickCallback, this);
    m_deviceList->SetColumnCount(6);
    m_deviceList->SetEqualColumns(false);

    // The lock is composited over the page's picture at the size the layout gives it.
    m_lockIcon = AddChild(std::make_unique<CAreaImage>(this, "display", "lock", true), true);
    m_lockIcon->SetOwnSurface(true);
    Connect<&CAreaSettings::OnLockPress>(m_lockIcon, &CAreaImage::SetPressCallback, this);

    m_languageList = MakeChild<CAreaGrid>(false, false);
    Connect<&CAreaSettings::GetCell>(m_languageList, &CAreaGrid::SetCellProvider, this);
    Connect<&CAreaSettings::OnCellPress>(m_languageList, &CAreaGrid::SetPressCallback, this);
    m_languageList->SetColumnCount(1);

    m_fileList = MakeChild<CAreaGrid>(false, false);
    Connect<&CAreaSettings::GetCell>(m_fileList, &CAreaGrid::SetCellProvider, this);
    Connect<&CAreaSettings::OnCellPress>(m_fileList, &CAreaGrid::SetPressCallback, this);
    m_fileList->SetColumnCount(3);
    m_fileList->SetEqualColumns(false);

    m_versionText = "v" + FormatVersionMajorMinor(CApp::GetVersion());
    m_lamp = MakeChild<CAreaLed>();
    m_versionLabel = MakeChild<CAreaLabel>(true);
    m_versionLabel->SetHorizontalAlignment(kAlignStart);
    m_versionLabel->SetText(m_versionText);
    m_versionLabel->SetTextColour(CApp::IsUpdateAvailable() ? kOrange : kGrey);
    for (const SText& text : kTexts)
    {
        CAreaLabel* label = MakeChild<CAreaLabel>(true);
        label->SetHorizontalAlignment(text.alignment);
        label->SetTextColour(kHeading);
        m_texts.push_back(label);
    }
    Layout();
    UpdateCaptions();
}

CAreaSettings::~CAreaSettings()
{
    StopObservingAll();
}

// Layout

void CAreaSettings::Layout()
{
    // Until the constructor has made every control, there is nothing to place.
    if (!m_versionLabel)
        return;
    const int32_t s = Scale();
    for (uint32_t i = 0; i < kButtonCount; ++i)
        m_buttons[i]->SetPosition(CPoint(kButtons[i].x * s, kButtons[i].y * s));

    const bool locked = m_deviceManager && m_deviceManager->IsLocked();
    m_deviceList->SetPosition(CPoint(10 * s, 106 * s));
    m_deviceList->SetSize(uint32_t(643 * s), uint32_t((locked ? 387 : 419) * s));
    for (uint32_t column = 0; column < 5; ++column)
        m_deviceList->SetColumnWidth(column, kDeviceColumns[column] * uint32_t(s));
    m_deviceList->SetColumnWidth(5, m_deviceList->GetSpareColumnWidth(5, 5));

    m_lockIcon->SetSize(uint32_t(32 * s), uint32_t(32 * s));
    m_lockIcon->SetPosition(CPoint(m_deviceList->GetX() + int32_t(m_deviceList->GetWidth()) - 2 - 32 * s,
                                   m_deviceList->GetBottom() - 2));

    m_languageList->SetPosition(CPoint(10 * s, 582 * s));
    m_languageList->SetSize(uint32_t(204 * s), uint32_t(419 * s));

    m_fileList->SetPosition(CPoint(232 * s, 582 * s));
    m_fileList->SetSize(uint32_t(420 * s), m_languageList->GetHeight());
    m_fileList->SetColumnWidth(1, kFileDateColumn * uint32_t(s));
    m_fileList->SetColumnWidth(2, kFileSizeColumn * uint32_t(s));
    m_fileList->SetColumnWidth(0, m_fileList->GetSpareColumnWidth(0, 0));

    m_lamp->SetPosition(CPoint(197 * s, 43 * s));
    const int32_t width = int32_t(GetWidth());
    m_versionLabel->SetPosition(CPoint(width - 4 - 100 * s, 980 * s));
    m_versionLabel->SetWidth(uint32_t(std::max(0, width - 4 - m_versionLabel->GetX())));
    for (size_t i = 0; i < m_texts.size(); ++i)
        m_texts[i]->SetRect(CRect(kTexts[i].x * s, kTexts[i].y * s, kTexts[i].width * s, kTexts[i].height * s));
}

void CAreaSettings::UpdateCaptions()
{
    const uint32_t s = uint32_t(Scale());
    for (uint32_t i = 0; i < kButtonCount; ++i)
    {
        CAreaButton* button = m_buttons[i];
        button->SetCaption(kButtons[i].caption, true);
        // A long translation takes a smaller font rather than running over the key's edges.
        uint32_t size = kCaptionFontSize * s;
        const uint32_t margin = kCaptionMargin * s;
        button->FitFontSize(button->GetWidth() > margin ? button->GetWidth() - margin : 0, size, button->GetCaption());
        button->SetFontSize(std::max<uint32_t>(size, 1));
    }
    RepaintLamp();
    for (size_t i = 0; i < m_texts.size(); ++i)
    {
        CAreaLabel* label = m_texts[i];
        label->SetText(kTexts[i].phrase, true, kTexts[i].caption);
        uint32_t size = kTexts[i].size * s;
        label->FitFontSize(label->GetWidth(), size, label->GetText());
        label->SetTextSize(std::max<uint32_t>(size, 1));
    }
}

// Observing the model

void CAreaSettings::OnVisibleChanged()
{
    if (IsVisible())
    {
        if (m_deviceManager)
            Observe(m_deviceManager);
        if (m_fileManager)
            Observe(m_fileManager);
        if (m_languageManager)
            Observe(m_languageManager);
        if (m_deviceManager)
            HandleNotify(m_deviceManager, NOTIFY_UNKNOWN);
        if (m_fileManager)
            HandleNotify(m_fileManager, NOTIFY_UNKNOWN);
        // Also shows a language chosen while the page was hidden.
        if (m_languageManager)
            HandleNotify(m_languageManager, NOTIFY_UNKNOWN);
        m_lockIcon->SetVisible(m_deviceManager && m_deviceManager->IsLocked());
        // The update check answers while the program runs, perhaps after the page was made.
        if (m_versionLabel)
            m_versionLabel->SetTextColour(CApp::IsUpdateAvailable() ? kOrange : kGrey);
    }
    else
    {
        StopObservingAll();
        m_observedDevices.Clear(nullptr);
        m_observedFiles.Clear(nullptr);
    }
}

void CAreaSettings::HandleNotify(CSubject* subject, uint32_t code)
{
    if (!subject)
        return;
    if (code == NOTIFY_RELEASE)
    {
        // A subject that goes is not asked anything: a unit or show leaves its row to the next
        // list refresh, and a manager is not used again.
        if (subject == m_deviceManager)
            m_deviceManager = nullptr;
        else if (subject == m_fileManager)
            m_fileManager = nullptr;
        else if (subject == m_languageManager)
            m_languageManager = nullptr;
        m_deviceList->SetDirty();
        m_fileList->SetDirty();
        return;
    }
    if (subject == m_languageManager)
    {
        if (code == NOTIFY_SELECTION)
        {
            m_languageList->SetDirty();
            return;
        }
        m_languageList->SetRowCount(m_languageManager->GetLanguageCount());
        const int32_t row =
            m_languageManager->GetLanguageIndex(m_languageManager->FindLanguage(m_languageManager->GetLanguageName()));
        if (row >= 0)
            m_languageList->ScrollToCell(row, false);
        m_languageList->SetDirty();
        // The shows' rows name months and sizes, and mark read-only shows, in the language.
        m_fileList->SetDirty();
        UpdateCaptions();
        return;
    }
    if (subject == m_fileManager)
    {
        if (code == NOTIFY_SELECTION)
        {
            m_fileList->SetDirty();
        }
        else
        {
            m_fileManager->AttachFiles(this, &m_observedFiles);
            m_fileList->SetRowCount(m_fileManager->GetCount());
            m_fileList->SetDirty();
        }
        UpdateButtons();
        return;
    }
    if (subject == m_deviceManager)
    {
        // Counted on the link thread and told on the main thread's tick; the page has nothing to
        // show, nor of a refused change, which the root area tells.
        if (code == NOTIFY_PROGRESS || code == DEVICE_MANAGER_NOTIFY_REFUSED)
            return;
        if (code == NOTIFY_UNKNOWN || code == DEVICE_MANAGER_NOTIFY_CONNECTED)
            m_lamp->SetColour(m_deviceManager->GetStatusColour());
        if (code == NOTIFY_LOCK)
        {
            m_lockIcon->SetVisible(IsVisible() && m_deviceManager->IsLocked());
            Layout();
            SetDirty();
        }
        else if (code == NOTIFY_SELECTION)
        {
            m_deviceList->SetDirty();
        }
        else if (code != DEVICE_MANAGER_NOTIFY_CONNECTED)
        {
            m_deviceManager->ObserveDevices(this, &m_observedDevices);
            m_deviceList->SetRowCount(uint32_t(m_deviceManager->GetDeviceCount()));
            m_deviceList->SetDirty();
        }
        UpdateButtons();
        return;
    }
    // A show file or a unit: one row changed. A show found read-only as it was about to be written
    // is no longer offered for writing.
    if (m_observedFiles.Contains(subject))
    {
        m_fileList->RepaintRow(uint32_t(std::max(0, static_cast<CFile*>(subject)->GetIndex())));
        UpdateButtons();
    }
    else if (CDevice* device = dynamic_cast<CDevice*>(subject))
        m_deviceList->RepaintRow(uint32_t(std::max(0, device->GetIndex())));
}

void CAreaSettings::UpdateButtons()
{
    const bool unit = m_deviceManager && m_deviceManager->GetConnectedDevice();
    CFile* file = GetCurrentFile();
    const bool writable = !file || !file->IsReadOnly();
    for (Button button : {kDeviceIp, kDeviceRename, kArtNet, kAcn})
        m_buttons[button]->SetOn(unit);
    m_buttons[kDeviceRename]->SetEnabled(unit);
    m_buttons[kFileNew]->SetOn(m_fileManager && m_fileManager->GetCount() < kMaxShowFiles);
    for (Button button : {kFileRemove, kFileRename, kFileSave})
        m_buttons[button]->SetOn(file && writable);
    m_buttons[kFileOpen]->SetOn(unit && file);
}

CFile* CAreaSettings::GetCurrentFile() const
{
    return m_fileManager ? m_fileManager->GetCurrentFile() : nullptr;
}

// Cells

void CAreaSettings::GetCell(CAreaGrid* grid, uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour,
                            bool& highlighted, std::vector<CZevralImage>& icons)
{
    if (grid == m_deviceList)
        DeviceCell(column, row, text, colour, highlighted, icons);
    else if (grid == m_languageList)
        LanguageCell(row, text, highlighted, icons);
    else if (grid == m_fileList)
        FileCell(column, row, text, highlighted);
}

void CAreaSettings::DeviceCell(uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour,
                               bool& highlighted, std::vector<CZevralImage>& icons)
{
    const CDevice* device = m_deviceManager ? m_deviceManager->GetDevice(row) : nullptr;
    if (!device)
        return;
    highlighted = device->GetAddress() == m_deviceManager->GetConnectedAddress();
    switch (column)
    {
    case 0:
        text = device->GetAddress().ToText();
        icons.push_back(CGlyphManager::Instance().GetImage(
            "device", DeviceTypeKey(device->GetType()), uint32_t(m_deviceList->GetColumnRect(0).GetHeight())));
        if (!device->IsOnline())
            colour = kOrange;
        break;
    case 1:
        text = device->GetLabel();
        break;
    case 2:
        text = FormatVersionMajorMinor(device->GetFirmwareVersion());
        if (IsFirmwareOutdated(*device))
            colour = kOrange;
        break;
    case 3:
        text = FormatVersionMajorMinor(device->GetPcbVersion());
        break;
    case 4:
        text = device->GetArtNetText();
        break;
    case 5:
        text = device->GetAcnText();
        break;
    default:
        break;
    }
}

void CAreaSettings::LanguageCell(uint32_t row, std::string& text, bool& highlighted, std::vector<CZevralImage>& icons)
{
    const CLanguage* language = m_languageManager ? m_languageManager->GetLanguage(row) : nullptr;
    if (!language)
        return;
    highlighted = language->GetName() == m_languageManager->GetLanguageName();
    text = language->GetName();
    icons.push_back(CGlyphManager::Instance().GetImage("language", language->GetFileName(),
                                                       uint32_t(m_languageList->GetColumnRect(0).GetHeight())));
}

void CAreaSettings::FileCell(uint32_t column, uint32_t row, std::string& text, bool& highlighted)
{
    CFile* file = m_fileManager ? m_fileManager->GetFile(row) : nullptr;
    if (!file)
        return;
    highlighted = file == m_fileManager->GetCurrentFile();
    if (column == 0)
        text = file->GetName() + (file->IsReadOnly() ? " [" + CApp::Translate("readonly", false) + "]" : "");
    else if (column == 1)
        text = DateText(*file);
    else if (column == 2)
        text = SizeText(*file);
}

// Presses on the lists

void CAreaSettings::OnCellPress(CAreaGrid* grid, int32_t, int32_t row)
{
    const uint32_t index = uint32_t(std::max(0, row));
    if (grid == m_deviceList && m_deviceManager)
    {
        // A row without a unit chooses none; a locked choice stays whatever is pressed.
        const CDevice* device = m_deviceManager->GetDevice(index);
        m_deviceManager->SetConnectedAddress(device ? device->GetAddress() : CIpAddress());
    }
    else if (grid == m_fileList && m_fileManager)
    {
        m_fileManager->SetCurrentFile(m_fileManager->GetFile(index));
        if (index >= m_fileManager->GetCount())
            m_fileManager->Refresh();
    }
    else if (grid == m_languageList && m_languageManager)
    {
        if (const CLanguage* language = m_languageManager->GetLanguage(index))
            m_languageManager->SetLanguage(language->GetName());
    }
}

void CAreaSettings::OnDeviceDoubleClick(CAreaGrid* grid, int32_t column)
{
    if (!m_deviceManager)
        return;
    // The grid reports the column only: the row is the one the first click of the pair pressed.
    const CRect selection = grid->GetSelection();
    CDevice* device = m_deviceManager->GetDevice(uint32_t(std::max(0, selection.GetY())));
    if (!device || selection.GetY() < 0)
        return;
    if (column == 0 && !device->IsOnline())
        ShowNotice("Cannot communicate with device.", true, "IP address might be out of range.");
    else if (column == 2 && IsFirmwareOutdated(*device))
        ShowNotice("Firmware out of date.", true, "Please upgrade.");
    else
        device->Blink();
}

void CAreaSettings::OnLockPress()
{
    ShowNotice("The device selection is locked.", true, "This is a special mode for demonstration purposes.");
}

// Buttons

void CAreaSettings::OnButtonClick(CAreaButton* button)
{
    for (uint32_t i = 0; i < kButtonCount; ++i)
        if (m_buttons[i] == button)
            Click(Button(i));
}

void CAreaSettings::RepaintLamp()
{
    // The lamp and its legend reach into the options key's clear right edge: whenever the key
    // paints, they paint again after it.
    m_lamp->SetDirty();
    if (m_texts.size() > kLegend)
        m_texts[kLegend]->SetDirty();
}

void CAreaSettings::OnIpPress()
{
    // The lock hold counts from the first press: another on the held button restarts nothing.
    if (m_ipHeld)
        return;
    m_ipHeld = true;
    m_holdTime = 0.0f;
}

void CAreaSettings::OnIpRelease()
{
    m_ipHeld = false;
    m_holdTime = 0.0f;
}

void CAreaSettings::Click(Button button)
{
    CDevice* unit = GetConnectedUnit();
    CFile* file = GetCurrentFile();
    const bool writable = file && !file->IsReadOnly();
    switch (button)
    {
    case kOptions:
        if (m_root)
            m_root->SetPage(CAreaMain::kPagePlayback);
        break;
    case kPatch:
        if (m_root)
            m_root->SetPage(CAreaMain::kPagePatch);
        break;
    case kDeviceIp:
    case kDeviceRename:
    case kArtNet:
    case kAcn:
        if (unit)
            EditUnit(button, *unit);
        break;
    case kFileNew:
        CreateShowFile();
        break;
    case kFileOpen:
        if (file)
        {
            if (!file->Load())
                ShowNotice(file->GetError(), false, {}, file->GetErrorName());
            else
            {
                m_loadWaiting = m_fileManager && m_fileManager->IsLoadPending();
                OpenLoadingDialog();
            }
        }
        break;
    case kFileRemove:
    case kFileRename:
    case kFileSave:
        if (writable)
            EditFile(button, *file);
        break;
    default:
        break;
    }
}

// Dialogs. Each starts from what the unit or the show holds now; closed with Ok it changes the
// unit connected, or the show current, when it closes.

CDevice* CAreaSettings::GetConnectedUnit() const
{
    return m_deviceManager ? m_deviceManager->GetConnectedDevice() : nullptr;
}

CDevice* CAreaSettings::UnitOnOk(uint32_t result) const
{
    return result == kResultOk ? GetConnectedUnit() : nullptr;
}

CFile* CAreaSettings::FileOnOk(uint32_t result) const
{
    return result == kResultOk ? GetCurrentFile() : nullptr;
}

void CAreaSettings::EditUnit(Button button, const CDevice& unit)
{
    if (button == kDeviceIp)
    {
        auto dialog = std::make_unique<CDialogIpAndSubnet>(this, true);
        dialog->SetIpAddress(unit.GetAddress());
        dialog->SetSubnet(unit.GetSubnet());
        dialog->SetDhcp(unit.GetDhcp());
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogIpAndSubnet& network, uint32_t result) {
            CDevice* unit = UnitOnOk(result);
            // Only what the dialog could read as addresses reaches the unit.
            if (!unit || !network.IsAcceptable())
                return;
            if (!network.IsDhcp())
            {
                unit->SetIp(network.GetIpAddress());
                unit->SetSubnet(network.GetSubnet());
            }
            unit->SetDhcp(network.IsDhcp());
        });
    }
    else if (button == kDeviceRename)
    {
        auto dialog = std::make_unique<CDialogString>(this);
        dialog->SetCaption("Device name");
        dialog->SetText(unit.GetLabel());
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogString& names, uint32_t result) {
            CDevice* unit = UnitOnOk(result);
            if (unit && names.IsAcceptable())
                unit->SetLabel(names.GetText());
        });
    }
    else if (button == kArtNet)
    {
        auto dialog = std::make_unique<CDialogArtnet>(this);
        dialog->Set(unit.GetArtNetEnabled(), uint8_t(unit.GetArtNetUniverse()));
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogArtnet& artNet, uint32_t result) {
            if (CDevice* unit = UnitOnOk(result))
            {
                unit->SetArtNetUniverse(artNet.GetAddress());
                unit->SetArtNetEnabled(artNet.IsArtNetEnabled());
            }
        });
    }
    else if (button == kAcn)
    {
        auto dialog = std::make_unique<CDialogAcn>(this);
        dialog->Set(unit.GetAcnEnabled(), unit.GetAcnUniverse());
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogAcn& acn, uint32_t result) {
            if (CDevice* unit = UnitOnOk(result))
            {
                unit->SetAcnUniverse(acn.GetUniverse());
                unit->SetAcnEnabled(acn.IsAcnEnabled());
            }
        });
    }
}

void CAreaSettings::EditFile(Button button, const CFile& file)
{
    if (button == kFileRename)
    {
        auto dialog = std::make_unique<CDialogString>(this);
        dialog->SetCaption("Showfile name");
        dialog->SetText(file.GetName());
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogString& names, uint32_t result) {
            CFile* file = FileOnOk(result);
            // Rename refuses an empty name, a path and a name another show has: the operator is told.
            if (file && names.IsAcceptable() && !file->Rename(names.GetText()))
                ShowNotice(file->GetError(), false, {}, file->GetErrorName());
        });
        return;
    }
    auto dialog = std::make_unique<CDialogConfirmation>(this);
    if (button == kFileRemove)
    {
        dialog->SetText("Remove file?", true);
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogConfirmation&, uint32_t result) {
            CFile* file = FileOnOk(result);
            if (file && m_fileManager && !m_fileManager->RemoveFile(file) && !m_fileManager->GetError().empty())
                ShowNotice(m_fileManager->GetError(), false, {}, m_fileManager->GetErrorName());
        });
    }
    else if (button == kFileSave)
    {
        dialog->SetText("Overwrite file?", true);
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogConfirmation&, uint32_t result) {
            CFile* file = FileOnOk(result);
            if (file && !file->Save(false))
                ShowNotice(file->GetError(), false, {}, file->GetErrorName());
        });
    }
}

void CAreaSettings::CreateShowFile()
{
    std::string hint;
    if (m_explanations)
        m_explanations->GetExplanation(kNewFileHint, hint);
    if (!hint.empty())
    {
        auto dialog = std::make_unique<CDialogExplanation>(this);
        dialog->SetText(hint, true);
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogExplanation& explanation, uint32_t) {
            if (m_explanations && explanation.IsDontShowChecked())
                m_explanations->SetCurrentEnabled(false);
        });
    }
    if (m_fileManager)
    {
        // The new show becomes the current one, as the hint tells the operator.
        if (CFile* created = m_fileManager->CreateShowFile())
        {
            m_fileManager->SetCurrentFile(created);
            // Brought into view: a key that acts on the current show acts on a row the operator
            // sees, wherever the new name sorts among thousands.
            m_fileList->ScrollToCell(created->GetIndex(), false);
        }
        else
            ShowNotice(m_fileManager->GetError(), false, {}, m_fileManager->GetErrorName());
    }
}

void CAreaSettings::OpenLoadingDialog()
{
    ShowDialog(std::make_unique<CDialogLoading>(this, m_deviceManager), kPlaceCentred,
               [this](CDialogLoading&, uint32_t result) {
                   if (result != kResultOk)
                   {
                       // Abort or a lost link: a show still waiting for the controller goes too.
                       if (m_fileManager)
                           m_fileManager->CancelPendingLoad();
                       m_loadWaiting = false;
                   }
                   else if (m_loadWaiting)
                   {
                       // What this dialog counted was the model reading the controller; once the
                       // show has gone into the queue the next dialog counts the show itself.
                       m_loadWaiting = m_fileManager && m_fileManager->IsLoadPending();
                       OpenLoadingDialog();
                   }
               });
}

void CAreaSettings::ShowNotice(const std::string& text, bool translate, const std::string& second,
                               const std::string& name)
{
    if (GetModalChild())
    {
        m_pendingNotice = text;
        m_pendingSecond = second;
        m_pendingName = name;
        m_pendingTranslate = translate;
        return;
    }
    auto dialog = std::make_unique<CDialogNotification>(this);
    dialog->SetText(text, translate, name);
    if (!second.empty())
        dialog->SetLinkText(second, translate);
    ShowDialog(std::move(dialog));
}

void CAreaSettings::OnDialogClosed(CArea2*, uint32_t)
{
    // A notice that waited for the dialog shows now, unless the dialog's end opened another.
    if (GetModalChild() || m_pendingNotice.empty())
        return;
    const std::string text = m_pendingNotice;
    const std::string second = m_pendingSecond;
    const std::string name = m_pendingName;
    m_pendingNotice.clear();
    m_pendingSecond.clear();
    m_pendingName.clear();
    ShowNotice(text, m_pendingTranslate, second, name);
}

// Keys and time

void CAreaSettings::OnKeyDown(uint32_t key, bool* handled)
{
    if (key == kKeyBackspace)
    {
        if (CDevice* unit = GetConnectedUnit())
            unit->Blink();
    }
    else if (key == kKeyEscape)
    {
        m_buttons[kOptions]->Press();
    }
    *handled = true;
}

void CAreaSettings::OnKeyUp(uint32_t key, bool* handled)
{
    if (key == kKeyEscape)
        m_buttons[kOptions]->Release();
    *handled = true;
}

void CAreaSettings::OnTick(float seconds)
{
    if (!m_ipHeld || m_holdTime >= kLockHoldSeconds)
        return;
    m_holdTime += seconds;
    if (m_holdTime + kHoldTolerance >= kLockHoldSeconds)
    {
        m_holdTime = kLockHoldSeconds;
        if (m_deviceManager)
            m_deviceManager->SetLocked(!m_deviceManager->IsLocked());
    }
}
