#include "screens/pages/area_playback.h"

#include "foundation/notify_codes.h"
#include "graphics/language_manager.h"
#include "graphics/skin_manager.h"
#include "link/device_manager.h"
#include "model/core.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_playback_properties.h"
#include "screens/dialogs/dialog_string.h"
#include "screens/pages/area_main.h"
#include "shell/app.h"
#include "widgets/area_button.h"
#include "widgets/area_fader.h"
#include "widgets/area_label.h"
#include "widgets/area_led.h"
#include "widgets/area_rotary.h"
#include "widgets/connect.h"

#include <SDL.h>

#include <algorithm>

namespace
{
constexpr uint32_t kPlaybackCount = CPlaybackManager::kPlaybackCount;
constexpr uint32_t kPageSize = CPlaybackManager::kPageSize;
constexpr int32_t kLastPage = int32_t(CPlaybackManager::kPageCount) - 1;
constexpr uint32_t kModeProperties = 4;
constexpr uint32_t kSubjectCapacity = 8192;
constexpr float kMarkSeconds = 1.0f;
// A swap source stays marked until the swap is done or given up.
constexpr float kMarkedUntilCleared = -1.0f;

// Where the function buttons stand along the top (at normal resolution), and the click mode each
// of the mode buttons chooses.
const int32_t kFunctionX[CAreaPlayback::kFunctionCount] = {1, 103, 382, 460, 535, 610, 685};
const char* const kFunctionImages[CAreaPlayback::kFunctionCount] = {
    "button_patch", "button_options", "button_edit", "button_release", "button_rename", "button_swap", "button_props",
};
const uint32_t kFunctionModes[CAreaPlayback::kFunctionCount] = {
    CPlaybackManager::kModeNone, CPlaybackManager::kModeNone,    CPlaybackManager::kModeOpen,
    CPlaybackManager::kModeRelease, CPlaybackManager::kModeRename, CPlaybackManager::kModeSwap,
    kModeProperties,
};

// Caption sizes and colours over the skin's key pictures: the face of a latched key is lit, so
// its caption brightens; a held flash key lights up whole, so its caption turns dark.
constexpr uint32_t kPageKeyFontSize = 13;
constexpr uint32_t kModeKeyFontSize = 12;
constexpr uint32_t kFlashFontSize = 14;
constexpr uint32_t kCaptionMargin = 10;
const CRgbaColour kCaption(214, 218, 224, 255);
const CRgbaColour kCaptionLit(246, 247, 249, 255);
const CRgbaColour kCaptionOnFlash(40, 30, 12, 255);
const CRgbaColour kTitle(138, 145, 155, 255);
// The playback buttons' lines stay readable under the veil of the current row.
const CRgbaColour kPlaybackText(224, 227, 232, 255);
const CRgbaColour kHeading(112, 119, 129, 255);

int32_t Scale()
{
    return CApp::IsHighResolution() ? 2 : 1;
}

// A caption as large as wanted, or smaller until it fits the key.
void FitCaption(CAreaButton* button, uint32_t wanted)
{
    uint32_t size = wanted * uint32_t(Scale());
    const uint32_t margin = kCaptionMargin * uint32_t(Scale());
    button->FitFontSize(button->GetWidth() > margin ? button->GetWidth() - margin : 0, size, button->GetCaption());
    button->SetFontSize(std::max<uint32_t>(size, 1));
}

template <class T>
int32_t IndexIn(const std::vector<T*>& list, const void* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    return found == list.end() ? -1 : int32_t(found - list.begin());
}
}  // namespace

