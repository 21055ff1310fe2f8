#include "screens/pages/area_edit.h"

#include "foundation/notify_codes.h"
#include "graphics/glyph_manager.h"
#include "graphics/skin_manager.h"
#include "link/device_manager.h"
#include "model/core.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/programmer.h"
#include "model/programmer_change.h"
#include "screens/dialogs/dialog_fx.h"
#include "screens/pages/area_main.h"
#include "shell/app.h"
#include "widgets/area_axis.h"
#include "widgets/area_button.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_colour_wheel.h"
#include "widgets/area_cue_grid.h"
#include "widgets/area_fader_soft_parameter.h"
#include "widgets/area_label.h"
#include "widgets/area_led.h"
#include "widgets/area_spectrum.h"
#include "widgets/connect.h"

#include <SDL_keycode.h>

#include <algorithm>

namespace
{
// The faders in the order they are made; the first five are the colour mix's channels.
enum Fader : uint32_t
{
    kRed,
    kGreen,
    kBlue,
    kAmber,
    kWhite,
    kIntensity,
    kColourFix,
    kShutter,
    kGobo,
    kRotation,
    kPrism,
    kFocus,
    kIris,
    kFrost,
    kZoom,
    kCustom1,
    kCustom2,
    kFaderCount
};
constexpr uint32_t kColourFaderCount = 5;

struct FaderLook
{
    uint32_t group;
    const char* largeCaption;
    const char* smallCaption;
};
const FaderLook kFaderLooks[kFaderCount] = {
    {GROUP_COLOUR_MIX, "Red", "R"},         {GROUP_COLOUR_MIX, "Green", "G"},     {GROUP_COLOUR_MIX, "Blue", "B"},
    {GROUP_COLOUR_MIX, "Amber", "A"},       {GROUP_COLOUR_MIX, "White", "W"},     {GROUP_INTENSITY, "Intens", "In"},
    {GROUP_COLOUR_FIXED, "ColFix", "Col"},  {GROUP_SHUTTER, "Shutter", "Sh"},     {GROUP_GOBO, "Gobo", "Gobo"},
    {GROUP_ROTATION, "Rotation", "Rota"},   {GROUP_PRISM, "Prism", "Prism"},      {GROUP_FOCUS, "Focus", "Focus"},
    {GROUP_IRIS, "Iris", "Iris"},           {GROUP_FROST, "Frost", "Frost"},      {GROUP_ZOOM, "Zoom", "Zoom"},
    {GROUP_CUSTOM1, "Custom1", "Cust1"},    {GROUP_CUSTOM2, "Custom2", "Cust2"},
};
const CRgbaColour kColourFaderColours[kColourFaderCount] = {
    CRgbaColour(255, 0, 0, 255),   CRgbaColour(0, 255, 0, 255),     CRgbaColour(0, 0, 255, 255),
    CRgbaColour(255, 128, 0, 255), CRgbaColour(255, 255, 255, 255),
};
// Left to right along the bottom of the page.
const Fader kFaderOrder[kFaderCount] = {kRed,  kGreen, kBlue,  kAmber, kWhite, kIntensity, kShutter, kColourFix, kGobo,
                                        kRotation, kPrism, kIris, kFocus, kZoom, kFrost, kCustom1, kCustom2};

const CRgbaColour kUsedColour(255, 0, 0, 255);
constexpr uint32_t kIconSize = 32;
constexpr float kMarkSeconds = 1.0f;
constexpr uint32_t kKeyBackspace = 8;
constexpr uint32_t kKeyDelete = 127;
constexpr uint32_t kKeyEscape = 27;

uint32_t Scale()
{
    return CApp::IsHighResolution() ? 2 : 1;
}

// The texts the page draws over its background, where they sit on the normal screen.
const CRgbaColour kDim(138, 145, 155, 255);
const CRgbaColour kFaint(92, 99, 109, 255);
struct PageText
{
    const char* text;
    bool upperCase;
    uint32_t size;
    CRgbaColour colour;
    uint32_t alignment;
    CRect place;
};
const PageText kPageTexts[] = {
    {"Edit", true, 18, kDim, CArea2::kAlignStart, CRect(228, 37, 150, 24)},
    {"Link", true, 8, kDim, CArea2::kAlignCentre, CRect(195, 62, 23, 13)},
    {"Select fixtures, set a look, record it into cues.", false, 11, kFaint, CArea2::kAlignStart,
     CRect(382, 41, 376, 16)},
    {"Cues", true, 9, kDim, CArea2::kAlignStart, CRect(7, 85, 200, 14)},
    {"Fixtures", true, 9, kDim, CArea2::kAlignStart, CRect(7, 233, 200, 14)},
    {"Cue", true, 8, kDim, CArea2::kAlignCentre, CRect(659, 84, 100, 14)},
    {"Selected", true, 8, kFaint, CArea2::kAlignCentre, CRect(659, 229, 100, 14)},
    {"Programmer", true, 8, kDim, CArea2::kAlignCentre, CRect(659, 602, 100, 14)},
};
// The faders' captions name the attribute groups: short on a normal screen, and wherever the long
// name would not read whole, so that no caption is left shortened to dots in its middle.
void CaptionFaders(const std::vector<CAreaFaderSoftParameter*>& faders)
{
    const bool large = CApp::IsHighResolution();
    for (uint32_t i = 0; i < kFaderCount && i < faders.size(); ++i)
    {
        const std::string full = large ? CApp::Translate(kFaderLooks[i].largeCaption, false) : std::string();
        if (large && faders[i]->CaptionFits(full))
            faders[i]->SetCaption(full, false, false);
        else
            faders[i]->SetCaption(kFaderLooks[i].smallCaption, true, false);
    }
}

// The caption size of the skin buttons, given up for a translation that would not fit.
constexpr uint32_t kCaptionSize = 13;
constexpr uint32_t kCaptionMargin = 10;

// Where a button of the page sits on the normal screen; doubled on a large one.
struct ButtonPlace
{
    int32_t x;
    int32_t y;
};
}  // namespace

