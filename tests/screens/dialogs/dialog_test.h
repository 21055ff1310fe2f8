#pragma once

// A page-sized host that shows one dialog as the pages do, hands it presses and keys as the
// application would, ticks it and records the result it closes with. Controls are found among the
// dialog's children, as an operator finds them on screen.
#include "widgets/area.h"
#include "widgets/area_button.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_edit_field.h"
#include "widgets/area_label.h"
#include "widgets/area_radio.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace dialog_test
{
constexpr uint32_t kReturn = 13;
constexpr uint32_t kEscape = 27;

struct CHost : CArea2
{
    CHost() : CArea2(nullptr, false, 768, 1024) { SetVisible(true); }
    void OnDialogClosed(CArea2* dialog, uint32_t result) override
    {
        closedWith = result;
        if (onClosed)
            onClosed(dialog);
    }
    // -1 while the dialog is open.
    int64_t closedWith = -1;
    // Runs while the closing dialog is still alive.
    std::function<void(CArea2*)> onClosed;
};

class DialogTest : public ::testing::Test
{
protected:
    DialogTest() { SetClickSoundListener([](const std::string&) {}); }
    ~DialogTest() override { SetClickSoundListener(nullptr); }

    template <class T>
    T* Show(std::unique_ptr<T> shown)
    {
        T* dialog = host.ShowDialog(std::move(shown));
        // A dialog still open was closed by the new one: that is no result.
        host.closedWith = -1;
        m_dialog = dialog;
        return dialog;
    }
    // The index-th child of the type; null past the last.
    template <class T>
    T* Nth(uint32_t index) const
    {
        for (uint32_t i = 0; i < m_dialog->GetChildCount(); ++i)
            if (T* child = dynamic_cast<T*>(m_dialog->GetChild(i)); child && index-- == 0)
                return child;
        return nullptr;
    }
    CAreaButton* Button(const std::string& caption) const
    {
        uint32_t i = 0;
        while (Nth<CAreaButton>(i) && Nth<CAreaButton>(i)->GetCaption() != caption)
            ++i;
        return Nth<CAreaButton>(i);
    }

    // A press and release of the mouse at a point of the control, by default its centre.
    void Click(const CArea2* control, CPoint at = CPoint(-1, -1))
    {
        if (at.GetX() < 0)
            at = CPoint(int32_t(control->GetWidth() / 2), int32_t(control->GetHeight() / 2));
        at += m_dialog->GetPosition() + control->GetPosition();
        bool down = false;
        bool up = false;
        host.PointerDown(0, at, 1, &down);
        host.PointerUp(0, at, &up);
    }
    bool KeyDown(uint32_t key)
    {
        bool handled = false;
        host.KeyDown(key, &handled);
        return handled;
    }
    bool KeyUp(uint32_t key)
    {
        bool handled = false;
        host.KeyUp(key, &handled);
        return handled;
    }
    void Key(uint32_t key) { KeyDown(key), KeyUp(key); }
    // The system's repeat of a key held down.
    void KeyRepeat(uint32_t key)
    {
        bool handled = false;
        host.KeyRepeat(key, &handled);
    }
    void Type(const std::string& keys)
    {
        for (char key : keys)
            Key(uint32_t(uint8_t(key)));
    }
    void Tick(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            host.Tick(0.04f);
    }

    CHost host;

private:
    CArea2* m_dialog = nullptr;
};
}  // namespace dialog_test
