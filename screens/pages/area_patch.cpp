#include "screens/pages/area_patch.h"

#include "foundation/notify_codes.h"
#include "graphics/font_manager.h"
#include "graphics/language_manager.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "link/device_manager.h"
#include "model/core.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/fixture_selection.h"
#include "screens/dialogs/dialog_address.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/dialogs/dialog_personality.h"
#include "screens/dialogs/dialog_string.h"
#include "screens/pages/area_main.h"
#include "shell/app.h"
#include "widgets/area_button.h"
#include "widgets/area_label.h"
#include "widgets/area_led.h"
#include "widgets/connect.h"
#include "widgets/word_wrap.h"

#include <SDL_keycode.h>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr uint32_t kKeyBackspace = 8;
constexpr uint32_t kKeyEscape = 27;
constexpr uint32_t kKeyDelete = uint32_t(SDLK_DELETE);
constexpr uint32_t kSkinSize = 32;
// Caption sizes and colours over the skin's key pictures, as on the playback page: the face of a
// latched key is lit, so its caption brightens.
constexpr uint32_t kPageKeyFontSize = 13;
constexpr uint32_t kKeyFontSize = 12;
constexpr uint32_t kSmallestFontSize = 8;
constexpr int32_t kCaptionMargin = 8;
// What of a key's picture no caption line reaches above and below its middle: its lamp, a strip
// some 6 to 9 pixels below its top edge.
constexpr int32_t kCaptionTop = 10;
const CRgbaColour kCaption(214, 218, 224, 255);
const CRgbaColour kCaptionLit(246, 247, 249, 255);
// The texts over the background: title, headings, hint.
const CRgbaColour kTitle(138, 145, 155, 255);
const CRgbaColour kFaint(92, 99, 109, 255);

uint32_t Scale()
{
    return CApp::IsHighResolution() ? 2 : 1;
}

// A key of this page: its skin picture, and over it the caption in the current language, as large
// as wanted or smaller until it fits, broken over two lines where the key is narrow (the option
// keys are square).
class CPageKey : public CAreaButton
{
public:
    CPageKey(CArea2* parent, const std::string& imageName, uint32_t fontSize)
        : CAreaButton(parent, imageName, true), m_imageBase(CSkinManager::GetSkinFileNameShort(imageName)),
          m_fontSize(fontSize)
    {
    }

protected:
    void Paint(CTextureAdapter& canvas) override
    {
        const CZevralImage* picture = Picture();
        if (picture)
            canvas.CompositeImage(CPoint(0, 0), *picture);
        const std::string& caption = GetCaption();
        if (caption.empty())
            return;
        const int32_t width = int32_t(GetWidth());
        uint32_t size = m_fontSize * Scale();
        std::vector<std::string> lines;
        // Within what the picture shows of the key, which may be narrower than the key.
        int32_t left = 0;
        int32_t right = width;
        PictureColumns(picture, width, left, right);
        const int32_t room = right - left - kCaptionMargin * int32_t(Scale());
        // The lines stay below the lamp of the key's picture.
        const int32_t innerHeight = int32_t(GetHeight()) - (picture ? 2 * kCaptionTop * int32_t(Scale()) : 0);
        int32_t lineHeight = 0;
        for (;; --size)
        {
            // The word wrap keeps its own margin of 8 pixels.
            TTF_Font* font = CFontManager::Instance().GetFont(GetFontName(), int32_t(size));
            lines = WrapWords(caption, room + 8, font);
            int32_t widest = 0;
            for (const std::string& line : lines)
            {
                int32_t lineWidth = 0;
                MeasureText(line, size, lineWidth, lineHeight);
                widest = std::max(widest, lineWidth);
            }
            const int32_t most = std::max(1, innerHeight / std::max(1, lineHeight));
            if (widest <= room && int32_t(lines.size()) <= most)
                break;
            // Too long even at the smallest size (a long translation): shortened to the lines the
            // key holds, within the caption's margin, or on a key without a picture (and so
            // without a border to keep off) within the key.
            if (size <= kSmallestFontSize * Scale())
            {
                lines = WrapWordsWithin(caption, (picture ? room : width) + 8, size_t(most), font);
                break;
            }
        }
        // Pressed keys sink by a pixel, and their caption with them.
        const int32_t middle = int32_t(GetHeight()) / 2 + (IsPressed() ? int32_t(Scale()) : 0);
        int32_t y = FirstLineY(middle, lines.size(), lineHeight);
        for (const std::string& line : lines)
        {
            DrawText(canvas, line, IsOn() ? kCaptionLit : kCaption, CPoint((left + right) / 2, y), kAlignCentre,
                     kAlignMiddle, size);
            y += lineHeight;
        }
    }

private:
    const CZevralImage* Find(const char* suffix) const
    {
        const CZevralImage* image = nullptr;
        return CSkinManager::Instance().GetImagePointer(image, m_imageBase + suffix, kSkinSize) ? image : nullptr;
    }
    // The picture of the key's state, with the same stand-ins the plain button takes.
    const CZevralImage* Picture() const
    {
        std::vector<const char*> suffixes;
        if (!IsPressed())
            suffixes = IsOn() ? std::vector<const char*>{"_on_up"} : std::vector<const char*>{"_off_up", "_up"};
        else
            suffixes = IsOn() ? std::vector<const char*>{"_on_down"}
                              : std::vector<const char*>{"_off_down", "_on_down", "_down"};
        for (const char* suffix : suffixes)
            if (const CZevralImage* image = Find(suffix))
                return image;
        return nullptr;
    }