CAreaEdit::CAreaEdit(CAreaMain* root, CCore* core)
    : CAreaImage(root, CSkinManager::GetSkinFileName("background_edit"), false), m_root(root)
{
    SetName("CAreaEdit");
    if (core)
    {
        m_fixtureManager = core->GetFixtureManager();
        m_playbackManager = core->GetPlaybackManager();
        m_deviceManager = core->GetDeviceManager();
        m_programmer = core->GetProgrammer();
    }

    for (const PageText& text : kPageTexts)
    {
        CAreaLabel* label = MakeChild<CAreaLabel>(true);
        label->SetTextColour(text.colour);
        label->SetHorizontalAlignment(text.alignment);
        m_texts.push_back(label);
    }
    for (uint32_t i = 0; i < kTileCount; ++i)
    {
        // In the list before it is adopted: a tile asks its place as soon as it shows.
        auto tile = std::make_unique<CAreaTarget>(this, m_fixtureManager);
        m_tiles.push_back(tile.get());
        AddChild(std::move(tile));
    }

    m_pad = MakeChild<CAreaAxis>(true);
    Connect<&CAreaEdit::OnClick>(m_pad, &CAreaAxis::SetChangeCallback, this);
    m_spectrum = AddChild(std::make_unique<CAreaSpectrum>(this, true), true);
    Connect<&CAreaEdit::OnClick>(m_spectrum, &CAreaColourPicker::SetChangeCallback, this);
    m_wheel = AddChild(std::make_unique<CAreaColourWheel>(this, true), true);
    Connect<&CAreaEdit::OnClick>(m_wheel, &CAreaColourPicker::SetChangeCallback, this);

    for (uint32_t i = 0; i < kFaderCount; ++i)
    {
        CAreaFaderSoftParameter* fader = MakeChild<CAreaFaderSoftParameter>(kFaderLooks[i].group);
        if (i < kColourFaderCount)
        {
            fader->SetFaderColour(kColourFaderColours[i]);
            Connect<&CAreaEdit::OnColourFaderChange>(fader, &CAreaFaderSoft::SetChangeCallback, this);
        }
        else
        {
            Connect<&CAreaEdit::OnFaderChange>(fader, &CAreaFaderSoft::SetChangeCallback, this);
        }
        m_faders.push_back(fader);
    }

    m_back = MakeChild<CAreaButton>("button_back", true);
    m_back->SetOn(true);
    m_cueAdd = MakeChild<CAreaButton>("button_cue_add", true);
    m_cueRemove = MakeChild<CAreaButton>("button_cue_remove", true);
    m_cueRename = MakeChild<CAreaButton>("button_cue_rename", true);
    m_cueCondition = MakeChild<CAreaButton>("button_cue_condition", true);
    m_cueDelay = MakeChild<CAreaButton>("button_cue_delay", true);
    m_cueFade = MakeChild<CAreaButton>("button_cue_fade", true);
    m_programmerLoad = MakeChild<CAreaButton>("button_programmer_load", true);
    m_programmerRecord = MakeChild<CAreaButton>("button_programmer_record", true);
    m_programmerClear = MakeChild<CAreaButton>("button_programmer_clear", true);
    for (CAreaButton* button : {m_back, m_cueAdd, m_cueRemove, m_cueRename, m_cueCondition, m_cueDelay, m_cueFade,
                                m_programmerLoad, m_programmerRecord, m_programmerClear})
        Connect<&CAreaEdit::OnClick>(button, &CAreaButton::SetClickCallback, this);
    Connect<&CAreaEdit::OnHold>(m_cueAdd, &CAreaButton::SetHoldCallback, this);
    Connect<&CAreaEdit::OnHold>(m_cueRemove, &CAreaButton::SetHoldCallback, this);

    m_cueGrid = MakeChild<CAreaCueGrid>();
    Connect<&CAreaEdit::OnCuePress>(m_cueGrid, &CAreaCueGrid::SetPressCallback, this);
    Connect<&CAreaEdit::OnHold>(m_cueGrid, &CAreaCueGrid::SetHoldCallback, this);

    CGlyphManager& glyphs = CGlyphManager::Instance();
    m_positionFx = MakeChild<CAreaButtonSoft>();
    m_positionFx->SetCaption("FX", false);
    m_home = MakeChild<CAreaButtonSoft>();
    m_home->SetIcon(glyphs.GetImage("display", "home", kIconSize));
    m_pickerSwitch = MakeChild<CAreaButtonSoft>();
    m_pickerSwitch->SetIcon(glyphs.GetImage("display", "refresh", kIconSize));
    m_colourFx = MakeChild<CAreaButtonSoft>();
    m_colourFx->SetCaption("FX", false);
    m_intensityFx = MakeChild<CAreaButtonSoft>();
    m_intensityFx->SetCaption("FX", false);
    for (CAreaButtonSoft* button : {m_positionFx, m_home, m_pickerSwitch, m_colourFx, m_intensityFx})
        Connect<&CAreaEdit::OnClick>(button, &CAreaButton::SetClickCallback, this);

    m_lamp = MakeChild<CAreaLed>();
    ShowTexts();
}

