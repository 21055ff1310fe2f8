#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <string>

// The push or toggle button of the whole interface. Pressed (a pointer is down on it) and on (the
// latched state of a toggle or a chosen option) are independent; each pair of them picks one of
// four skin pictures named after the button ("button_file_save_off_up", "_off_down", "_on_up",
// "_on_down"; "_up" and "_down" stand in for the off pictures).
//
// A press and its release each play a click sound. The release clicks the button wherever the
// pointer is let go, because the press captured the pointer. Held for half a second, the button
// calls its hold callback once; with repeat on it then clicks again and again, faster the longer
// it is held. Press and Release let a dialog give a key to the button, with the same callbacks and
// sounds as a click. Hidden while held, the button lets go without a click.
class CAreaButton : public CArea2
{
public:
    // Called as function(context, button), only when the context is not null.
    using Callback = void (*)(void* context, CAreaButton* button);

    static constexpr uint32_t kModePush = 0;
    static constexpr uint32_t kModeToggle = 1;
    // How long a press lasts before it counts as a hold.
    static constexpr float kHoldTime = 0.5f;

    // The image name gets the screen class's suffix; the button takes the size of its off-up
    // picture, or stays 100 x 100 without one.
    CAreaButton(CArea2* parent, const std::string& imageName, bool ownSurface);
    ~CAreaButton() override;

    void SetOn(bool on);
    bool IsOn() const { return m_on; }
    // Shows the button pressed or not, without sound or callbacks.
    void SetPressed(bool pressed);
    bool IsPressed() const { return m_pressed; }
    void SetMode(uint32_t mode) { m_mode = mode; }
    uint32_t GetMode() const { return m_mode; }
    void SetRepeat(bool repeat) { m_repeat = repeat; }
    bool IsRepeat() const { return m_repeat; }
    // With translate the text goes through the phrase lookup first.
    void SetCaption(const std::string& text, bool translate);
    const std::string& GetCaption() const { return m_caption; }
    void SetIcon(const CZevralImage& icon);
    const CZevralImage& GetIcon() const { return m_icon; }
    // -1: no limit.
    void SetMaxIconHeight(int32_t height);
    int32_t GetMaxIconHeight() const { return m_maxIconHeight; }

    void SetPressCallback(void* context, Callback function) { m_press.Set(context, function); }
    void SetReleaseCallback(void* context, Callback function) { m_release.Set(context, function); }
    void SetClickCallback(void* context, Callback function) { m_click.Set(context, function); }
    void SetHoldCallback(void* context, Callback function) { m_hold.Set(context, function); }
    // The mouse button of the last press that had a press callback; -1 before one.
    int32_t GetLastButton() const { return m_lastButton; }

    // A press and a release of mouse button 1 as if the pointer had made them.
    void Press();
    void Release();

    // The click sound of a press (pressed) or a release.
    virtual void PlayFeedback();

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnTick(float seconds) override;
    void OnVisibleChanged() override;
    void Paint(CTextureAdapter& canvas) override;
    // The columns left .. right - 1 of a button this wide that its picture shows anything in,
    // where a caption belongs: a key may be drawn narrower than its picture (the options key keeps
    // clear of the lamp beside it). The whole width without a picture, or for one that shows
    // nothing.
    static void PictureColumns(const CBaseImage* picture, int32_t width, int32_t& left, int32_t& right);

private:
    // The skin picture for the current states; null when the skin has none.
    const CZevralImage* StateImage();
    const CZevralImage* FindImage(const std::string& suffix) const;

    bool m_on = false;
    bool m_pressed = false;
    bool m_repeat = false;
    std::string m_caption;
    CZevralImage m_icon;
    int32_t m_maxIconHeight = -1;
    const CZevralImage* m_offUp = nullptr;
    const CZevralImage* m_offDown = nullptr;
    const CZevralImage* m_onUp = nullptr;
    const CZevralImage* m_onDown = nullptr;
    uint32_t m_mode = kModePush;
    CCallback<Callback> m_press;
    CCallback<Callback> m_release;
    CCallback<Callback> m_click;
    CCallback<Callback> m_hold;
    std::string m_imageBase;
    float m_holdTime = 0.0f;
    float m_repeatTime = 0.0f;
    float m_repeatInterval = 1.0f;
    // The hold callback ran (or the repeat took over) during this press: its release does not click.
    bool m_holdFired = false;
    // The hold moment of this press has passed.
    bool m_holdReached = false;
    int32_t m_lastButton = -1;
};