    std::string m_imageBase;
    uint32_t m_fontSize;
};
}  // namespace

CAreaPatch::CAreaPatch(CArea2* root, CCore* core)
    : CAreaPatch(root, core ? core->GetFixtureManager() : nullptr, core ? core->GetPersonalityManager() : nullptr,
                 core ? core->GetDeviceManager() : nullptr, core ? core->GetSelection() : nullptr)
{
}

CAreaPatch::CAreaPatch(CArea2* root, CFixtureManager* fixtures, CPersonalityManager* library,
                       CDeviceManager* devices, CSelectionFixture* selection)
    : CAreaImage(root, CSkinManager::GetSkinFileName("background_patch"), false),
      m_fixtureManager(fixtures),
      m_library(library),
      m_deviceManager(devices),
      m_selection(selection)
{
    SetName("CAreaPatch");
    for (uint32_t i = 0; i < kTileCount; ++i)
    {
        // In the list before it is adopted: a tile asks its place as soon as it shows.
        auto tile = std::make_unique<CAreaFixture>(this, fixtures);
        m_tiles.push_back(tile.get());
        AddChild(std::move(tile));
    }

    for (const auto& [button, image] :
         {std::pair(&m_patch, "button_patch"), std::pair(&m_options, "button_options"),
          std::pair(&m_invertPan, "button_invert_pan"), std::pair(&m_invertTilt, "button_invert_tilt"),
          std::pair(&m_swapPanTilt, "button_swap_pan_tilt"), std::pair(&m_virtualDimmer, "button_virtual_dimmer"),
          std::pair(&m_personality, "button_patch_personality"), std::pair(&m_rename, "button_patch_rename"),
          std::pair(&m_address, "button_patch_address"), std::pair(&m_clear, "button_clear")})
    {
        const bool pageKey = button == &m_patch || button == &m_options;
        *button = MakeChild<CPageKey>(image, pageKey ? kPageKeyFontSize : kKeyFontSize);
        Connect<&CAreaPatch::Click>(*button, &CAreaButton::SetClickCallback, this);
    }
    m_patch->SetOn(true);
    m_options->SetWidth(CApp::IsHighResolution() ? 192 : 97);

    m_lamp = MakeChild<CAreaLed>();

    m_title = AddText(18, kTitle, kAlignStart);
    m_lampLegend = AddText(8, kTitle, kAlignCentre);
    m_hint = AddText(11, kFaint, kAlignStart);
    m_optionsHeading = AddText(8, kTitle, kAlignCentre);
    m_tileHeading = AddText(8, kTitle, kAlignCentre);
    for (int i = 0; i < 4; ++i)
    {
        m_tileRows.push_back(AddText(9, kTitle, kAlignStart));
        m_letterMeanings.push_back(AddText(9, kTitle, kAlignStart));
    }
    ShowTexts();
}

CAreaLabel* CAreaPatch::AddText(uint32_t size, CRgbaColour colour, uint32_t alignment)
{
    CAreaLabel* label = MakeChild<CAreaLabel>(true);
    label->SetTextSize(size * Scale());
    label->SetTextColour(colour);
    label->SetHorizontalAlignment(alignment);
    return label;
}

