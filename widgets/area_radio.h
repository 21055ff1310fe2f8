#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <string>
#include <vector>

// A row of equal segments, one per text option, of which exactly one is selected; a press on
// another segment selects it and calls the change callback. The number of options is fixed.
class CAreaRadio : public CArea2
{
public:
    // Called as function(context, radio), only when the context is not null.
    using Callback = void (*)(void* context, CAreaRadio* radio);

    // Without options, or narrower than one pixel per option, it draws and takes nothing.
    CAreaRadio(CArea2* parent, uint32_t optionCount);
    ~CAreaRadio() override;

    // Ignored past the last option.
    void SetOptionText(uint32_t index, const std::string& text);
    uint32_t GetOptionCount() const { return uint32_t(m_options.size()); }
    // Neither checked nor followed by the callback.
    void SetSelection(uint32_t index);
    uint32_t GetSelection() const { return m_selection; }
    // Empty when the selection lies past the last option.
    std::string GetSelectedText() const;
    void SetChangeCallback(void* context, Callback function) { m_change.Set(context, function); }

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    int32_t SegmentWidth() const;

    CCallback<Callback> m_change;
    std::vector<std::string> m_options;
    CZevralImage m_frame;
    // The selected block of the first segment (turned round for the last) and of the others.
    CZevralImage m_end;
    CZevralImage m_middle;
    uint32_t m_selection = 0;
};
