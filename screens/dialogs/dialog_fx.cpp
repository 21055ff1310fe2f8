#include "screens/dialogs/dialog_fx.h"

#include "model/programmer.h"
#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_fader_soft.h"
#include "widgets/area_grid.h"
#include "widgets/connect.h"

#include <SDL_keycode.h>

#include <algorithm>
#include <cmath>

using namespace dialog_look;

namespace
{
constexpr uint32_t kFaderId = 17;
constexpr uint32_t kWidth = 400;
constexpr uint32_t kHeight = 300;
// The usual row of a list, lowered where the shapes would not all show whole.
constexpr uint32_t kRowHeight = 45;

bool IsOkKey(uint32_t key)
{
    return key == kKeyReturn || key == uint32_t(SDLK_KP_ENTER) || key == uint32_t(SDLK_RETURN2);
}

const char* CaptionOfGroup(uint32_t group)
{
    switch (group)
    {
    case GROUP_INTENSITY_FX: return "Intensity FX";
    case GROUP_POSITION_FX: return "Position FX";
    case GROUP_COLOUR_MIX_FX: return "ColourMix FX";
    default: return nullptr;
    }
}

// The wheel may carry a fader past its ends; an effect's size, speed and phase must not wrap round.
int32_t Scaled(float value, float lowest, int32_t full)
{
    return int32_t(std::trunc(std::clamp(value, lowest, 1.0f) * float(full)));
}
}  // namespace

CDialogFx::CDialogFx(CArea2* parent, uint32_t group)
    : CArea2(parent, false, kWidth * Scale(), kHeight * Scale()), m_group(group)
{
    SetName("CDialogFx");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    if (const char* caption = CaptionOfGroup(group))
        m_caption->SetCaption(caption, true, true);

    m_shapes = MakeChild<CAreaGrid>(false, false);
    Connect<&CDialogFx::ProvideCell>(m_shapes, &CAreaGrid::SetCellProvider, this);
    Connect<&CDialogFx::OnShapePress>(m_shapes, &CAreaGrid::SetPressCallback, this);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);
    m_clear = MakeChild<CAreaButtonSoft>();
    m_clear->SetCaption("X", true);
    for (CAreaButtonSoft* button : {m_ok, m_cancel, m_clear})
        Connect<&CDialogFx::OnChange>(button, &CAreaButton::SetClickCallback, this);

    m_size = MakeChild<CAreaFaderSoft>(kFaderId);
    m_size->SetCaption("Size", true, false);
    m_speed = MakeChild<CAreaFaderSoft>(kFaderId);
    m_speed->SetCaption("Speed", true, false);
    m_speed->SetMinimum(-1.0f);
    m_phase = MakeChild<CAreaFaderSoft>(kFaderId);
    m_phase->SetCaption("Phase", true, false);
    for (CAreaFaderSoft* fader : {m_size, m_speed, m_phase})
    {
        fader->SetOwnSurface(false);
        Connect<&CDialogFx::OnChange>(fader, &CAreaFaderSoft::SetChangeCallback, this);
    }

    RefreshControls();
}

void CDialogFx::SetValue(const CFxValue& value)
{
    m_value = value;
    m_initialValue = value;
    RefreshControls();
    m_shapes->SetDirty();
}

void CDialogFx::RefreshControls()
{
    m_shapes->SetRowCount(FxShapeCountOfGroup(m_group));
    m_size->SetValue(float(m_value.GetSize()) / 255.0f);
    m_speed->SetValue(float(m_value.GetSpeed()) / 127.0f);
    m_phase->SetValue(float(m_value.GetPhase()) / 255.0f);
}

void CDialogFx::Report()
{
    m_change(this);
}

void CDialogFx::ProvideCell(CAreaGrid*, uint32_t, uint32_t row, std::string& text, CRgbaColour&,
                            bool& highlighted, std::vector<CZevralImage>&) const
{
    const uint32_t shape = FxShapeOfGroup(m_group, row);
    text = CApp::Translate(FxShapeName(shape), false);
    highlighted = shape == m_value.GetShape();
}

void CDialogFx::OnShapePress(CAreaGrid*, int32_t, int32_t row)
{
    // A press in the empty space under a short list chooses nothing (it would read as "None").
    if (row < 0 || uint32_t(row) >= FxShapeCountOfGroup(m_group))
        return;
    m_value.SetShape(FxShapeOfGroup(m_group, uint32_t(row)));
    RefreshControls();
    m_shapes->SetDirty();
    Report();
}

void CDialogFx::OnChange(const CArea2* source)
{
    if (source == m_ok)
    {
        SetResult(kResultOk);
    }
    else if (source == m_cancel)
    {
        // Cancel closes like Ok, so the host sends the value the dialog was opened with.
        m_value = m_initialValue;
        SetResult(kResultOk);
    }
    else if (source == m_size)
    {
        m_value.SetSize(uint32_t(Scaled(m_size->GetValue(), 0.0f, 255)));
    }
    else if (source == m_speed)
    {
        m_value.SetSpeed(Scaled(m_speed->GetValue(), -1.0f, 127));
    }
    else if (source == m_phase)
    {
        m_value.SetPhase(uint32_t(Scaled(m_phase->GetValue(), 0.0f, 255)));
    }
    else if (source == m_clear)
    {
        m_value = CFxValue();
        m_shapes->SetDirty();
    }
    RefreshControls();
    Report();
}

void CDialogFx::OnKeyDown(uint32_t key, bool* handled)
{
    if (IsOkKey(key))
        m_ok->Press();
    else if (key == kKeyEscape)
        m_cancel->Press();
    else
        return;
    *handled = true;
}

void CDialogFx::OnKeyUp(uint32_t key, bool* handled)
{
    if (IsOkKey(key))
        m_ok->Release();
    else if (key == kKeyEscape)
        m_cancel->Release();
    else
        return;
    *handled = true;
}

void CDialogFx::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t gap = int32_t(kGap);
    m_caption->SetHeight(GetHeight());
    PlaceOkAndCancel(*m_ok, *m_cancel, *this);

    const int32_t listX = RightOf(*m_caption);
    const int32_t listWidth = std::max(0, (width - 2 * gap - int32_t(m_caption->GetWidth())) / 2);
    m_shapes->SetRect(CRect(listX, gap, listWidth, std::max(0, m_ok->GetY() - gap - gap)));
    // Every shape in whole rows: lower rows where the usual ones would cut the last in half.
    const uint32_t rows = std::max(1u, FxShapeCountOfGroup(m_group));
    const uint32_t usual = CApp::IsHighResolution() ? 2 * kRowHeight : kRowHeight;
    m_shapes->SetRowHeight(std::max(1u, std::min(usual, m_shapes->GetHeight() / rows)));

    m_clear->SetSize(m_ok->GetHeight() * 2, m_ok->GetHeight());
    m_clear->SetPosition(CPoint(listX, m_ok->GetY()));

    const int32_t fadersX = RightOf(*m_shapes);
    ArrangeEvenly({m_size, m_speed, m_phase},
                  CRect(fadersX, m_shapes->GetY(), std::max(0, width - gap - fadersX), int32_t(m_shapes->GetHeight())),
                  1, true);
}