CAreaPlayback::CAreaPlayback(CAreaMain* root, CCore* core)
    : CAreaImage(root, CSkinManager::GetSkinFileName(kBackground), false),
      m_root(root),
      m_core(core),
      m_playbackManager(core ? core->GetPlaybackManager() : nullptr),
      m_deviceManager(core ? core->GetDeviceManager() : nullptr),
      m_pageSubjects(kSubjectCapacity)
{
    SetName("CAreaPlayback");
    for (uint32_t i = 0; i < kPlaybackCount; ++i)
    {
        auto* button = MakeChild<CAreaPlaybackButton>(m_playbackManager);
        Connect<&CAreaPlayback::OnPlaybackClick>(button, &CAreaPlaybackButton::SetClickCallback, this);
        Connect<&CAreaPlayback::OnPlaybackPress>(button, &CAreaPlaybackButton::SetPressCallback, this);
        Connect<&CAreaPlayback::OnPlaybackRelease>(button, &CAreaPlaybackButton::SetReleaseCallback, this);
        button->SetTextColour(kPlaybackText);
        m_playbackButtons.push_back(button);
    }
    for (uint32_t i = 0; i < kStripCount; ++i)
    {
        auto* flash = MakeChild<CAreaButton>("button_flash", true);
        Connect<&CAreaPlayback::OnFlashPress>(flash, &CAreaButton::SetPressCallback, this);
        Connect<&CAreaPlayback::OnFlashRelease>(flash, &CAreaButton::SetReleaseCallback, this);
        flash->SetTextColour(kCaption);
        m_flashButtons.push_back(flash);
        m_flashHolds.push_back(CPlaybackManager::kNoHold);
        auto* knob = MakeChild<CAreaRotary>();
        Connect<&CAreaPlayback::OnKnobChange>(knob, &CAreaRotary::SetChangeCallback, this);
        m_speedKnobs.push_back(knob);
        auto* fader = MakeChild<CAreaFader>();
        Connect<&CAreaPlayback::OnFaderChange>(fader, &CAreaFader::SetChangeCallback, this);
        m_intensityFaders.push_back(fader);
    }
    for (uint32_t f = 0; f < kFunctionCount; ++f)
    {
        m_functions[f] = MakeChild<CAreaButton>(kFunctionImages[f], true);
        Connect<&CAreaPlayback::OnFunctionClick>(m_functions[f], &CAreaButton::SetClickCallback, this);
        m_functions[f]->SetTextColour(kCaption);
    }
    m_functions[kOptions]->SetWidth(CApp::IsHighResolution() ? 192 : 97);
    Connect<&CAreaPlayback::OnReleaseHold>(m_functions[kRelease], &CAreaButton::SetHoldCallback, this);
    // The lamp and its legend reach into the options key's clear right edge: they paint again
    // after it whenever it does.
    Connect<&CAreaPlayback::OnOptionsPressOrRelease>(m_functions[kOptions], &CAreaButton::SetPressCallback, this);
    Connect<&CAreaPlayback::OnOptionsPressOrRelease>(m_functions[kOptions], &CAreaButton::SetReleaseCallback, this);
    m_lamp = MakeChild<CAreaLed>();

    // The background leaves these texts to the page, so they follow the language.
    m_title = MakeChild<CAreaLabel>(true);
    m_title->SetHorizontalAlignment(kAlignStart);
    m_title->SetTextSize(uint32_t(18 * Scale()));
    m_title->SetTextColour(kTitle);
    m_lampLegend = MakeChild<CAreaLabel>(true);
    m_lampLegend->SetTextColour(kTitle);
    m_modeHeading = MakeChild<CAreaLabel>(true);
    m_modeHeading->SetTextSize(uint32_t(9 * Scale()));
    m_modeHeading->SetTextColour(kHeading);
    Layout();
    ShowTexts();
}

CAreaPlayback::~CAreaPlayback()
{
    m_pageSubjects.Clear(this);
}

int32_t CAreaPlayback::GetButtonIndex(const CAreaPlaybackButton* button) const
{
    return IndexIn(m_playbackButtons, button);
}

CAreaPlaybackButton* CAreaPlayback::GetPlaybackButton(uint32_t index) const
{
    return index < m_playbackButtons.size() ? m_playbackButtons[index] : nullptr;
}

CAreaButton* CAreaPlayback::GetFunctionButton(uint32_t function) const
{
    return function < kFunctionCount ? m_functions[function] : nullptr;
}

CAreaButton* CAreaPlayback::GetFlashButton(uint32_t strip) const
{
    return strip < m_flashButtons.size() ? m_flashButtons[strip] : nullptr;
}

CAreaRotary* CAreaPlayback::GetSpeedKnob(uint32_t strip) const
{
    return strip < m_speedKnobs.size() ? m_speedKnobs[strip] : nullptr;
}

CAreaFader* CAreaPlayback::GetIntensityFader(uint32_t strip) const
{
    return strip < m_intensityFaders.size() ? m_intensityFaders[strip] : nullptr;
}

CDialogString* CAreaPlayback::GetRenameDialog() const
{
    return dynamic_cast<CDialogString*>(GetModalChild());
}

