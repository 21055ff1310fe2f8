#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <string>

class CAreaLabel;

// A square framed box that shows a cross when checked, with a caption beside it. A press toggles
// it, sounds "positive" and calls the change callback; setting it from the program calls nothing.
class CAreaCheckbox : public CArea2
{
public:
    // Called as function(context, check box), only when the context is not null.
    using Callback = void (*)(void* context, CAreaCheckbox* checkbox);

    explicit CAreaCheckbox(CArea2* parent);
    ~CAreaCheckbox() override;

    // State 2 counts as checked too.
    bool IsChecked() const { return m_state == 1 || m_state == 2; }
    void SetChecked(bool checked);
    uint32_t GetState() const { return m_state; }
    void SetState(uint32_t state);
    void SetText(const std::string& text, bool translate);
    std::string GetText() const;
    void SetChangeCallback(void* context, Callback function) { m_change.Set(context, function); }
    // 0: box at the left and the caption right of it; any other value: box at the right. The box
    // moves at the next layout.
    void SetHorizontalAlignment(uint32_t alignment);
    // The box's largest side.
    void SetBoxSize(uint32_t size);
    CRect GetBoxRect() const { return m_box; }
    // A press and a release as if the pointer had made them (dialogs give keys this way).
    void Press();
    void Release();

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    CAreaLabel* m_caption;
    uint32_t m_state = 0;
    CCallback<Callback> m_change;
    uint32_t m_boxSize;
    CRect m_box;
    CZevralImage m_frame;
    uint32_t m_alignment = 0;
};
