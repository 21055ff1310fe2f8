#include "widgets/area_playback_button.h"

#include "foundation/notify_codes.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "model/cue.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "shell/app.h"
#include "widgets/area_bar.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace
{
constexpr uint32_t kDefaultWidth = 188;
constexpr uint32_t kDefaultHeight = 152;
constexpr uint32_t kMaxCues = 8192;
constexpr float kIdleBarShade = 0.4f;
constexpr float kActiveBarShade = 0.6f;
constexpr uint32_t kStatusDegroup = 6;
// The lines keep this far from the bars.
constexpr int32_t kTextInset = 2;

// The button's faces, then one picture per playback status 1 to 7. Shared by every button and
// loaded by the first one made; each stays loaded for the whole program.
enum : uint32_t
{
    kUp,
    kDown,
    kFirstStatus,
    kImageCount = kFirstStatus + 7,
};
const char* const kImageNames[kImageCount] = {
    "playback_up",        "playback_down",      "playback_released", "playback_playing", "playback_paused",
    "playback_releasing", "playback_indicated", "playback_degroup",  "playback_stack",
};

CZevralImage* SharedImages()
{
    static CZevralImage images[kImageCount];
    return images;
}

void LoadSharedImages()
{
    CZevralImage* images = SharedImages();
    for (uint32_t i = 0; i < kImageCount; ++i)
    {
        if (images[i].GetWidth() == 0)
            images[i].Load(CSkinManager::GetSkinImagePath(kImageNames[i]));
    }
}

const CRgbaColour kHighlight(0, 0, 255, 96);

// The rectangle both rectangles cover; zero-sized when they do not meet.
CRect Overlap(const CRect& a, const CRect& b)
{
    const int32_t left = std::max(a.GetX(), b.GetX());
    const int32_t top = std::max(a.GetY(), b.GetY());
    const int32_t right = std::min(a.GetRight(), b.GetRight());
    const int32_t bottom = std::min(a.GetBottom(), b.GetBottom());
    return CRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

std::string Percent(float fraction)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.0f%%", double(fraction * 100.0f));
    return text;
}
}

CAreaPlaybackButton::CAreaPlaybackButton(CArea2* parent, CPlaybackManager* manager)
    : CArea2(parent, true, kDefaultWidth, kDefaultHeight), m_manager(manager), m_cueSet(kMaxCues)
{
    SetName("CAreaPlaybackButton");
    LoadSharedImages();
    m_intensityBar = MakeChild<CAreaBar>(false);
    m_speedBar = MakeChild<CAreaBar>(true);
    SetSize(SharedImages()[kUp]);
}

CAreaPlaybackButton::~CAreaPlaybackButton()
{
    m_cueSet.Clear(this);
    m_playback.Follow(nullptr);
}

void CAreaPlaybackButton::SetPlayback(CPlayback* playback)
{
    if (playback == m_playback)
        return;
    // A go input held down is let go on the playback it was held on, before the button turns to
    // another.
    ReleaseGoInput();
    m_playback.Follow(playback);
    // The cues of the playback shown before are none of this button's business any more.
    m_cueSet.Clear(this);
    if (m_playback)
    {
        HandleNotify(m_playback, NOTIFY_UNKNOWN);
    }
    else
    {
        RebuildTexts();
        RefreshBars();
        SetDirty();
    }
}

void CAreaPlaybackButton::SetPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    SetDirty();
    // The bars stand on the button's face, which changes with the press.
    RefreshBars();
    if (!pressed)
    {
        ReleaseGoInput();
    }
    else if (m_playback && m_manager)
    {
        m_hold = m_manager->Hold(*m_playback);
        m_playback->SetGoDown(true);
    }
}

void CAreaPlaybackButton::ReleaseGoInput()
{
    const uint32_t hold = std::exchange(m_hold, CPlaybackManager::kNoHold);
    if (CPlayback* held = hold != CPlaybackManager::kNoHold ? m_manager->LetGo(hold) : nullptr)
        held->SetGoDown(false);
}

