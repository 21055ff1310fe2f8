#pragma once

#include "shell/text_input_request.h"
#include "widgets/area.h"

#include <string>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaEditField;
class CAreaLabel;

// The dialog in which the operator types a name: of a show file, a unit, a fixture, a playback or
// a cue. The text is checked as it is typed: a text holding a rejected character, or longer than
// a label may be, shows a red message, and Ok refuses it. Return works Ok, Escape Cancel.
class CDialogString : public CArea2
{
public:
    // The longest text accepted, in bytes.
    static constexpr size_t kMaxLength = 64;
    // The characters a file name cannot hold on one platform or another.
    static const char* const kDefaultRejected;

    explicit CDialogString(CArea2* parent);

    std::string GetText() const;
    // As it stands, untranslated.
    void SetText(const std::string& text);
    // Every byte of the text is refused in the entry; an empty text refuses nothing.
    void SetRejectedCharacters(const std::string& characters);
    // Translated and upper-cased.
    void SetCaption(const std::string& text);
    // The text may be taken: no message shows and Ok is enabled.
    bool IsAcceptable() const { return m_acceptable; }

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;
    // Showing the dialog shows every child; the message must show only for a refused text.
    void OnVisibleChanged() override;

private:
    void OnButtonClick(CAreaButton* button);
    void Validate();

    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaButtonSoft* m_clear;
    CAreaEditField* m_entry;
    CAreaLabel* m_message;
    CAreaCaptionBar* m_caption;
    std::string m_rejected;
    bool m_acceptable = true;
    CTextInputRequest m_textInput;
};
