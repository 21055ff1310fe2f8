#pragma once

#include "foundation/followed_subject.h"
#include "foundation/observer.h"
#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <string>

class CAreaBar;
class CAreaPlaybackButton;
class CPlayback;
class CPlaybackManager;

// What a page that holds playback buttons tells them: each button's place among its siblings.
class CPlaybackButtonHost
{
public:
    virtual ~CPlaybackButtonHost() = default;
    // -1 when the button is not one of the host's.
    virtual int32_t GetButtonIndex(const CAreaPlaybackButton* button) const = 0;
};

// The large button that stands for one playback on the playback page. It shows the playback's
// status as a skin picture, up to three centred lines (the label or number, the current cue's
// label or a short read-out of a changed intensity or speed, and "cue / count"), and two level
// bars: intensity on the left, speed on the right. While the playback manager has no click mode a
// press holds the playback's go input down; in a click mode a press is reported to the page.
// The button observes its playback and the playback's cues and repaints when they change.
class CAreaPlaybackButton : public CArea2
{
public:
    using ClickFunction = void (*)(void* context, CAreaPlaybackButton* button);
    using PressFunction = void (*)(void* context, CAreaPlaybackButton* button, uint32_t mouseButton, bool* handled);
    using ReleaseFunction = void (*)(void* context, CAreaPlaybackButton* button, bool* handled);

    static constexpr uint32_t kLineCount = 3;
    // The playback's current cue is shown as a number only below this.
    static constexpr int32_t kShownCues = 48;

    CAreaPlaybackButton(CArea2* parent, CPlaybackManager* manager);
    ~CAreaPlaybackButton() override;

    // Null shows no playback.
    void SetPlayback(CPlayback* playback);
    CPlayback* GetPlayback() const { return m_playback; }
    // Holds the playback's go input down or lets it go; the go input is worked only with a
    // manager, which follows the playback held through swaps.
    void SetPressed(bool pressed);
    bool IsPressed() const { return m_pressed; }
    // A translucent blue veil over the button and its bars.
    void SetHighlighted(bool highlighted);
    bool IsHighlighted() const { return m_highlighted; }
    // The button's ground filled with the text colour before the pictures.
    void SetFillBackground(bool fill);
    bool GetFillBackground() const { return m_fillBackground; }
    // The button's place as its page counts them; -1 outside such a page.
    int32_t GetIndex() const;
    // Line 0, 1 or 2 as drawn; empty when not drawn.
    const std::string& GetLine(uint32_t line) const;
    CAreaBar* GetIntensityBar() const { return m_intensityBar; }
    CAreaBar* GetSpeedBar() const { return m_speedBar; }

    // A null context means no callback. The press callback runs first on every press; the click
    // callback on a press while a click mode is active; the release callback on every release.
    void SetClickCallback(void* context, ClickFunction function) { m_click.Set(context, function); }
    void SetPressCallback(void* context, PressFunction function) { m_press.Set(context, function); }
    void SetReleaseCallback(void* context, ReleaseFunction function) { m_release.Set(context, function); }

    void HandleNotify(CSubject* subject, uint32_t code) override;

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnVisibleChanged() override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;
    void CopyBackgroundTo(CArea2* child) override;

private:
    // Texts and bars from the playback (or the empty state without one).
    void RebuildTexts();
    void RefreshBars();
    // The status picture of the playback, null for a status without one.
    const CZevralImage* StatusImage() const;
    CPoint StatusImagePosition() const;
    // Sends the release of the go input held down, when one is, to the playback it was held on.
    void ReleaseGoInput();

    CPlaybackManager* m_manager;
    CFollowedSubject<CPlayback> m_playback{this};
    // The manager's note of the playback whose go input the press holds down, wherever a swap
    // moves it; its release goes there. 0 while nothing is held.
    uint32_t m_hold = 0;
    CAreaBar* m_intensityBar = nullptr;
    CAreaBar* m_speedBar = nullptr;
    CRect m_lineRects[kLineCount];
    std::string m_lines[kLineCount];
    CCallback<ClickFunction> m_click;
    CCallback<PressFunction> m_press;
    CCallback<ReleaseFunction> m_release;
    bool m_pressed = false;
    bool m_highlighted = false;
    bool m_fillBackground = false;
    // The playback's cues, observed for the current cue's label.
    CSubjectSet m_cueSet;
};