CDialogPlaybackProperties* CAreaPlayback::GetPropertiesDialog() const
{
    return dynamic_cast<CDialogPlaybackProperties*>(GetModalChild());
}

// Layout

void CAreaPlayback::Layout()
{
    const int32_t s = Scale();
    m_grid = CRect::FromCorners(8 * s, 78 * s, 758 * s, 669 * s);
    ArrangeInRows(std::vector<CArea2*>(m_playbackButtons.begin(), m_playbackButtons.end()), m_grid, 0);
    for (uint32_t f = 0; f < kFunctionCount; ++f)
        if (m_functions[f])
            m_functions[f]->SetPosition(CPoint(kFunctionX[f] * s, 25 * s));
    for (uint32_t i = 0; i < m_speedKnobs.size(); ++i)
    {
        const int32_t pitch = 94 * s * int32_t(i);
        m_speedKnobs[i]->SetPosition(CPoint(8 * s + pitch, 683 * s));
        m_intensityFaders[i]->SetPosition(CPoint(16 + pitch + (s == 1 ? 1 : 0), 760 * s));
        m_flashButtons[i]->SetPosition(CPoint(22 * s + pitch, 957 * s));
    }
    if (m_lamp)
        m_lamp->SetPosition(CPoint(197 * s, 43 * s));
    if (m_title)
    {
        m_title->SetRect(CRect(228 * s, 37 * s, 150 * s, 24 * s));
        // Centred under the lamp, within the options key's clear edge and the title.
        m_lampLegend->SetRect(CRect(195 * s, 62 * s, 23 * s, 13 * s));
        // Between the two rules over the mode keys.
        m_modeHeading->SetRect(CRect(520 * s, 7 * s, 100 * s, 13 * s));
    }
}

void CAreaPlayback::ShowTexts()
{
    m_functions[kPatch]->SetCaption("PATCH", true);
    m_functions[kOptions]->SetCaption("OPTIONS", true);
    m_functions[kEdit]->SetCaption("EDIT", true);
    m_functions[kRelease]->SetCaption("RELEASE", true);
    m_functions[kRename]->SetCaption("RENAME", true);
    m_functions[kSwap]->SetCaption("SWAP", true);
    m_functions[kProperties]->SetCaption("PROPS", true);
    for (uint32_t f = 0; f < kFunctionCount; ++f)
        FitCaption(m_functions[f], f <= kOptions ? kPageKeyFontSize : kModeKeyFontSize);
    for (CAreaButton* flash : m_flashButtons)
    {
        flash->SetCaption("FLASH", true);
        FitCaption(flash, kFlashFontSize);
    }
    m_title->SetText("Playback", true, true);
    m_modeHeading->SetText("Click Mode", true, true);
    m_lampLegend->SetText("Link", true, true);
    uint32_t legendSize = uint32_t(8 * Scale());
    m_lampLegend->FitFontSize(m_lampLegend->GetWidth(), legendSize, m_lampLegend->GetText());
    m_lampLegend->SetTextSize(std::max<uint32_t>(legendSize, 1));
}

// Showing the model

void CAreaPlayback::OnVisibleChanged()
{
    if (IsVisible())
    {
        if (m_deviceManager)
            Observe(m_deviceManager);
        if (m_playbackManager)
            Observe(m_playbackManager);
        if (CLanguageManager* languages = CLanguageManager::FromApplication())
            Observe(languages);
        // The language may have changed while another page was shown.
        ShowTexts();
        if (m_playbackManager)
            HandleNotify(m_playbackManager, NOTIFY_UNKNOWN);
        HandleNotify(m_deviceManager, NOTIFY_UNKNOWN);
    }
    else
    {
        m_pageSubjects.Clear(this);
        StopObservingAll();
    }
}

void CAreaPlayback::HandleNotify(CSubject* subject, uint32_t code)
{
    if (code == NOTIFY_RELEASE)
    {
        // A subject that goes is only forgotten.
        if (subject == m_deviceManager)
            m_deviceManager = nullptr;
        else if (subject == m_playbackManager)
            m_playbackManager = nullptr;
        return;
    }
    if (subject == m_deviceManager)
    {
        if (code == NOTIFY_UNKNOWN || code == DEVICE_MANAGER_NOTIFY_CONNECTED)
            ShowLinkStatus();
    }
    else if (subject && subject == m_playbackManager)
    {
        ShowManager();
    }
    else if (subject && subject == CLanguageManager::FromApplication())
    {
        ShowTexts();
    }
    else if (auto* playback = dynamic_cast<CPlayback*>(subject))
    {
        ShowPlayback(playback);
    }
}

