#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <string>

class CAreaLabel;

// The single-line text entry of the dialogs: a caption on the left and a framed box on the right
// with the text, a blinking cursor and a selection. It is edited one SDL key code at a time, and
// takes the platform's text input too, which gives what the keyboard layout really types
// (accented letters, composed accents): a text input that follows a typed key replaces that
// key's character, so no keystroke is entered twice.
//
// There is one cursor, a byte index into the UTF-8 text that always stands between whole
// characters; the text from the cursor to its end is the selection, drawn inverted: a typed
// character replaces it, Backspace and Delete delete it. A cursor at or beyond the end selects
// nothing. A double click on the text selects all of it, Shift with Home, End, Left and Right
// moves the cursor by characters, and Backspace held for a second empties the field.
class CAreaEditField : public CArea2
{
public:
    // Called as function(context, field, button, handled) on every press.
    using PressCallback = void (*)(void* context, CAreaEditField* field, uint32_t button, bool* handled);
    // Called as function(context, field) after every key-down while editable and every change of
    // the text.
    using ChangeCallback = void (*)(void* context, CAreaEditField* field);

    // How long Backspace must be held to empty the field, and the cursor's blink period.
    static constexpr float kClearTime = 1.0f;
    static constexpr float kBlinkTime = 0.5f;

    explicit CAreaEditField(CArea2* parent);
    ~CAreaEditField() override;

    // With translate the text goes through the phrase lookup first. The cursor stays.
    void SetText(const std::string& text, bool translate = false);
    std::string GetText() const { return m_text; }
    void SetLabel(const std::string& text, bool translate);
    std::string GetLabel() const;
    // A fixed caption width in place of the box taking three quarters of the field.
    void SetLabelWidth(int32_t width);
    // Of the text in the box: 0 from the left, 2 centred, other values towards the right.
    void SetAlignment(uint32_t alignment);
    // One "*" per character in place of the text.
    void SetMasked(bool masked);
    void SetFocus(bool focus);
    bool HasFocus() const { return m_focus; }
    // Keys change the text only while editable.
    void SetEditable(bool editable);
    bool IsEditable() const { return m_editable; }
    void SetPressCallback(void* context, PressCallback function) { m_press.Set(context, function); }
    void SetChangeCallback(void* context, ChangeCallback function) { m_change.Set(context, function); }
    uint32_t GetCursor() const { return m_cursor; }
    // Ignored unless the position lies within the text; a position inside a character goes to
    // its start.
    void SetCursor(uint32_t position);
    void MoveCursorToEnd();
    CRect GetBoxRect() const { return m_box; }

    // Tints the box's frame too.
    void SetColour(CRgbaColour colour) override;

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnDoubleClick(const CPoint& point, uint32_t button, bool* handled) override;
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void OnTextInput(const std::string& text, bool* handled) override;
    // A held key types again and again.
    void OnKeyRepeat(uint32_t key, bool* handled) override { OnKeyDown(key, handled); }
    void OnTick(float seconds) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    void HandleCursorKey(uint32_t key, bool* handled);

    std::string m_text;
    int32_t m_labelWidth = 0;
    bool m_masked = false;
    bool m_automaticWidth = true;
    bool m_cursorVisible = false;
    bool m_focus = false;
    uint32_t m_alignment = kAlignStart;
    CZevralImage m_frame;
    int32_t m_textMargin = 10;
    CRect m_box;
    CAreaLabel* m_caption;
    CCallback<PressCallback> m_press;
    bool m_editable = false;
    CCallback<ChangeCallback> m_change;
    float m_blinkTimer = 0.0f;
    bool m_backspaceHeld = false;
    float m_backspaceTimer = 0.0f;
    uint32_t m_cursor = 0;
    bool m_shiftHeld = false;
    // The last key down typed a character; the text and cursor before it.
    bool m_keyTyped = false;
    std::string m_textBeforeKey;
    uint32_t m_cursorBeforeKey = 0;
};