CAreaPatch::~CAreaPatch()
{
    m_pageSubjects.Clear(this);
}

int32_t CAreaPatch::GetFixtureAreaIndex(const CArea2* area) const
{
    const auto it = std::find(m_tiles.begin(), m_tiles.end(), area);
    return it == m_tiles.end() ? -1 : int32_t(it - m_tiles.begin());
}

void CAreaPatch::ShowTexts()
{
    for (const auto& [button, caption] :
         {std::pair(m_patch, "PATCH"), std::pair(m_options, "OPTIONS"), std::pair(m_invertPan, "INVERT PAN"),
          std::pair(m_invertTilt, "INVERT TILT"), std::pair(m_swapPanTilt, "SWAP PAN/TILT"),
          std::pair(m_virtualDimmer, "VIRTUAL DIMMER"), std::pair(m_personality, "PERSONALITY"),
          std::pair(m_rename, "RENAME"), std::pair(m_address, "ADDRESS"), std::pair(m_clear, "CLEAR")})
        button->SetCaption(caption, true);
    m_title->SetText("Patch", true, true);
    m_lampLegend->SetText("Link", true, true);
    uint32_t legendSize = 8 * Scale();
    m_lampLegend->FitFontSize(m_lampLegend->GetWidth(), legendSize, m_lampLegend->GetText());
    m_lampLegend->SetTextSize(std::max<uint32_t>(legendSize, 1));
    m_hint->SetText("Drag across the tiles to select fixtures.", true);
    m_optionsHeading->SetText("Fixture Options", true, true);
    m_tileHeading->SetText("Tile", true, true);
    const char* const rows[] = {"Name", "Manufacturer", "Model", "Mode"};
    const char* const meanings[] = {"Invert Pan", "Invert Tilt", "Swap Pan/Tilt", "Virtual Dimmer"};
    for (size_t i = 0; i < m_tileRows.size(); ++i)
    {
        m_tileRows[i]->SetText(rows[i], true);
        m_letterMeanings[i]->SetText(meanings[i], true);
        // A long translation gives up size rather than run out of the legend.
        for (CAreaLabel* label : {m_tileRows[i], m_letterMeanings[i]})
        {
            uint32_t size = 9 * Scale();
            label->FitFontSize(label->GetWidth(), size, label->GetText());
            label->SetTextSize(std::max<uint32_t>(size, 1));
        }
    }
}

void CAreaPatch::Layout()
{
    std::printf("Resizing CAreaPatch");
    const int32_t s = int32_t(Scale());
    ArrangeInRows(std::vector<CArea2*>(m_tiles.begin(), m_tiles.end()),
                  CRect::FromCorners(9 * s, 105 * s, 758 * s, 822 * s), 0);
    m_patch->SetPosition(CPoint(s, 25 * s));
    m_options->SetPosition(CPoint(103 * s, 25 * s));
    m_invertPan->SetPosition(CPoint(378 * s, 935 * s));
    m_invertTilt->SetPosition(CPoint(444 * s, 935 * s));
    m_swapPanTilt->SetPosition(CPoint(507 * s, 935 * s));
    m_virtualDimmer->SetPosition(CPoint(570 * s, 935 * s));
    m_personality->SetPosition(CPoint(17 * s, 847 * s));
    m_rename->SetPosition(CPoint(17 * s, 890 * s));
    m_address->SetPosition(CPoint(17 * s, 928 * s));
    m_clear->SetPosition(CPoint(141 * s, m_personality->GetY()));
    m_lamp->SetPosition(CPoint(197 * s, 43 * s));

    // Over the background: the title beside the lamp, the legend under it, the hint at the right
    // of the header, the headings of the option keys and of the tile legend, and the legend.
    m_title->SetRect(CRect(228 * s, 37 * s, 150 * s, 24 * s));
    m_lampLegend->SetRect(CRect(195 * s, 62 * s, 23 * s, 13 * s));
    m_hint->SetRect(CRect(382 * s, 41 * s, 376 * s, 16 * s));
    m_optionsHeading->SetRect(CRect(404 * s, 914 * s, 200 * s, 14 * s));
    m_tileHeading->SetRect(CRect(652 * s, 843 * s, 107 * s, 14 * s));
    for (int32_t i = 0; i < int32_t(m_tileRows.size()); ++i)
    {
        m_tileRows[size_t(i)]->SetRect(CRect(667 * s, (865 + 12 * i) * s, 84 * s, 12 * s));
        m_letterMeanings[size_t(i)]->SetRect(CRect(673 * s, (937 + 15 * i) * s, 82 * s, 14 * s));
    }
}