void CAreaPlayback::ShowLinkStatus()
{
    m_lamp->SetColour(m_deviceManager ? m_deviceManager->GetStatusColour() : CRgbaColour(0, 0, 0, 255));
}

void CAreaPlayback::ShowManager()
{
    const uint32_t page = m_playbackManager->GetPage();
    const uint32_t mode = m_playbackManager->GetMode();
    for (uint32_t f = kEdit; f < kFunctionCount; ++f)
    {
        m_functions[f]->SetOn(mode == kFunctionModes[f]);
        m_functions[f]->SetTextColour(mode == kFunctionModes[f] ? kCaptionLit : kCaption);
    }
    for (uint32_t i = 0; i < m_playbackButtons.size(); ++i)
    {
        m_playbackButtons[i]->SetPlayback(m_playbackManager->GetPlayback(i));
        m_playbackButtons[i]->SetHighlighted(i >= page * kPageSize && i < (page + 1) * kPageSize);
    }
    m_playbackManager->AttachPage(this, &m_pageSubjects);
    m_showingModel = true;
    for (uint32_t i = 0; i < kStripCount; ++i)
    {
        if (const CPlayback* playback = m_playbackManager->GetPlayback(page * kPageSize + i))
        {
            m_speedKnobs[i]->SetValue(playback->GetSpeed());
            m_intensityFaders[i]->SetDisplayedValue(playback->GetIntensity());
            m_intensityFaders[i]->SetValue(playback->GetIntensity());
        }
    }
    m_showingModel = false;
}

void CAreaPlayback::ShowPlayback(CPlayback* playback)
{
    if (!m_playbackManager)
        return;
    const int32_t first = int32_t(m_playbackManager->GetPage() * kPageSize);
    const int32_t strip = playback->GetIndex() - first;
    if (strip < 0 || strip >= int32_t(kStripCount))
        return;
    m_showingModel = true;
    m_speedKnobs[uint32_t(strip)]->SetValue(playback->GetSpeed());
    CAreaFader* fader = m_intensityFaders[uint32_t(strip)];
    fader->SetDisplayedValue(playback->GetIntensity());
    // A drag keeps its own value against the replies that trail it; otherwise the fader is worked
    // on from where the controller holds the playback, so a wheel step after a cue or another
    // page moved it never jumps back to where this fader was left.
    if (!fader->IsDragging())
        fader->SetValue(playback->GetIntensity());
    m_showingModel = false;
}

void CAreaPlayback::ShowDragSelection()
{
    for (uint32_t i = 0; i < m_playbackButtons.size(); ++i)
        m_playbackButtons[i]->SetFillBackground(m_dragSelection.IsSelected(i));
}

// Controls

CPlayback* CAreaPlayback::StripPlayback(uint32_t strip) const
{
    if (!m_playbackManager || strip >= kStripCount)
        return nullptr;
    return m_playbackManager->GetPlayback(m_playbackManager->GetPage() * kPageSize + strip);
}

void CAreaPlayback::OnFlashPress(CAreaButton* button)
{
    Flash(button, true);
}

void CAreaPlayback::OnFlashRelease(CAreaButton* button)
{
    Flash(button, false);
}

void CAreaPlayback::Flash(CAreaButton* button, bool down)
{
    button->SetTextColour(down ? kCaptionOnFlash : kCaption);
    const int32_t strip = IndexIn(m_flashButtons, button);
    if (strip < 0 || !m_playbackManager)
        return;
    uint32_t& hold = m_flashHolds[size_t(strip)];
    if (down)
    {
        // A second pointer on the held button flashes nothing more.
        CPlayback* playback = hold == CPlaybackManager::kNoHold ? StripPlayback(uint32_t(strip)) : nullptr;
        if (!playback)
            return;
        hold = m_playbackManager->Hold(*playback);
        playback->SetFlashDown(true);
        return;
    }
    // The release goes to the playback the press flashed, whatever page is on view now and
    // wherever a swap has moved it.
    if (CPlayback* playback = m_playbackManager->LetGo(hold))
        playback->SetFlashDown(false);
    hold = CPlaybackManager::kNoHold;
}

