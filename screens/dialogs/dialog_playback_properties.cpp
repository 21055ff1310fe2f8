#include "screens/dialogs/dialog_playback_properties.h"

#include "foundation/notify_codes.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_label.h"
#include "widgets/area_radio.h"
#include "widgets/connect.h"

#include <algorithm>
#include <vector>

using namespace dialog_look;

namespace
{
constexpr uint32_t kModeCount = 4;
constexpr uint32_t kRowShares = 5;
constexpr uint32_t kRowGap = 5;
const char* const kGoModes[kModeCount] = {"Go", "Toggle", "Flash", "Solo"};
const char* const kRepeatModes[kModeCount] = {"Loop", "Bounce", "Random", "Off"};

CAreaRadio* MakeRadio(CArea2* parent, const char* const (&options)[kModeCount])
{
    CAreaRadio* radio = parent->MakeChild<CAreaRadio>(kModeCount);
    for (uint32_t i = 0; i < kModeCount; ++i)
        radio->SetOptionText(i, CApp::Translate(options[i], false));
    return radio;
}

// The label and its group side by side in the first two of five shares of the row, the group then
// reaching to the row's end.
void LayoutRow(CArea2& label, CArea2& group, const CRect& row)
{
    std::vector<CRect> shares(kRowShares);
    std::vector<CRect*> pointers;
    for (CRect& share : shares)
        pointers.push_back(&share);
    CArea2::ArrangeRects(pointers, row, kRowGap, true);
    label.SetRect(shares[0]);
    group.SetRect(shares[1]);
    group.SetWidth(uint32_t(std::max(0, row.GetRight() - group.GetX())));
}
}  // namespace

CDialogPlaybackProperties::CDialogPlaybackProperties(CArea2* parent, CPlaybackManager* manager)
    : CArea2(parent, false, 500 * Scale(), 250 * Scale()), m_manager(manager)
{
    SetName("CDialogPlaybackProperties");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Playback Properties", true, true);

    m_close = MakeChild<CAreaButtonSoft>();
    m_close->SetCaption("Close", true);
    Connect<&CDialogPlaybackProperties::OnChange>(m_close, &CAreaButton::SetClickCallback, this);

    m_background = MakeChild<CAreaCheckbox>();
    m_background->SetText("Background", true);
    m_background->SetHorizontalAlignment(kAlignEnd);
    Connect<&CDialogPlaybackProperties::OnChange>(m_background, &CAreaCheckbox::SetChangeCallback, this);

    m_exclusive = MakeChild<CAreaCheckbox>();
    m_exclusive->SetText("Exclusive", true);
    m_exclusive->SetHorizontalAlignment(kAlignEnd);
    Connect<&CDialogPlaybackProperties::OnChange>(m_exclusive, &CAreaCheckbox::SetChangeCallback, this);

    m_goModeLabel = MakeChild<CAreaLabel>(false);
    m_goModeLabel->SetText("Go Mode", true);
    m_goModeLabel->SetHorizontalAlignment(kAlignEnd);

    m_goMode = MakeRadio(this, kGoModes);
    Connect<&CDialogPlaybackProperties::OnChange>(m_goMode, &CAreaRadio::SetChangeCallback, this);

    m_repeat = MakeRadio(this, kRepeatModes);
    Connect<&CDialogPlaybackProperties::OnChange>(m_repeat, &CAreaRadio::SetChangeCallback, this);

    m_repeatLabel = MakeChild<CAreaLabel>(false);
    m_repeatLabel->SetText("Repeat", true);
    m_repeatLabel->SetHorizontalAlignment(kAlignEnd);
}

CDialogPlaybackProperties::~CDialogPlaybackProperties()
{
    StopObservingAll();
}

