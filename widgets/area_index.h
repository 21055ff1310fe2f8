#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

// A vertical strip of the letters "a" to "z"; a press chooses the letter of the row under it.
class CAreaIndex : public CArea2
{
public:
    using ChangeCallback = void (*)(void* context, CAreaIndex* index);

    static constexpr int32_t kLetterCount = 26;

    // 50 x 300 with its own surface.
    explicit CAreaIndex(CArea2* parent);

    char GetSelected() const { return m_selected; }
    void SetChangeCallback(void* context, ChangeCallback callback) { m_change.Set(context, callback); }

protected:
    // Every press is taken, enabled or not; below the last row it chooses "z".
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void Paint(CTextureAdapter& canvas) override;

private:
    CCallback<ChangeCallback> m_change;
    char m_selected = 'a';
};
