#pragma once

#include "widgets/area.h"

#include <string>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaLabel;

// Asks the operator to confirm an action ("Overwrite file?") under the title "Are you sure?". Ok
// (or Return) ends it with result 1, Cancel (or Escape) with 2; the caller acts only on 1. The
// dialog and all its controls are tinted yellow.
class CDialogConfirmation : public CArea2
{
public:
    explicit CDialogConfirmation(CArea2* parent);
    ~CDialogConfirmation() override;

    // The question.
    void SetText(const std::string& text, bool translate);

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;

private:
    void OnButtonClick(CAreaButton* button);

    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaCaptionBar* m_caption;
    CAreaLabel* m_question;
    // A line under the question that nothing fills yet.
    CAreaLabel* m_second;
};
