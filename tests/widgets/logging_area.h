#pragma once

// An area that logs every call of its own handlers into a shared log as "<label> <event> x,y",
// and takes (sets handled on) every event when told to.
#include "widgets/area.h"

#include <string>
#include <vector>

using Log = std::vector<std::string>;

class CLoggingArea : public CArea2
{
public:
    // At the rectangle; without a parent it is shown on its own.
    CLoggingArea(CArea2* parent, const std::string& label, const CRect& rect, Log* log, bool takes = false)
        : CArea2(parent, false, 100, 100), m_takes(takes), m_label(label), m_log(log)
    {
        SetRect(rect);
        if (!parent)
            SetVisible(true);
    }
    bool m_takes;

protected:
    void OnPointerDown(const CPoint& p, uint32_t, bool* h) override { Record("down", p, h); }
    void OnPointerMove(const CPoint& p) override { Record("move", p, nullptr); }
    void OnPointerUp(const CPoint& p, bool* h) override { Record("up", p, h); }
    void OnDoubleClick(const CPoint& p, uint32_t, bool* h) override { Record("double", p, h); }
    void OnWheel(const CPoint& p, int32_t amount, bool* h) override { Record("wheel" + std::to_string(amount), p, h); }
    void OnGesture(const CPoint& p, bool* h) override { Record("gesture", p, h); }
    void OnKeyDown(uint32_t key, bool* h) override { Record("key" + std::to_string(key), h); }
    void OnKeyUp(uint32_t key, bool* h) override { Record("keyup" + std::to_string(key), h); }
    void OnKeyRepeat(uint32_t key, bool* h) override { Record("repeat" + std::to_string(key), h); }
    void OnCommand(uint32_t code, bool* h) override { Record("command" + std::to_string(code), h); }

private:
    void Record(const std::string& event, const CPoint& p, bool* h)
    {
        Record(event + " " + std::to_string(p.GetX()) + "," + std::to_string(p.GetY()), h);
    }
    void Record(const std::string& event, bool* handled)
    {
        m_log->push_back(m_label + " " + event);
        if (m_takes && handled)
            *handled = true;
    }

    std::string m_label;
    Log* m_log;
};