void CAreaPatch::OnVisibleChanged()
{
    if (!IsVisible())
    {
        m_pageSubjects.Clear(this);
        StopObservingAll();
        return;
    }
    ShowTexts();
    Observe(m_fixtureManager);
    Observe(m_deviceManager);
    Observe(m_selection);
    if (CLanguageManager* languages = CLanguageManager::FromApplication())
        Observe(languages);
    HandleNotify(m_fixtureManager, NOTIFY_UNKNOWN);
    HandleNotify(m_deviceManager, NOTIFY_UNKNOWN);
    // The selection may have changed while the page was away: the tiles show it as it is now.
    HandleNotify(m_selection, NOTIFY_UNKNOWN);
}

void CAreaPatch::HandleNotify(CSubject* subject, uint32_t code)
{
    if (!subject)
        return;
    if (code == NOTIFY_RELEASE)
    {
        // A part of the model that goes is not read again.
        if (subject == m_fixtureManager)
            m_fixtureManager = nullptr;
        else if (subject == m_deviceManager)
            m_deviceManager = nullptr;
        else if (subject == m_selection)
            m_selection = nullptr;
        return;
    }
    if (subject == CLanguageManager::FromApplication())
    {
        ShowTexts();
    }
    else if (subject == m_deviceManager)
    {
        if (code == NOTIFY_UNKNOWN || code == DEVICE_MANAGER_NOTIFY_CONNECTED)
            m_lamp->SetColour(m_deviceManager->GetStatusColour());
    }
    else if (subject == m_fixtureManager)
    {
        if (code != NOTIFY_SELECTION)
            m_fixtureManager->ObserveFixtures(this, &m_pageSubjects);
        RefreshButtonStates();
    }
    else if (subject == m_selection)
    {
        for (uint32_t i = 0; i < m_tiles.size(); ++i)
            m_tiles[i]->SetSelected(m_selection->IsSelected(i));
        RefreshButtonStates();
    }
}

void CAreaPatch::RefreshButtonStates()
{
    const bool any = m_selection && !m_selection->IsEmpty();
    for (CAreaButton* button : {m_personality, m_rename, m_address, m_clear, m_invertPan, m_invertTilt, m_swapPanTilt,
                                m_virtualDimmer})
        button->SetOn(any);
}

int32_t CAreaPatch::TileAt(const CPoint& point) const
{
    for (uint32_t i = 0; i < m_tiles.size(); ++i)
        if (m_tiles[i]->Contains(point))
            return int32_t(i);
    return -1;
}

void CAreaPatch::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    const int32_t tile = TileAt(point);
    if (tile >= 0 && m_selection)
        m_selection->BeginDrag(uint32_t(tile));
}

void CAreaPatch::OnPointerMove(const CPoint& point)
{
    const int32_t tile = TileAt(point);
    if (tile >= 0 && m_selection)
        m_selection->DragTo(uint32_t(tile));
}

void CAreaPatch::OnPointerUp(const CPoint& point, bool* handled)
{
    *handled = true;
    if (!m_selection)
        return;
    const int32_t tile = TileAt(point);
    if (tile >= 0)
        m_selection->EndDrag(uint32_t(tile));
    // Let go outside the tiles, the drag still ends.
    m_selection->CancelDrag();
}

void CAreaPatch::OnKeyDown(uint32_t key, bool* handled)
{
    *handled = true;
    if (key == kKeyBackspace)
    {
        if (m_selection)
            m_selection->Clear();
    }
    else if (key == kKeyDelete)
        m_clear->Press();
    else if (key == kKeyEscape)
        m_patch->Press();
}

void CAreaPatch::OnKeyUp(uint32_t key, bool* handled)
{
    *handled = true;
    if (key == kKeyDelete)
        m_clear->Release();
    else if (key == kKeyEscape)
        m_patch->Release();
}

