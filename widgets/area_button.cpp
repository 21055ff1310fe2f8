#include "widgets/area_button.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/click_sound.h"

#include <algorithm>

namespace
{
constexpr uint32_t kSkinSize = 32;
// A caption keeps this far in from either side of the button.
constexpr int32_t kCaptionInset = 3;
constexpr uint32_t kLeftButton = 1;
constexpr float kSlowRepeat = 1.0f;

// The repeat interval for a press held this long. The steps in between keep the repeat from
// racing away at once; from 8 s on it clicks on every frame.
float RepeatInterval(float holdTime)
{
    if (holdTime > 8.0f)
        return 0.002f;
    if (holdTime > 6.0f)
        return 0.05f;
    if (holdTime > 4.0f)
        return 0.1f;
    if (holdTime > 2.0f)
        return 0.02f;
    return kSlowRepeat;
}
}  // namespace

CAreaButton::CAreaButton(CArea2* parent, const std::string& imageName, bool ownSurface)
    : CArea2(parent, ownSurface), m_imageBase(imageName.empty() ? "" : CSkinManager::GetSkinFileNameShort(imageName))
{
    SetName("CAreaButton");
    m_offUp = FindImage("_off_up");
    if (!m_offUp)
        m_offUp = FindImage("_up");
    if (m_offUp)
        SetSize(*m_offUp);
}

CAreaButton::~CAreaButton() = default;

const CZevralImage* CAreaButton::FindImage(const std::string& suffix) const
{
    if (m_imageBase.empty())
        return nullptr;
    const CZevralImage* image = nullptr;
    if (!CSkinManager::Instance().GetImagePointer(image, m_imageBase + suffix, kSkinSize))
        return nullptr;
    return image;
}

void CAreaButton::SetOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    SetDirty();
}

void CAreaButton::SetPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    if (pressed)
        SetTicking(true);
    Layout();
    SetDirty();
}

void CAreaButton::SetCaption(const std::string& text, bool translate)
{
    const std::string caption = translate ? CApp::Translate(text, false) : text;
    if (caption == m_caption)
        return;
    m_caption = caption;
    SetDirty();
}

void CAreaButton::SetIcon(const CZevralImage& icon)
{
    if (icon == m_icon)
        return;
    m_icon = icon;
    SetDirty();
}

void CAreaButton::SetMaxIconHeight(int32_t height)
{
    if (height == m_maxIconHeight)
        return;
    m_maxIconHeight = height;
    SetDirty();
}

void CAreaButton::Press()
{
    bool handled = false;
    OnPointerDown(CPoint(0, 0), kLeftButton, &handled);
}

void CAreaButton::Release()
{
    bool handled = false;
    OnPointerUp(CPoint(0, 0), &handled);
}

void CAreaButton::PlayFeedback()
{
    PlayClickSound(m_pressed ? "hw_down" : "hw_up");
}

void CAreaButton::OnPointerDown(const CPoint&, uint32_t button, bool* handled)
{
    if (IsEnabled())
    {
        if (!m_pressed)
        {
            // A new press: its hold and repeat start afresh.
            m_holdTime = 0.0f;
            m_holdReached = false;
            m_holdFired = false;
            m_repeatTime = 0.0f;
            m_repeatInterval = kSlowRepeat;
            m_pressed = true;
            SetTicking(true);
            Layout();
            SetDirty();
            PlayFeedback();
        }
        if (m_mode == kModeToggle)
        {
            m_on = !m_on;
            SetDirty();
        }
        if (m_press.IsSet())
        {
            m_lastButton = int32_t(button);
            m_press(this);
        }
    }
    // A disabled button still takes the press, so nothing under it sees it.
    if (handled)
        *handled = true;
}

void CAreaButton::OnPointerUp(const CPoint&, bool* handled)
{
    if (m_pressed)
    {
        m_pressed = false;
        Layout();
        SetDirty();
        PlayFeedback();
        if (!m_holdFired)
            m_click(this);
        m_release(this);
    }
    m_holdFired = false;
    if (handled)
        *handled = true;
}