void CAreaPlayback::OnKnobChange(CAreaRotary* knob, float value)
{
    // A knob showing the model's speed rounds it to its steps: that is no request for a change.
    if (m_showingModel)
        return;
    const int32_t strip = IndexIn(m_speedKnobs, knob);
    if (CPlayback* playback = strip >= 0 ? StripPlayback(uint32_t(strip)) : nullptr)
        playback->SetSpeed(value);
}

void CAreaPlayback::OnFaderChange(CAreaFader* fader)
{
    const int32_t strip = IndexIn(m_intensityFaders, fader);
    if (CPlayback* playback = strip >= 0 ? StripPlayback(uint32_t(strip)) : nullptr)
        playback->SetIntensity(fader->GetValue());
}

void CAreaPlayback::OnFunctionClick(CAreaButton* button)
{
    const int32_t function = IndexIn(std::vector<CAreaButton*>(m_functions, m_functions + kFunctionCount),
                                     button);
    if (function == kPatch || function == kOptions)
    {
        if (m_root)
            m_root->SetPage(function == kPatch ? CAreaMain::kPagePatch : CAreaMain::kPageSettings);
        return;
    }
    if (function < 0 || !m_playbackManager)
        return;
    if (function == kSwap)
        ClearSwapSource();
    m_playbackManager->ToggleMode(kFunctionModes[function]);
}

void CAreaPlayback::OnReleaseHold()
{
    if (m_playbackManager)
        m_playbackManager->ReleaseAll();
}

void CAreaPlayback::OnOptionsPressOrRelease()
{
    m_lamp->SetDirty();
    m_lampLegend->SetDirty();
}

void CAreaPlayback::ClearSwapSource()
{
    if (m_swapSource < 0)
        return;
    if (CPlayback* source = m_playbackManager ? m_playbackManager->GetPlayback(uint32_t(m_swapSource)) : nullptr)
        source->SetMarked(false, kMarkedUntilCleared);
    m_swapSource = -1;
}

// Playback buttons

void CAreaPlayback::OnPlaybackClick(CAreaPlaybackButton* button)
{
    const int32_t index = GetButtonIndex(button);
    if (index >= 0)
        ClickPlayback(uint32_t(index));
}

void CAreaPlayback::ClickPlayback(uint32_t index)
{
    if (!m_playbackManager)
        return;
    CPlayback* playback = m_playbackManager->GetPlayback(index);
    if (playback)
        m_playbackManager->SelectPlayback(playback);
    switch (m_playbackManager->GetMode())
    {
    case CPlaybackManager::kModeOpen:
        if (m_root)
            m_root->SetPage(CAreaMain::kPageEdit);
        m_playbackManager->SetMode(CPlaybackManager::kModeNone);
        break;
    case CPlaybackManager::kModeRelease:
        if (playback)
            playback->Release();
        m_playbackManager->SetMode(CPlaybackManager::kModeNone);
        break;
    case CPlaybackManager::kModeRename:
        if (playback)
            Rename(*playback);
        m_playbackManager->SetMode(CPlaybackManager::kModeNone);
        break;
    case CPlaybackManager::kModeSwap:
        if (m_swapSource < 0)
        {
            m_swapSource = int32_t(index);
            if (playback)
                playback->SetMarked(true, kMarkedUntilCleared);
        }
        else
        {
            m_playbackManager->SwapPlaybacks(uint32_t(m_swapSource), index);
            m_playbackManager->SetMode(CPlaybackManager::kModeNone);
            ClearSwapSource();
        }
        break;
    default:
        // Properties: the selection is chosen by the drag and taken at the release.
        break;
    }
}

void CAreaPlayback::OnPlaybackPress(CAreaPlaybackButton* button, uint32_t, bool*)
{
    const int32_t index = GetButtonIndex(button);
    if (!m_playbackManager || m_playbackManager->GetMode() != kModeProperties || index < 0)
        return;
    m_dragSelection.BeginDrag(uint32_t(index));
    m_dragSelection.DragTo(uint32_t(index));
    ShowDragSelection();
}

void CAreaPlayback::PointerMove(int64_t pointerId, const CPoint& point)
{
    CAreaImage::PointerMove(pointerId, point);
    if (!m_dragSelection.IsDragging() || GetModalChild())
        return;
    for (uint32_t i = 0; i < m_playbackButtons.size(); ++i)
    {
        if (m_playbackButtons[i]->Contains(point))
        {
            if (m_dragSelection.DragTo(i))
                ShowDragSelection();
            return;
        }
    }
}