void CAreaPlaybackButton::SetHighlighted(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    SetDirty();
    RefreshBars();
}

void CAreaPlaybackButton::SetFillBackground(bool fill)
{
    if (fill == m_fillBackground)
        return;
    m_fillBackground = fill;
    SetDirty();
}

int32_t CAreaPlaybackButton::GetIndex() const
{
    const auto* host = dynamic_cast<const CPlaybackButtonHost*>(GetParent());
    return host ? host->GetButtonIndex(this) : -1;
}

const std::string& CAreaPlaybackButton::GetLine(uint32_t line) const
{
    static const std::string none;
    return line < kLineCount ? m_lines[line] : none;
}

void CAreaPlaybackButton::HandleNotify(CSubject* subject, uint32_t code)
{
    // A subject that goes tells so from its base destructor, when it is no longer a playback or a
    // cue: it is only forgotten, never asked anything.
    if (m_playback.Forget(subject, code))
    {
        // The playbacks go with their manager, and the note of the press with them.
        m_hold = CPlaybackManager::kNoHold;
        m_cueSet.Clear(this);
        RebuildTexts();
        RefreshBars();
        SetDirty();
        return;
    }
    if (code == NOTIFY_RELEASE)
        return;
    if (!subject || subject != m_playback)
    {
        // While the line reads out a changed intensity or speed, the cue's label waits for the
        // read-out to end.
        const CCue* cue = dynamic_cast<const CCue*>(subject);
        if (cue && m_playback && m_playback->GetFeedback() == CPlayback::kFeedbackNone &&
            cue->GetIndex() == m_playback->GetCurrentCue() && cue->GetLabel() != m_lines[1])
        {
            m_lines[1] = cue->GetLabel();
            SetDirty();
        }
        return;
    }
    if (code == NOTIFY_UNKNOWN || code == NOTIFY_LIST)
    {
        m_playback->AttachCues(this, &m_cueSet);
        RefreshBars();
    }
    else if (code == NOTIFY_STATUS)
    {
        RefreshBars();
        SetDirty();
    }
    RebuildTexts();
}

void CAreaPlaybackButton::RefreshBars()
{
    m_intensityBar->Refresh(false);
    m_speedBar->Refresh(false);
}

void CAreaPlaybackButton::RebuildTexts()
{
    std::string lines[kLineCount];
    std::string countText = "-";
    int32_t currentCue = -1;
    int32_t cueCount = -1;
    if (m_playback)
    {
        const CRgbaColour barColour = GetColour().Scale(m_playback->GetStatus() == 0 ? kIdleBarShade : kActiveBarShade);
        m_speedBar->SetValue(m_playback->GetSpeed());
        m_speedBar->SetColour(barColour);
        m_intensityBar->SetValue(m_playback->GetIntensity());
        m_intensityBar->SetColour(barColour);
        cueCount = int32_t(m_playback->GetCueCount());
        switch (m_playback->GetFeedback())
        {
        case CPlayback::kFeedbackNone:
            lines[0] = m_playback->GetLabel();
            currentCue = m_playback->GetCurrentCue();
            if (const CCue* cue = currentCue >= 0 ? m_playback->GetCue(uint32_t(currentCue)) : nullptr)
                lines[1] = cue->GetLabel();
            break;
        case CPlayback::kFeedbackIntensity:
            lines[0] = CApp::Translate("Intensity", false);
            lines[1] = Percent(m_playback->GetIntensity());
            break;
        case CPlayback::kFeedbackSpeed:
            lines[0] = CApp::Translate("Speed", false);
            lines[1] = Percent(m_playback->GetSpeed());
            break;
        default:
            break;
        }
        // An unnamed playback shows its place, counted from 1.
        if (lines[0].empty())
            lines[0] = std::to_string(m_playback->GetIndex() + 1);
        if (cueCount > 0)
            countText = std::to_string(cueCount);
        if (m_playback->GetFeedback() == CPlayback::kFeedbackNone && m_playback->GetStatus() != kStatusDegroup)
        {
            if (currentCue < 0 || cueCount < 1 || currentCue >= kShownCues)
                lines[2] = "- / " + countText;
            else
                lines[2] = std::to_string(currentCue + 1) + " / " + countText;
        }
    }
    else
    {
        // Without a playback the button is as it was made: no lines and empty bars.
        m_speedBar->SetValue(0.0f);
        m_intensityBar->SetValue(0.0f);
    }
    m_intensityBar->SetDimmed(cueCount < 1);
    m_speedBar->SetDimmed(cueCount < 1);
    for (uint32_t i = 0; i < kLineCount; ++i)
    {
        if (lines[i] != m_lines[i])
        {
            m_lines[i] = lines[i];
            SetDirty();
        }
    }
}

