#pragma once

#include "model/personality_ref.h"
#include "widgets/area.h"

#include <cstdint>
#include <string>
#include <vector>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaGrid;
class CAreaIndex;
class CAreaLabel;
class CManufacturer;
class CModel;
class CPersonalityManager;

// The personality library, for the fixtures selected on the patch page: manufacturers, their
// models and the models' modes side by side, and a strip of letters (or the letter keys) that
// jumps to the manufacturers of an initial. A new manufacturer empties model and mode; a model is
// a complete choice with its own profile, and a mode replaces that profile with its own. Ok takes
// only a choice with a profile. The dialog works on its own copy of the reference; its host reads
// it when the dialog ends with Ok (1); Cancel ends it with 2.
class CDialogPersonality : public CArea2
{
public:
    CDialogPersonality(CArea2* parent, CPersonalityManager* library);
    ~CDialogPersonality() override;

    // Shows the reference chosen, with its manufacturer and model brought to the lists' middles.
    void SetPersonality(const CPersonalityRef& personality);
    CPersonalityRef GetPersonality() const { return m_chosen; }

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;

private:
    void OnButtonClick(CAreaButton* button);
    void OnLetter(CAreaIndex* index);
    void OnCellPress(CAreaGrid* grid, int32_t column, int32_t row);
    void ProvideCell(CAreaGrid* grid, uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour,
                     bool& highlighted, std::vector<CZevralImage>& icons) const;

    // The chosen manufacturer and model as the library has them; null when it has not.
    CManufacturer* ChosenManufacturer() const;
    CModel* ChosenModel() const;
    // Row counts of the lists from the choice, and whether Ok may be pressed.
    void RefreshLists();
    void PressManufacturer(int32_t row);
    void PressModel(int32_t row);
    void PressMode(int32_t row);
    void JumpToLetter(char letter);

    CAreaGrid* m_manufacturers;
    CAreaGrid* m_models;
    CAreaGrid* m_modes;
    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaCaptionBar* m_caption;
    CAreaLabel* m_manufacturerTitle;
    CAreaLabel* m_modelTitle;
    CAreaLabel* m_modeTitle;
    CAreaIndex* m_letters;
    CPersonalityManager* m_library;
    CPersonalityRef m_chosen;
};