CAreaEdit::~CAreaEdit()
{
    m_observedFixtures.Clear(this);
    m_observedGroups.Clear(this);
}

int32_t CAreaEdit::GetTargetIndex(const CArea2* area) const
{
    const auto found = std::find(m_tiles.begin(), m_tiles.end(), area);
    return found == m_tiles.end() ? -1 : int32_t(found - m_tiles.begin());
}

void CAreaEdit::ShowTexts()
{
    // The pictures and the background carry no text, so a change of language reaches the page
    // the next time it shows.
    const uint32_t s = Scale();
    for (const auto& [button, caption] :
         {std::pair(m_back, "BACK"), std::pair(m_cueAdd, "ADD"), std::pair(m_cueRemove, "REMOVE"),
          std::pair(m_cueRename, "RENAME"), std::pair(m_cueCondition, "CONDITION"), std::pair(m_cueDelay, "DELAY"),
          std::pair(m_cueFade, "FADE"), std::pair(m_programmerLoad, "LOAD"), std::pair(m_programmerRecord, "RECORD"),
          std::pair(m_programmerClear, "CLEAR")})
    {
        button->SetCaption(caption, true);
        uint32_t size = kCaptionSize * s;
        const uint32_t margin = kCaptionMargin * s;
        button->FitFontSize(button->GetWidth() > margin ? button->GetWidth() - margin : 0, size, button->GetCaption());
        button->SetFontSize(std::max<uint32_t>(size, 1));
    }
    CaptionFaders(m_faders);
    for (size_t i = 0; i < m_texts.size(); ++i)
    {
        CAreaLabel* label = m_texts[i];
        label->SetText(kPageTexts[i].text, true, kPageTexts[i].upperCase);
        // A long translation gives up size rather than run past its place.
        uint32_t size = kPageTexts[i].size * s;
        label->FitFontSize(uint32_t(kPageTexts[i].place.GetWidth()) * s, size, label->GetText());
        label->SetTextSize(std::max<uint32_t>(size, 1));
    }
}

