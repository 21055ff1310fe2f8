#include "screens/dialogs/dialog_look.h"

#include "shell/app.h"
#include "widgets/area.h"
#include "widgets/area_button.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_edit_field.h"
#include "widgets/area_label.h"

#include <SDL_keycode.h>

#include <algorithm>

namespace dialog_look
{
bool IsStepDownKey(uint32_t key)
{
    return key == uint32_t(SDLK_DOWN) || key == uint32_t(SDLK_KP_MINUS) || key == '-';
}

bool IsStepUpKey(uint32_t key)
{
    return key == uint32_t(SDLK_UP) || key == uint32_t(SDLK_KP_PLUS) || key == '+';
}

namespace
{
// Presses (down) or releases the control the key stands for; the arrows and the box may be absent.
bool WorkKey(uint32_t key, bool down, CAreaButton& ok, CAreaButton& cancel, CAreaButton* stepDown,
             CAreaButton* stepUp, CAreaCheckbox* box)
{
    CAreaButton* button = key == kKeyReturn ? &ok : key == kKeyEscape ? &cancel : nullptr;
    if (!button && IsStepDownKey(key))
        button = stepDown;
    else if (!button && IsStepUpKey(key))
        button = stepUp;
    if (button)
    {
        down ? button->Press() : button->Release();
        return true;
    }
    if (box && (key == ' ' || key == 'e'))
    {
        down ? box->Press() : box->Release();
        return true;
    }
    return false;
}
}  // namespace

bool PressForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel)
{
    return WorkKey(key, true, ok, cancel, nullptr, nullptr, nullptr);
}

bool ReleaseForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel)
{
    return WorkKey(key, false, ok, cancel, nullptr, nullptr, nullptr);
}

bool PressForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel, CAreaButton& down, CAreaButton& up,
                 CAreaCheckbox& box)
{
    return WorkKey(key, true, ok, cancel, &down, &up, &box);
}

bool ReleaseForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel, CAreaButton& down, CAreaButton& up,
                   CAreaCheckbox& box)
{
    return WorkKey(key, false, ok, cancel, &down, &up, &box);
}

CRgbaColour Background()
{
    return CRgbaColour(48, 48, 48, 255);
}

CRgbaColour Yellow()
{
    return CRgbaColour(255, 255, 0, 255);
}

CRgbaColour White()
{
    return CRgbaColour(255, 255, 255, 255);
}

CRgbaColour Red()
{
    return CRgbaColour(255, 0, 0, 255);
}

uint32_t Scale()
{
    return CApp::IsHighResolution() ? 2 : 1;
}

int32_t RightOf(const CArea2& area)
{
    return area.GetX() + int32_t(area.GetWidth()) + int32_t(kGap);
}

void PlaceInCorner(CArea2& area, const CArea2& dialog)
{
    area.SetPosition(CPoint(int32_t(dialog.GetWidth()) - int32_t(kGap) - int32_t(area.GetWidth()),
                            int32_t(dialog.GetHeight()) - int32_t(kGap) - int32_t(area.GetHeight())));
}

void PlaceLeftOf(CArea2& area, const CArea2& neighbour)
{
    area.SetPosition(CPoint(neighbour.GetX() - int32_t(kGap) - int32_t(area.GetWidth()), neighbour.GetY()));
}

void PlaceOkAndCancel(CArea2& ok, CArea2& cancel, const CArea2& dialog)
{
    PlaceInCorner(cancel, dialog);
    ok.SetSize(cancel.GetWidth(), cancel.GetHeight());
    PlaceLeftOf(ok, cancel);
}

void LayoutTextEntry(CArea2& dialog, CAreaCaptionBar& caption, CAreaButtonSoft& ok, CAreaButtonSoft& cancel,
                     CAreaEditField& entry, CAreaButtonSoft& clear, CAreaLabel& message)
{
    const int32_t height = int32_t(dialog.GetHeight());
    const int32_t gap = int32_t(kGap);
    caption.SetHeight(dialog.GetHeight());
    cancel.SetHeight(uint32_t(std::max(0, (height - 16) / 5)));
    PlaceOkAndCancel(ok, cancel, dialog);
    entry.SetPosition(CPoint(RightOf(caption), cancel.GetY() / 2 - int32_t(entry.GetHeight()) / 2));
    clear.SetSize(entry.GetHeight(), entry.GetHeight());
    clear.SetPosition(CPoint(int32_t(dialog.GetWidth()) - gap - int32_t(clear.GetWidth()), entry.GetY()));
    entry.SetWidth(uint32_t(std::max(0, clear.GetX() - gap - entry.GetX())));
    message.SetPosition(CPoint(RightOf(caption),
                               cancel.GetY() + int32_t(cancel.GetHeight()) / 2 - int32_t(message.GetHeight()) / 2));
    message.SetWidth(uint32_t(std::max(0, ok.GetX() - gap - message.GetX())));
}
}  // namespace dialog_look
