#pragma once

// A page-sized host that shows one dialog the way the pages do, hands it keys and presses through
// the host as the application would, ticks it, and records the result it closes with. Controls
// are found through the dialog's children, as an operator finds them on screen.
#include "widgets/area.h"
#include "widgets/area_button.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_edit_field.h"
#include "widgets/area_label.h"
#include "widgets/area_radio.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace dialog_test
{
constexpr uint32_t kReturn = 13;
constexpr uint32_t kEscape = 27;

class CHost : public CArea2
{
public:
    CHost() : CArea2(nullptr, false, 768, 1024) { SetVisible(true); }

    // -1 while the dialog is open.
    int64_t closedWith = -1;
    // Runs while the closing dialog is still alive.
    std::function<void(CArea2*)> onClosed;

protected:
    void OnDialogClosed(CArea2* dialog, uint32_t result) override
    {
        closedWith = result;
        if (onClosed)
            onClosed(dialog);
    }
};

template <class T>
std::vector<T*> ChildrenOf(const CArea2* area)
{
    std::vector<T*> found;
    for (uint32_t i = 0; i < area->GetChildCount(); ++i)
        if (T* child = dynamic_cast<T*>(area->GetChild(i)))
            found.push_back(child);
    return found;
}

class DialogTest : public ::testing::Test
{
protected:
    DialogTest() { SetClickSoundListener([this](const std::string& clip) { sounds.push_back(clip); }); }
    ~DialogTest() override { SetClickSoundListener(nullptr); }

    template <class T>
    T* Show(T* dialog)
    {
        host.ShowDialog(dialog);
        m_dialog = dialog;
        return dialog;
    }
    CArea2* Dialog() const { return host.GetModalChild(); }

    CAreaButton* Button(const std::string& caption) const
    {
        for (CAreaButton* button : ChildrenOf<CAreaButton>(m_dialog))
            if (button->GetCaption() == caption)
                return button;
        ADD_FAILURE() << "no button " << caption;
        return nullptr;
    }
    template <class T>
    T* Nth(size_t index) const
    {
        const std::vector<T*> found = ChildrenOf<T>(m_dialog);
        EXPECT_LT(index, found.size());
        return index < found.size() ? found[index] : nullptr;
    }

    // In the host's coordinates, as the pointer reaches the dialog.
    CPoint CentreOf(const CArea2* control) const
    {
        return m_dialog->GetPosition() + control->GetPosition() +
               CPoint(int32_t(control->GetWidth() / 2), int32_t(control->GetHeight() / 2));
    }
    void Press(const CArea2* control)
    {
        bool handled = false;
        host.PointerDown(0, CentreOf(control), 1, &handled);
    }
    void Release(const CArea2* control)
    {
        bool handled = false;
        host.PointerUp(0, CentreOf(control), &handled);
    }
    void Click(const CArea2* control)
    {
        Press(control);
        Release(control);
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
    void Key(uint32_t key)
    {
        KeyDown(key);
        KeyUp(key);
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            Key(uint32_t(uint8_t(c)));
    }
    void Tick(int frames = 1, float seconds = 0.04f)
    {
        for (int i = 0; i < frames; ++i)
            host.Tick(seconds);
    }

    CHost host;
    std::vector<std::string> sounds;

private:
    CArea2* m_dialog = nullptr;
};
}  // namespace dialog_test