void CAreaPlayback::OnPlaybackRelease()
{
    if (!m_dragSelection.IsDragging() || !m_playbackManager)
        return;
    m_dragSelection.EndDrag();
    std::vector<CPlayback*> selection;
    for (uint32_t i = 0; i < kPlaybackCount; ++i)
        if (m_dragSelection.IsSelected(i))
            selection.push_back(m_playbackManager->GetPlayback(i));
    m_playbackManager->SetSelection(selection);
    m_dragSelection.Clear();
    ShowDragSelection();
    ShowProperties();
    m_playbackManager->SetMode(CPlaybackManager::kModeNone);
}

void CAreaPlayback::ShowProperties()
{
    ShowDialog(std::make_unique<CDialogPlaybackProperties>(this, m_playbackManager), kPlaceCentred,
               [this](CDialogPlaybackProperties&, uint32_t) {
                   // The playbacks it worked on are marked for a moment, however it closed.
                   if (m_playbackManager)
                       for (CPlayback* playback : m_playbackManager->GetSelection())
                           if (playback)
                               playback->SetMarked(true, kMarkSeconds);
               });
}

void CAreaPlayback::Rename(const CPlayback& playback)
{
    auto dialog = std::make_unique<CDialogString>(this);
    dialog->SetCaption("Rename Playback");
    dialog->SetText(playback.GetLabel());
    ShowDialog(std::move(dialog), kPlaceCentred, [this](CDialogString& names, uint32_t result) {
        // The playback selected when it closes takes the name; a text that turned unacceptable
        // while Ok was held is never taken.
        CPlayback* playback = m_playbackManager ? m_playbackManager->GetSelectedPlayback() : nullptr;
        if (result == kResultOk && playback && names.IsAcceptable())
            playback->SetLabel(names.GetText());
    });
}

// Paging and keys

void CAreaPlayback::SetPage(int32_t page)
{
    if (m_playbackManager)
        m_playbackManager->SetPage(std::clamp(page, 0, kLastPage));
}

void CAreaPlayback::OnWheel(const CPoint&, int32_t amount, bool* handled)
{
    if (m_playbackManager)
        SetPage(int32_t(m_playbackManager->GetPage()) - amount);
    *handled = true;
}

void CAreaPlayback::OnGesture(const CPoint& point, bool* handled)
{
    if (m_grid.Contains(point) && m_grid.GetHeight() > 0)
    {
        // Seven steps over the grid's height, rounded: the top row is page 0, the bottom page 7.
        const float share = float(point.GetY() - m_grid.GetY()) / float(m_grid.GetHeight()) * 7.0f;
        SetPage(int32_t(double(share) + 0.5));
    }
    *handled = true;
}

CAreaButton* CAreaPlayback::KeyButton(uint32_t key) const
{
    switch (key)
    {
    case 'e':
        return m_functions[kEdit];
    case 'r':
        return m_functions[kRelease];
    case 'n':
        return m_functions[kRename];
    case 's':
        return m_functions[kSwap];
    case 'p':
        return m_functions[kProperties];
    default:
        break;
    }
    if (key >= '1' && key < '1' + kStripCount)
        return m_flashButtons[key - '1'];
    return nullptr;
}

void CAreaPlayback::OnKeyDown(uint32_t key, bool* handled)
{
    if (CAreaButton* button = KeyButton(key))
    {
        // A held key repeats its key-down: the button stays pressed once.
        if (!button->IsPressed())
            button->Press();
        *handled = true;
    }
    else if (key == uint32_t(SDLK_HOME) || key == uint32_t(SDLK_END) || key == uint32_t(SDLK_PAGEUP))
    {
        *handled = true;
    }
}

void CAreaPlayback::OnKeyUp(uint32_t key, bool* handled)
{
    const int32_t page = m_playbackManager ? int32_t(m_playbackManager->GetPage()) : 0;
    if (CAreaButton* button = KeyButton(key))
        button->Release();
    else if (key == uint32_t(SDLK_HOME))
        SetPage(0);
    else if (key == uint32_t(SDLK_END))
        SetPage(kLastPage);
    else if (key == uint32_t(SDLK_PAGEUP))
        SetPage(page >= 1 ? page - 1 : page);
    else if (key == uint32_t(SDLK_PAGEDOWN))
        SetPage(page < kLastPage ? page + 1 : page);
    else
        return;
    *handled = true;
}