void CAreaEdit::SetPlayback(CPlayback* playback)
{
    if (playback == m_playback)
        return;
    // The cue strip follows it first, so that the page hears of a change of it before the strip.
    m_cueGrid->SetPlayback(playback);
    m_playback.Follow(playback);
    // A run of cues chosen on another playback means nothing here: RECORD would write into cues of
    // this one the operator never chose, or append one where the number is past its end.
    if (m_playback && m_playback != m_editedPlayback)
    {
        m_editedPlayback = m_playback;
        SetSelection(-1, 0);
    }
    if (m_playback)
        HandleNotify(m_playback, NOTIFY_UNKNOWN);
}

void CAreaEdit::OnVisibleChanged()
{
    CAreaImage::OnVisibleChanged();
    const bool visible = IsVisible();
    if (visible)
    {
        ShowTexts();
        for (CSubject* subject : std::initializer_list<CSubject*>{m_fixtureManager, m_programmer, m_deviceManager})
        {
            if (!subject)
                continue;
            Observe(subject);
            HandleNotify(subject, NOTIFY_UNKNOWN);
        }
        if (m_programmer)
            m_programmer->ObserveChanges(this, &m_observedGroups);
        SetPlayback(m_playbackManager ? m_playbackManager->GetSelectedPlayback() : nullptr);
        // Without a chosen playback the programmer keeps the one it is bound to.
        if (m_programmer && m_playback)
            m_programmer->SetPlayback(uint32_t(m_playback->GetIndex()));
        if (m_programmer)
        {
            for (uint32_t i = 0; i < m_programmer->GetChangeCount(); ++i)
                HandleNotify(m_programmer->GetChange(i), NOTIFY_UNKNOWN);
        }
    }
    else
    {
        StopObserving(m_fixtureManager);
        StopObserving(m_programmer);
        StopObserving(m_deviceManager);
        SetPlayback(nullptr);
        m_observedFixtures.Clear(this);
        m_observedGroups.Clear(this);
    }
    if (m_programmer)
        m_programmer->SetBlind(!visible);
}

