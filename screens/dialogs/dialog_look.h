#pragma once

#include "foundation/rgba_colour.h"

#include <cstdint>

class CArea2;
class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaCheckbox;
class CAreaEditField;
class CAreaLabel;

// What the dialogs share: their colours, the gap between their controls, the keys that work their
// buttons, and the few placement steps every dialog layout is built from.
namespace dialog_look
{
constexpr uint32_t kGap = 4;
constexpr uint32_t kKeyBackspace = 8;
constexpr uint32_t kKeyTab = 9;
constexpr uint32_t kKeyReturn = 13;
constexpr uint32_t kKeyEscape = 27;

// The keys that step a number down or up: the cursor keys and the keypad's minus and plus (which
// the event pump hands on as the characters on them).
bool IsStepDownKey(uint32_t key);
bool IsStepUpKey(uint32_t key);

// Return works Ok and Escape works Cancel, held down as long as the key is: whether the key was
// one of the two. The universe dialogs' form also holds the down and up arrows on the step keys
// and the on/off box on space and "e".
bool PressForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel);
bool ReleaseForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel);
bool PressForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel, CAreaButton& down, CAreaButton& up,
                 CAreaCheckbox& box);
bool ReleaseForKey(uint32_t key, CAreaButton& ok, CAreaButton& cancel, CAreaButton& down, CAreaButton& up,
                   CAreaCheckbox& box);

CRgbaColour Background();
CRgbaColour Yellow();
CRgbaColour White();
CRgbaColour Red();

// 2 on a large screen, 1 otherwise.
uint32_t Scale();

// The x just right of the area, one gap away.
int32_t RightOf(const CArea2& area);
// Into the dialog's bottom right corner, one gap from both edges.
void PlaceInCorner(CArea2& area, const CArea2& dialog);
// Left of the neighbour, one gap away, on its row.
void PlaceLeftOf(CArea2& area, const CArea2& neighbour);
// Cancel into the bottom right corner, and Ok as large left of it.
void PlaceOkAndCancel(CArea2& ok, CArea2& cancel, const CArea2& dialog);

// The one-line entry dialogs (a name, a duration): the caption along the left, Ok and Cancel a
// fifth of the free height tall in the bottom right, the entry field with its square clear button
// centred above them, and a message line beside the buttons.
void LayoutTextEntry(CArea2& dialog, CAreaCaptionBar& caption, CAreaButtonSoft& ok, CAreaButtonSoft& cancel,
                     CAreaEditField& entry, CAreaButtonSoft& clear, CAreaLabel& message);
}  // namespace dialog_look
