#pragma once

#include "widgets/area.h"

#include <string>

// How far a long operation has come: a caption near the top and, in the lower half, a frame whose
// filled part is the progress's share of the width, all tinted with the bar's colour.
class CAreaProgressBar : public CArea2
{
public:
    // 200 x 80 (200 x 160 on a large screen), caption "PROGRESS" in the chosen language.
    explicit CAreaProgressBar(CArea2* parent);

    // Kept within the minimum and the maximum (0 and 1).
    void SetProgress(float progress);
    float GetProgress() const { return m_progress; }
    float GetMinimum() const { return m_minimum; }
    float GetMaximum() const { return m_maximum; }
    void SetCaption(const std::string& caption);
    std::string GetCaption() const { return m_caption; }

protected:
    void Paint(CTextureAdapter& canvas) override;

private:
    std::string m_caption;
    float m_progress = 0.0f;
    float m_minimum = 0.0f;
    float m_maximum = 1.0f;
    CZevralImage m_bar;
};