void CAreaEdit::HandleNotify(CSubject* subject, uint32_t code)
{
    if (!subject)
        return;
    // A subject that goes is only forgotten.
    if (m_playback.Forget(subject, code) || code == NOTIFY_RELEASE)
        return;
    if (subject == m_deviceManager)
    {
        if (code == NOTIFY_UNKNOWN || code == DEVICE_MANAGER_NOTIFY_CONNECTED)
            m_lamp->SetColour(m_deviceManager->GetStatusColour());
    }
    else if (subject == m_fixtureManager)
    {
        if (code != NOTIFY_SELECTION)
            m_fixtureManager->ObserveFixtures(this, &m_observedFixtures);
        UpdateControls();
    }
    else if (subject == m_playback)
    {
        OnPlaybackChanged(code);
    }
    else if (subject == m_programmer)
    {
        if (code == NOTIFY_UNKNOWN || code == CProgrammer::kNotifyClear)
            m_programmerClear->SetOn(m_programmer->GetClear());
        if (code == NOTIFY_UNKNOWN || code == NOTIFY_FIXTURE || code == NOTIFY_SELECTION)
            ShowFixtureSelection();
    }
    else if (m_observedGroups.Contains(subject))
    {
        if (const CProgrammerChange* change = dynamic_cast<const CProgrammerChange*>(subject))
            OnGroupChanged(*change);
    }
}

void CAreaEdit::ShowFixtureSelection()
{
    for (uint32_t i = 0; i < m_tiles.size(); ++i)
        m_tiles[i]->SetSelected(m_programmer && m_programmer->IsSelected(i));
}

std::vector<CArea2*> CAreaEdit::GroupControls(uint32_t group) const
{
    switch (group)
    {
    case GROUP_INTENSITY_FX: return {m_intensityFx};
    case GROUP_POSITION: return {m_pad, m_home};
    case GROUP_POSITION_FX: return {m_positionFx};
    case GROUP_COLOUR_MIX:
        return {m_faders[kRed], m_faders[kGreen], m_faders[kBlue], m_faders[kWhite], m_faders[kAmber], m_spectrum,
                m_wheel};
    case GROUP_COLOUR_MIX_FX: return {m_colourFx};
    default: break;
    }
    if (CAreaFaderSoftParameter* fader = FaderOfGroup(group))
        return {fader};
    return {};
}

CAreaFaderSoftParameter* CAreaEdit::FaderOfGroup(uint32_t group) const
{
    for (uint32_t i = kColourFaderCount; i < m_faders.size(); ++i)
    {
        if (m_faders[i]->GetId() == group)
            return m_faders[i];
    }
    return nullptr;
}

void CAreaEdit::OnGroupChanged(const CProgrammerChange& change)
{
    const uint32_t group = change.GetGroup();
    if (group >= GROUP_COUNT)
        return;
    const bool enabled = change.IsEnabled();
    const CMessageValue value = change.GetValue();
    for (CArea2* control : GroupControls(group))
        control->SetEnabled(enabled);
    switch (group)
    {
    case GROUP_INTENSITY_FX:
    case GROUP_POSITION_FX:
    case GROUP_COLOUR_MIX_FX: break;
    case GROUP_POSITION:
        // The pad holds what was asked while the controller has not answered it: a report from
        // before would pull the marker back, and a press in a strip would send that axis's old
        // value along with the other.
        m_pad->SetValues(change.GetIntendedValue().GetCoordinate());
        m_home->SetEnabled(enabled && m_pad->GetCentre() != CCoordinate(0.0f, 0.0f));
        break;
    case GROUP_COLOUR_MIX:
    {
        const CColour& colour = value.GetColour();
        CRgbaColour shown;
        shown.SetFromColour(colour);
        m_spectrum->SetPickedColour(shown);
        m_wheel->SetPickedColour(shown);
        m_faders[kRed]->SetValue(colour.GetRed());
        m_faders[kGreen]->SetValue(colour.GetGreen());
        m_faders[kBlue]->SetValue(colour.GetBlue());
        m_faders[kWhite]->SetValue(colour.GetWhite());
        m_faders[kAmber]->SetValue(colour.GetAmber());
        break;
    }
    default:
        if (CAreaFaderSoftParameter* fader = FaderOfGroup(group))
            fader->SetValue(value.GetFloat());
        break;
    }
}

