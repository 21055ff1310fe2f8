#include "screens/dialogs/dialog_look.h"

#include "shell/app.h"
#include "widgets/area.h"
#include "widgets/area_button.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
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

bool PressForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel)
{
    if (key == kKeyReturn)
        ok.Press();
    else if (key == kKeyEscape)
        cancel.Press();
    else
        return false;
    return true;
}

bool ReleaseForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel)
{
    if (key == kKeyReturn)
        ok.Release();
    else if (key == kKeyEscape)
        cancel.Release();
    else
        return false;
    return true;
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

void LayoutTextEntry(CArea2& dialog, CAreaCaptionBar& caption, CAreaButtonSoft& ok, CAreaButtonSoft& cancel,
                     CAreaEditField& entry, CAreaButtonSoft& clear, CAreaLabel& message)
{
    const int32_t height = int32_t(dialog.GetHeight());
    const int32_t gap = int32_t(kGap);
    caption.SetHeight(dialog.GetHeight());
    cancel.SetHeight(uint32_t(std::max(0, (height - 16) / 5)));
    PlaceInCorner(cancel, dialog);
    ok.SetSize(cancel.GetWidth(), cancel.GetHeight());
    PlaceLeftOf(ok, cancel);
    entry.SetPosition(CPoint(RightOf(caption), cancel.GetY() / 2 - int32_t(entry.GetHeight()) / 2));
    clear.SetSize(entry.GetHeight(), entry.GetHeight());
    clear.SetPosition(CPoint(int32_t(dialog.GetWidth()) - gap - int32_t(clear.GetWidth()), entry.GetY()));
    entry.SetWidth(uint32_t(std::max(0, clear.GetX() - gap - entry.GetX())));
    message.SetPosition(CPoint(RightOf(caption),
                               cancel.GetY() + int32_t(cancel.GetHeight()) / 2 - int32_t(message.GetHeight()) / 2));
    message.SetWidth(uint32_t(std::max(0, ok.GetX() - gap - message.GetX())));
}
}  // namespace dialog_look