std::vector<CFixture*> CAreaPatch::SelectedFixtures() const
{
    std::vector<CFixture*> fixtures;
    if (!m_selection || !m_fixtureManager)
        return fixtures;
    for (uint32_t n = 0;; ++n)
    {
        const int32_t slot = m_selection->GetSelected(n);
        if (slot < 0)
            break;
        if (CFixture* fixture = m_fixtureManager->GetFixture(uint32_t(slot)))
            fixtures.push_back(fixture);
    }
    return fixtures;
}

void CAreaPatch::Click(CAreaButton* button)
{
    if (button == m_patch || button == m_options)
    {
        if (CAreaMain* root = dynamic_cast<CAreaMain*>(GetParent()))
            root->SetPage(button == m_patch ? CAreaMain::kPagePlayback : CAreaMain::kPageSettings);
        return;
    }
    const std::vector<CFixture*> fixtures = SelectedFixtures();
    if (fixtures.empty())
        return;
    if (!m_deviceManager || !m_deviceManager->IsConnected())
    {
        auto notice = std::make_unique<CDialogNotification>(this);
        notice->SetText("No hardware connected.", true);
        ShowDialog(std::move(notice));
        return;
    }
    m_selection->SetClearOnNextPress();
    CFixture* first = fixtures.front();

    if (button == m_personality)
    {
        CPersonalityRef common = first->GetPersonality();
        for (const CFixture* fixture : fixtures)
            if (fixture->GetPersonality() != common)
                common = CPersonalityRef();
        auto dialog = std::make_unique<CDialogPersonality>(this, m_library);
        dialog->SetPersonality(common);
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogPersonality& library, uint32_t result) {
            if (result != kResultOk)
                return;
            const CPersonalityRef personality = library.GetPersonality();
            for (CFixture* fixture : SelectedFixtures())
                fixture->SetPersonality(personality);
        });
    }
    else if (button == m_rename)
    {
        std::string common = first->GetLabel();
        for (const CFixture* fixture : fixtures)
            if (fixture->GetLabel() != common)
                common.clear();
        auto dialog = std::make_unique<CDialogString>(this);
        dialog->SetCaption("Rename Fixture");
        dialog->SetText(common);
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogString& names, uint32_t result) {
            if (result == kResultOk)
                ApplyNames(names.GetText());
        });
    }
    else if (button == m_address)
    {
        auto dialog = std::make_unique<CDialogAddress>(this);
        dialog->SetAddress(first->GetAddress());
        ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogAddress& addresses, uint32_t result) {
            if (result == kResultOk)
                ApplyAddresses(addresses.GetAddress());
        });
    }
    else if (button == m_clear)
    {
        for (CFixture* fixture : fixtures)
            fixture->Clear();
    }
    else if (button == m_invertPan)
    {
        const bool invert = !first->GetIntendedInvertPan();
        for (CFixture* fixture : fixtures)
            fixture->SetInvertPan(invert);
    }
    else if (button == m_invertTilt)
    {
        const bool invert = !first->GetIntendedInvertTilt();
        for (CFixture* fixture : fixtures)
            fixture->SetInvertTilt(invert);
    }
    else if (button == m_swapPanTilt)
    {
        const bool swap = !first->GetIntendedSwapPanTilt();
        for (CFixture* fixture : fixtures)
            fixture->SetSwapPanTilt(swap);
    }
    else if (button == m_virtualDimmer)
    {
        const bool dimmer = !first->GetIntendedVirtualDimmer();
        for (CFixture* fixture : fixtures)
            fixture->SetVirtualDimmer(dimmer);
    }
}

void CAreaPatch::ApplyNames(const std::string& text)
{
    const std::vector<CFixture*> fixtures = SelectedFixtures();
    const size_t count = fixtures.size();
    for (size_t k = 1; k <= count; ++k)
    {
        std::string label = text;
        // Two digits from ten fixtures on, so the names sort in their order.
        if (count >= 10)
        {
            char number[16];
            std::snprintf(number, sizeof(number), "%02u", unsigned(k));
            label += number;
        }
        else if (count >= 2)
            label += std::to_string(k);
        fixtures[k - 1]->SetLabel(label);
    }
}

void CAreaPatch::ApplyAddresses(uint32_t first)
{
    // One after another: each fixture starts where the channels of the one before it end.
    uint32_t address = first;
    for (CFixture* fixture : SelectedFixtures())
    {
        fixture->SetAddress(address);
        address += fixture->GetPersonality().GetChannelCount();
    }
}