void CAreaEdit::ShowGroupUse()
{
    for (uint32_t group = 0; group < GROUP_COUNT; ++group)
    {
        const bool used = m_playback && m_playback->UsesAttributeGroup(group);
        for (CArea2* control : GroupControls(group))
            control->SetColour(used ? kUsedColour : GetColour());
    }
}

void CAreaEdit::ShowFixtureUse()
{
    if (!m_playback)
        return;
    for (uint32_t i = 0; i < m_tiles.size(); ++i)
        m_tiles[i]->SetColour(m_playback->UsesFixture(i) ? kUsedColour : GetColour());
}

void CAreaEdit::ApplyPickerMode()
{
    const bool visible = IsVisible();
    m_spectrum->SetVisible(visible && m_pickerMode == kPickerSpectrum);
    m_wheel->SetVisible(visible && m_pickerMode == kPickerWheel);
    for (uint32_t i = 0; i < kColourFaderCount; ++i)
        m_faders[i]->SetVisible(visible && m_pickerMode == kPickerFaders);
}

void CAreaEdit::OnFaderChange(CAreaFaderSoft* fader)
{
    // The wheel can carry a fader past its ends; the controller takes levels of 0 to 1 only.
    if (m_programmer)
        m_programmer->SetValue(fader->GetId(), CMessageValue(std::clamp(fader->GetValue(), 0.0f, 1.0f)));
}

void CAreaEdit::OnFxChange(CDialogFx* dialog)
{
    if (m_programmer)
        m_programmer->SetValue(dialog->GetGroup(), CMessageValue(dialog->GetValue()));
}

void CAreaEdit::OnColourFaderChange(CAreaFaderSoft* fader)
{
    if (!m_programmer)
        return;
    // The whole colour goes, with the moved fader's channel replaced in the colour last asked for
    // while the controller has not answered it: a second fader moved meanwhile keeps the first.
    const CProgrammerChange* change = m_programmer->FindChange(GROUP_COLOUR_MIX);
    CColour colour = change ? change->GetIntendedValue().GetColour() : CColour();
    const float level = fader->GetValue();
    if (fader == m_faders[kRed])
        colour.SetRed(level);
    else if (fader == m_faders[kGreen])
        colour.SetGreen(level);
    else if (fader == m_faders[kBlue])
        colour.SetBlue(level);
    else if (fader == m_faders[kWhite])
        colour.SetWhite(level);
    else if (fader == m_faders[kAmber])
        colour.SetAmber(level);
    m_programmer->SetValue(GROUP_COLOUR_MIX, CMessageValue(colour));
}

void CAreaEdit::OnClick(CArea2* source)
{
    if (OnCueCommand(source))
        return;
    if (source == m_back)
    {
        if (m_playback)
            m_playback->SetMarked(true, kMarkSeconds);
        if (m_root)
            m_root->SetPage(CAreaMain::kPagePlayback);
        return;
    }
    if (source == m_positionFx)
        OpenFxDialog(GROUP_POSITION_FX);
    else if (source == m_colourFx)
        OpenFxDialog(GROUP_COLOUR_MIX_FX);
    else if (source == m_intensityFx)
        OpenFxDialog(GROUP_INTENSITY_FX);
    else if (source == m_pickerSwitch)
    {
        m_pickerMode = (m_pickerMode + 1) % 3;
        UpdateControls();
    }
    if (!m_programmer)
        return;
    if (source == m_programmerClear)
        m_programmer->Clear();
    else if (source == m_pad)
        m_programmer->SetValue(GROUP_POSITION, CMessageValue(m_pad->GetCentre()));
    else if (source == m_home)
        m_programmer->SetValue(GROUP_POSITION, CMessageValue(CCoordinate(0.0f, 0.0f)));
    else if (source == m_spectrum)
        m_programmer->SetValue(GROUP_COLOUR_MIX, CMessageValue(CColour(m_spectrum->GetColour())));
    else if (source == m_wheel)
        m_programmer->SetValue(GROUP_COLOUR_MIX, CMessageValue(CColour(m_wheel->GetColour())));
}