void CAreaPlaybackButton::Layout()
{
    if (GetWidth() == 0)
        return;
    const int32_t w = int32_t(GetWidth());
    const int32_t h = int32_t(GetHeight());
    const int32_t k = CApp::IsHighResolution() ? 2 : 1;
    CRect intensity;
    CRect speed;
    uint32_t fontSize = 0;
    switch (CApp::GetScreenClass())
    {
    case 5:
    case 6:
    {
        const int32_t lineWidth = w - 20 * k;
        const int32_t lineHeight = (h - 20 * k) / 3;
        m_lineRects[1] = CRect(10 * k, h / 2 - lineHeight / 2, lineWidth, lineHeight);
        m_lineRects[0] = CRect(10 * k, m_lineRects[1].GetY() - lineHeight, lineWidth, lineHeight);
        m_lineRects[2] = CRect(w / 2 - lineWidth / 2 / 2, m_lineRects[1].GetY() + lineHeight, lineWidth / 2, lineHeight);
        fontSize = uint32_t(11 * k);
        intensity = CRect(9 * k, 12 * k, 13, h - 24 * k);
        speed = CRect(w - 8 * k - 8, 12 * k, 8, intensity.GetHeight());
        break;
    }
    case 1:
    case 2:
    {
        const int32_t lineWidth = w - 60;
        const int32_t lineHeight = (h - 80) / 3;
        m_lineRects[0] = CRect(30, 30, lineWidth, lineHeight);
        m_lineRects[1] = CRect(30, h / 2 - lineHeight / 2, lineWidth, lineHeight);
        m_lineRects[2] = CRect(w / 2 - lineWidth / 2 / 2, h - 30 - lineHeight, lineWidth / 2, lineHeight);
        fontSize = 26;
        intensity = CRect(16, 22, 13, h - 46);
        speed = CRect(w - 14 - 13, 22, 13, h - 46);
        break;
    }
    case 0:
    {
        const int32_t lineWidth = w - 20;
        const int32_t lineHeight = (h - 50) / 3;
        m_lineRects[0] = CRect(10, 15, lineWidth, lineHeight);
        m_lineRects[1] = CRect(10, h / 2 - lineHeight / 2, lineWidth, lineHeight);
        m_lineRects[2] = CRect(w / 2 - lineWidth / 2 / 2, h - 15 - lineHeight, lineWidth / 2, lineHeight);
        fontSize = 14;
        intensity = CRect(8, 12, 13, h - 24);
        speed = CRect(w - 16, 12, 8, h - 24);
        break;
    }
    default:
        return;
    }
    SetFontSize(fontSize);
    m_intensityBar->SetRect(intensity);
    m_speedBar->SetRect(speed);
}

const CZevralImage* CAreaPlaybackButton::StatusImage() const
{
    if (!m_playback)
        return nullptr;
    const uint32_t status = m_playback->GetStatus();
    if (status < 1 || status > kImageCount - kFirstStatus)
        return nullptr;
    return &SharedImages()[kFirstStatus + status - 1];
}