void CAreaButton::OnVisibleChanged()
{
    // Hidden while held (its page switched away, where no release reaches it): the button lets go
    // without acting, so what its press began ends and no hold fires unseen.
    if (IsVisible() || !m_pressed)
        return;
    m_pressed = false;
    m_holdFired = false;
    Layout();
    SetDirty();
    m_release(this);
}

void CAreaButton::OnTick(float seconds)
{
    // Holds and repeats are counted only while pressed; until the next press there is nothing.
    if (!m_pressed)
    {
        SetTicking(false);
        return;
    }
    m_holdTime += seconds;
    if (m_holdTime >= kHoldTime && !m_holdReached)
    {
        m_holdReached = true;
        // Only a hold that did something (its callback, or the repeat that follows) stands in for
        // the click: a slow press of an ordinary button, or a key held a moment, still clicks.
        if (m_hold.IsSet() || m_repeat)
            m_holdFired = true;
        m_hold(this);
    }
    if (m_repeat && m_holdTime >= kHoldTime)
    {
        const float interval = RepeatInterval(m_holdTime);
        if (interval != m_repeatInterval)
        {
            if (interval != kSlowRepeat)
                m_repeatTime = 0.0f;
            m_repeatInterval = interval;
        }
        m_repeatTime += seconds;
        if (m_repeatTime >= m_repeatInterval)
        {
            m_repeatTime -= m_repeatInterval;
            m_click(this);
        }
    }
}

const CZevralImage* CAreaButton::StateImage()
{
    if (!m_pressed && !m_on)
    {
        if (!m_offUp)
            m_offUp = FindImage("_off_up");
        if (!m_offUp)
            m_offUp = FindImage("_up");
        return m_offUp;
    }
    if (!m_pressed)
    {
        if (!m_onUp)
            m_onUp = FindImage("_on_up");
        return m_onUp;
    }
    if (m_on)
    {
        if (!m_onDown)
            m_onDown = FindImage("_on_down");
        return m_onDown;
    }
    if (!m_offDown)
        m_offDown = FindImage("_off_down");
    if (!m_offDown)
        m_offDown = FindImage("_on_down");
    if (!m_offDown)
        m_offDown = FindImage("_down");
    return m_offDown;
}

void CAreaButton::PictureColumns(const CBaseImage* picture, int32_t width, int32_t& left, int32_t& right)
{
    const int32_t columns = picture ? std::min(width, picture->GetWidth()) : 0;
    const auto shows = [&](int32_t x) {
        for (int32_t y = 0; y < picture->GetHeight(); ++y)
            if (picture->GetPixel(uint32_t(x), uint32_t(y)).GetAlpha() > 0)
                return true;
        return false;
    };
    left = 0;
    while (left < columns && !shows(left))
        ++left;
    right = columns;
    while (right > left && !shows(right - 1))
        --right;
    if (left >= right)
    {
        left = 0;
        right = width;
    }
}

void CAreaButton::Paint(CTextureAdapter& canvas)
{
    const CZevralImage* image = StateImage();
    if (image)
        canvas.CompositeImage(CPoint(0, 0), *image);
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    if (!m_caption.empty())
    {
        // The caption is centred on what the picture shows of the key, and one wider than that
        // (a long translation) is shortened in its middle, so that it never runs off the key.
        int32_t left = 0;
        int32_t right = width;
        PictureColumns(image, width, left, right);
        std::string shown = m_caption;
        ShortenToFit(uint32_t(std::max(0, right - left - 2 * kCaptionInset)), shown, GetFontSize());
        DrawText(canvas, shown, GetTextColour(), CPoint((left + right) / 2, height / 2), kAlignCentre,
                 kAlignMiddle);
    }
    if (!m_icon.IsEmpty())
        canvas.BlendImage(CPoint(width / 2 - m_icon.GetWidth() / 2, height / 2 - m_icon.GetHeight() / 2), m_icon);
}