void CAreaEdit::OpenFxDialog(uint32_t group)
{
    auto dialog = std::make_unique<CDialogFx>(this, group);
    Connect<&CAreaEdit::OnFxChange>(dialog.get(), &CDialogFx::SetCallback, this);
    if (m_programmer)
    {
        if (const CProgrammerChange* change = m_programmer->FindChange(group))
            dialog->SetValue(change->GetIntendedValue().GetFx());
    }
    ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogFx& fx, uint32_t result) {
        if (result == kResultOk)
            OnFxChange(&fx);
    });
}

int32_t CAreaEdit::TileAt(const CPoint& point) const
{
    for (const CAreaTarget* tile : m_tiles)
    {
        if (!tile->Contains(point))
            continue;
        const CFixture* fixture = tile->GetFixture();
        return fixture ? fixture->GetIndex() : -1;
    }
    return -1;
}

void CAreaEdit::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    if (m_tileDrag)
        return;
    const int32_t slot = TileAt(point);
    m_tileDrag = slot >= 0 && m_programmer;
    m_tileDragPointer = m_eventPointer;
    if (m_tileDrag)
        m_programmer->BeginDrag(uint32_t(slot));
}

void CAreaEdit::OnPointerMove(const CPoint& point)
{
    const int32_t slot = TileAt(point);
    if (m_tileDrag && slot >= 0)
        m_programmer->DragTo(uint32_t(slot));
}

void CAreaEdit::OnPointerUp(const CPoint& point, bool* handled)
{
    *handled = true;
    if (!m_tileDrag || m_eventPointer != m_tileDragPointer)
        return;
    const int32_t slot = TileAt(point);
    if (slot >= 0)
        m_programmer->EndDrag(uint32_t(slot));
    m_tileDrag = false;
}

void CAreaEdit::PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled)
{
    m_eventPointer = pointerId;
    CAreaImage::PointerDown(pointerId, point, button, handled);
}

void CAreaEdit::PointerUp(int64_t pointerId, const CPoint& point, bool* handled)
{
    m_eventPointer = pointerId;
    CAreaImage::PointerUp(pointerId, point, handled);
    // Let go over a button or a fader, the drag still ends: a free pointer moving over the tiles
    // afterwards must not change the selection.
    if (pointerId == m_tileDragPointer)
        m_tileDrag = false;
}

namespace
{
bool IsKeyOf(uint32_t key, uint32_t a, uint32_t b = 0)
{
    return key == a || (b != 0 && key == b);
}
}  // namespace

CAreaButton* CAreaEdit::ButtonOfKey(uint32_t key) const
{
    if (IsKeyOf(key, 'a', uint32_t(SDLK_INSERT)))
        return m_cueAdd;
    switch (key)
    {
    case kKeyDelete: return m_cueRemove;
    case 'd': return m_cueDelay;
    case 'f': return m_cueFade;
    case 'l': return m_programmerLoad;
    case 'r': return m_programmerRecord;
    case 'c': return m_programmerClear;
    case kKeyEscape: return m_back;
    default: return nullptr;
    }
}

void CAreaEdit::OnKeyDown(uint32_t key, bool* handled)
{
    if (key == kKeyBackspace)
    {
        if (m_programmer)
            m_programmer->ClearSelection();
        *handled = true;
        return;
    }
    if (CAreaButton* button = ButtonOfKey(key))
    {
        button->Press();
        *handled = true;
    }
}

void CAreaEdit::OnKeyUp(uint32_t key, bool* handled)
{
    if (key == kKeyBackspace)
    {
        *handled = true;
        return;
    }
    if (CAreaButton* button = ButtonOfKey(key))
    {
        button->Release();
        *handled = true;
    }
}