CPoint CAreaPlaybackButton::StatusImagePosition() const
{
    // Every status picture is placed where the first one is centred.
    const CZevralImage& reference = SharedImages()[kFirstStatus];
    return CPoint(int32_t(GetWidth()) / 2 - reference.GetWidth() / 2,
                  int32_t(GetHeight()) / 2 - reference.GetHeight() / 2);
}

void CAreaPlaybackButton::Paint(CTextureAdapter& canvas)
{
    CRgbaColour foreground = GetTextColour();
    if (m_fillBackground)
        canvas.Fill(GetTextColour());
    canvas.BlendImage(CPoint(0, 0), SharedImages()[m_pressed ? kDown : kUp]);
    if (m_playback)
    {
        if (const CZevralImage* status = StatusImage())
            canvas.BlendImage(StatusImagePosition(), *status);
        // A marked playback lights up whole; its text takes the ground colour.
        if (m_playback->GetStatus() == CPlayback::kMarkedStatus)
            foreground = GetBackgroundColour();
    }
    // The lines keep to the face between the two bars: a long label is set smaller, then
    // shortened in the middle, rather than written over the bars.
    const int32_t faceLeft = m_intensityBar->GetRect().GetRight() + kTextInset;
    const int32_t faceRight = m_speedBar->GetX() - kTextInset;
    for (uint32_t i = 0; i < kLineCount; ++i)
    {
        if (m_lines[i].empty())
            continue;
        int32_t left = std::max(m_lineRects[i].GetX(), faceLeft);
        int32_t right = std::min(m_lineRects[i].GetRight(), faceRight);
        if (right <= left)
            left = m_lineRects[i].GetX(), right = m_lineRects[i].GetRight();
        const uint32_t room = uint32_t(std::max(0, right - left));
        std::string text = m_lines[i];
        uint32_t size = GetFontSize();
        FitText(room, text, size);
        const CPoint centre((left + right) / 2, m_lineRects[i].GetCentre().GetY());
        DrawText(canvas, text, GetBackgroundColour(), centre + CPoint(1, 1), kAlignCentre, kAlignMiddle, size);
        DrawText(canvas, text, foreground, centre, kAlignCentre, kAlignMiddle, size);
    }
    if (m_highlighted)
        canvas.FillTranslucent(kHighlight);
}

void CAreaPlaybackButton::CopyBackgroundTo(CArea2* child)
{
    if (!child)
        return;
    // The bars show the button's face and status picture around their segments, veiled with it.
    // The status pictures are overlays, so the face goes under them as it does in Paint. Only the
    // part of the face under the child is composed: a bar is a sliver of the button.
    CZevralImage& own = child->GetOwnImage();
    const CRect under = Overlap(CRect(child->GetX(), child->GetY(), own.GetWidth(), own.GetHeight()), GetLocalRect());
    if (under.GetWidth() > 0 && under.GetHeight() > 0)
    {
        CZevralImage ground(uint32_t(under.GetWidth()), uint32_t(under.GetHeight()));
        ground.BlendImage(CPoint() - under.GetPosition(), SharedImages()[m_pressed ? kDown : kUp]);
        if (const CZevralImage* status = StatusImage())
            ground.BlendImage(StatusImagePosition() - under.GetPosition(), *status);
        own.CopyImage(under.GetPosition() - child->GetPosition(), ground);
    }
    if (m_highlighted)
        child->GetOwnImage().FillTranslucent(kHighlight);
}

void CAreaPlaybackButton::OnPointerDown(const CPoint&, uint32_t button, bool* handled)
{
    m_press(this, button, handled);
    // Without a manager there is no click mode to honour: the press works the go input.
    if (!m_manager || m_manager->GetMode() == CPlaybackManager::kModeNone)
        SetPressed(true);
    else
        m_click(this);
    *handled = true;
}

void CAreaPlaybackButton::OnVisibleChanged()
{
    // Hidden while held, where no release reaches it: the go input is let go.
    if (!IsVisible())
        SetPressed(false);
}

void CAreaPlaybackButton::OnPointerUp(const CPoint&, bool* handled)
{
    m_release(this, handled);
    SetPressed(false);
    *handled = true;
}