void CDialogPlaybackProperties::OnChange(const CArea2* sender)
{
    if (sender == m_close)
    {
        SetResult(kResultOk);
        return;
    }
    if (!m_manager)
        return;
    // A copy: a setter may come back through the manager before the loop ends.
    const std::vector<CPlayback*> selection = m_manager->GetSelection();
    for (CPlayback* playback : selection)
    {
        if (!playback)
            continue;
        if (sender == m_background)
            playback->SetBackground(m_background->IsChecked());
        else if (sender == m_exclusive)
            playback->SetExclusive(m_exclusive->IsChecked());
        else if (sender == m_goMode)
            playback->SetGoMode(m_goMode->GetSelection());
        else if (sender == m_repeat)
            playback->SetRepeat(m_repeat->GetSelection());
    }
}

void CDialogPlaybackProperties::HandleNotify(CSubject* subject, uint32_t code)
{
    if (m_shown.Forget(subject, code))
        return;
    if (code == NOTIFY_RELEASE)
    {
        // The manager is going: it must not be touched again.
        if (subject == m_manager)
        {
            m_manager = nullptr;
            ShowPlayback(nullptr);
        }
        return;
    }
    if (m_manager && subject == m_manager)
        ShowPlayback(m_manager->GetSelectedPlayback());
    else if (m_shown && subject == m_shown)
        ShowValues();
}

void CDialogPlaybackProperties::ShowPlayback(CPlayback* playback)
{
    if (m_shown.Follow(playback) && m_shown)
        HandleNotify(m_shown, 0);
}

void CDialogPlaybackProperties::ShowValues()
{
    m_background->SetChecked(m_shown->GetBackground());
    m_exclusive->SetChecked(m_shown->GetExclusive());
    m_goMode->SetSelection(m_shown->GetGoMode());
    m_repeat->SetSelection(m_shown->GetRepeat());
}

void CDialogPlaybackProperties::OnVisibleChanged()
{
    if (IsVisible())
    {
        if (!m_manager)
            return;
        Observe(m_manager);
        HandleNotify(m_manager, 0);
        return;
    }
    if (m_manager)
        StopObserving(m_manager);
    m_shown.Follow(nullptr);
}

void CDialogPlaybackProperties::OnKeyDown(uint32_t key, bool* handled)
{
    switch (key)
    {
    case kKeyEscape:
        m_close->Press();
        break;
    case 'b':
        m_background->Press();
        break;
    case 'e':
        m_exclusive->Press();
        break;
    case 'g':
        if (m_shown)
            m_shown->SetGoMode((m_shown->GetIntendedGoMode() + 1) % kModeCount);
        break;
    case 'r':
        if (m_shown)
            m_shown->SetRepeat((m_shown->GetIntendedRepeat() + 1) % kModeCount);
        break;
    default:
        return;
    }
    *handled = true;
}

void CDialogPlaybackProperties::OnKeyUp(uint32_t key, bool* handled)
{
    switch (key)
    {
    case kKeyEscape:
        m_close->Release();
        break;
    case 'b':
        m_background->Release();
        break;
    case 'e':
        m_exclusive->Release();
        break;
    case 'g':
    case 'r':
        break;
    default:
        return;
    }
    *handled = true;
}

void CDialogPlaybackProperties::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t gap = int32_t(kGap);
    m_caption->SetHeight(GetHeight());

    m_close->SetHeight(uint32_t(std::max(0, (height - 16) / 5)));
    PlaceInCorner(*m_close, *this);

    m_background->SetPosition(CPoint(RightOf(*m_caption), gap));
    m_exclusive->SetPosition(CPoint(m_background->GetX(), m_background->GetBottom() + gap));

    const int32_t x = m_background->GetX();
    CRect row(x, m_exclusive->GetBottom() + gap, std::max(0, width - gap - x), int32_t(m_close->GetHeight()));
    LayoutRow(*m_goModeLabel, *m_goMode, row);
    row.SetY(m_goModeLabel->GetBottom() + gap);
    LayoutRow(*m_repeatLabel, *m_repeat, row);

    const int32_t boxWidth = std::max(0, m_repeat->GetX() - x + int32_t(m_background->GetHeight()));
    m_background->SetWidth(uint32_t(boxWidth));
    m_exclusive->SetWidth(uint32_t(boxWidth));
}