void CAreaEdit::Layout()
{
    CAreaImage::Layout();
    const int32_t s = int32_t(Scale());

    std::vector<CArea2*> tiles(m_tiles.begin(), m_tiles.end());
    ArrangeInRows(tiles, CRect(8 * s, 255 * s, 655 * s - 8 * s + 1, 773 * s - 255 * s + 1), 0);

    const std::pair<CAreaButton*, ButtonPlace> buttons[] = {
        {m_back, {3, 25}},           {m_cueAdd, {659, 99}},          {m_cueRemove, {659, 152}},
        {m_cueRename, {659, 250}},   {m_cueCondition, {659, 304}},   {m_cueDelay, {659, 353}},
        {m_cueFade, {659, 402}},     {m_programmerLoad, {659, 618}}, {m_programmerRecord, {659, 673}},
        {m_programmerClear, {659, 723}},
    };
    for (const auto& [button, place] : buttons)
        button->SetPosition(CPoint(place.x * s, place.y * s));
    m_cueGrid->SetPosition(CPoint(10 * s, 106 * s));
    m_lamp->SetPosition(CPoint(197 * s, 43 * s));
    for (size_t i = 0; i < m_texts.size(); ++i)
    {
        const CRect& place = kPageTexts[i].place;
        m_texts[i]->SetRect(CRect(place.GetX() * s, place.GetY() * s, place.GetWidth() * s, place.GetHeight() * s));
    }

    // The pad's crosses travel 153 px on each axis, a pixel for every 1.3 %, with the handles'
    // strips right of and below them: the pad lines up with the tiles, reaches below the faders
    // and takes what width the faders can give up with their captions whole.
    const CPoint padSize = CAreaAxis::SizeForTravel(153 * s);
    m_pad->SetRect(CRect(8 * s, 822 * s, padSize.GetX(), padSize.GetY()));
    const int32_t fadersX = m_pad->GetRect().GetRight();
    std::vector<CArea2*> faders;
    for (Fader fader : kFaderOrder)
        faders.push_back(m_faders[fader]);
    ArrangeEvenly(faders, CRect(fadersX, 822 * s, 758 * s - fadersX, 174 * s), 1, true);

    const CRect red = m_faders[kRed]->GetRect();
    const CRect white = m_faders[kWhite]->GetRect();
    const CRect pickers(red.GetX(), 822 * s, white.GetX() + white.GetWidth() - red.GetX(), 174 * s);
    m_spectrum->SetRect(pickers);
    m_wheel->SetRect(pickers);

    const int32_t stripY = 790 * s;
    const int32_t stripHeight = 30 * s;
    const CRect pad = m_pad->GetRect();
    const int32_t positionFxWidth = int32_t(float(pad.GetWidth()) * 0.75f);
    m_positionFx->SetRect(
        CRect(pad.GetX() + pad.GetWidth() - positionFxWidth, stripY, positionFxWidth, stripHeight));
    m_home->SetRect(CRect(pad.GetX(), stripY, pad.GetWidth() - s - positionFxWidth, stripHeight));
    const int32_t colourFxWidth = int32_t(float(pickers.GetWidth()) * 0.75f);
    m_colourFx->SetRect(
        CRect(pickers.GetX() + pickers.GetWidth() - colourFxWidth, stripY, colourFxWidth, stripHeight));
    m_pickerSwitch->SetRect(CRect(pickers.GetX(), stripY, pickers.GetWidth() - s - colourFxWidth, stripHeight));
    const CRect intensity = m_faders[kIntensity]->GetRect();
    m_intensityFx->SetRect(CRect(intensity.GetX(), stripY, intensity.GetWidth(), stripHeight));
    // Whether a long caption reads whole depends on the width the faders got.
    CaptionFaders(m_faders);
}
