#include "screens/dialogs/dialog_personality.h"

#include "model/personality_entries.h"
#include "model/personality_manager.h"
#include "screens/dialogs/dialog_look.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_grid.h"
#include "widgets/area_index.h"
#include "widgets/area_label.h"
#include "widgets/connect.h"

#include <algorithm>
#include <cstdio>

using namespace dialog_look;

namespace
{
// How much of the page the dialog leaves free around it.
constexpr uint32_t kMarginWidth = 180;
constexpr uint32_t kMarginHeight = 250;
// The size of the page the dialog is made for, when it has none to measure.
constexpr uint32_t kPageWidth = 768;
constexpr uint32_t kPageHeight = 1024;
const CRgbaColour kTitleColour(127, 127, 127, 255);

uint32_t LessMargin(uint32_t size, uint32_t margin)
{
    return size > margin ? size - margin : 0;
}

// A library label against a chosen one: the reference keeps its labels cleaned of double quotes,
// so the library's label is compared in that form.
bool IsChosen(const std::string& label, const std::string& chosen)
{
    return CleanPersonalityLabel(label) == chosen;
}
}  // namespace

CDialogPersonality::CDialogPersonality(CArea2* parent, CPersonalityManager* library)
    : CArea2(parent, false,
             LessMargin(parent ? parent->GetWidth() : kPageWidth * Scale(), kMarginWidth * Scale()),
             LessMargin(parent ? parent->GetHeight() : kPageHeight * Scale(), kMarginHeight * Scale())),
      m_library(library)
{
    SetName("CDialogPersonality");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Personality Library", true, true);

    m_letters = MakeChild<CAreaIndex>();
    Connect<&CDialogPersonality::OnLetter>(m_letters, &CAreaIndex::SetChangeCallback, this);

    for (CAreaGrid** list : {&m_manufacturers, &m_models, &m_modes})
    {
        *list = MakeChild<CAreaGrid>(false, false);
        (*list)->SetBackgroundColour(Background());
        Connect<&CDialogPersonality::ProvideCell>(*list, &CAreaGrid::SetCellProvider, this);
        Connect<&CDialogPersonality::OnCellPress>(*list, &CAreaGrid::SetPressCallback, this);
    }

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    Connect<&CDialogPersonality::OnButtonClick>(m_ok, &CAreaButton::SetClickCallback, this);
    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);
    Connect<&CDialogPersonality::OnButtonClick>(m_cancel, &CAreaButton::SetClickCallback, this);

    for (const auto& [title, text] : {std::pair(&m_manufacturerTitle, "Manufacturer"), std::pair(&m_modelTitle, "Model"),
                                      std::pair(&m_modeTitle, "Mode")})
    {
        *title = MakeChild<CAreaLabel>(false);
        (*title)->SetText(text, true);
        (*title)->SetHorizontalAlignment(kAlignCentre);
        (*title)->SetTextColour(kTitleColour);
    }

    RefreshLists();
    // The lists must know how many rows they show before the host centres the choice in them.
    Layout();
}

CDialogPersonality::~CDialogPersonality() = default;

void CDialogPersonality::SetPersonality(const CPersonalityRef& personality)
{
    m_chosen = personality;
    RefreshLists();
    CManufacturer* manufacturer = ChosenManufacturer();
    if (!manufacturer)
        return;
    m_manufacturers->ScrollToCell(manufacturer->GetIndex(), true);
    if (CModel* model = ChosenModel())
        m_models->ScrollToCell(model->GetIndex(), true);
}

CManufacturer* CDialogPersonality::ChosenManufacturer() const
{
    return m_library ? m_library->FindManufacturer(m_chosen.GetManufacturer()) : nullptr;
}

CModel* CDialogPersonality::ChosenModel() const
{
    CManufacturer* manufacturer = ChosenManufacturer();
    return manufacturer ? manufacturer->FindModel(m_chosen.GetModel()) : nullptr;
}

void CDialogPersonality::RefreshLists()
{
    CManufacturer* manufacturer = ChosenManufacturer();
    CModel* model = ChosenModel();
    m_manufacturers->SetRowCount(m_library ? m_library->GetManufacturerCount() : 0);
    m_models->SetRowCount(manufacturer ? manufacturer->GetModelCount() : 0);
    m_modes->SetRowCount(model ? model->GetModeCount() : 0);
    m_ok->SetEnabled(!m_chosen.GetProfile().empty());
}

void CDialogPersonality::ProvideCell(CAreaGrid* grid, uint32_t, uint32_t row, std::string& text, CRgbaColour&,
                                     bool& highlighted, std::vector<CZevralImage>&) const
{
    const CPersonalityRef& chosen = m_chosen;
    if (grid == m_manufacturers)
    {
        if (const CManufacturer* manufacturer = m_library ? m_library->GetManufacturer(row) : nullptr)
        {
            text = manufacturer->GetLabel();
            highlighted = IsChosen(text, chosen.GetManufacturer());
        }
    }
    else if (grid == m_models)
    {
        const CManufacturer* manufacturer = ChosenManufacturer();
        if (const CModel* model = manufacturer ? manufacturer->GetModel(row) : nullptr)
        {
            text = model->GetLabel();
            highlighted = IsChosen(text, chosen.GetModel());
        }
    }
    else if (grid == m_modes)
    {
        const CModel* model = ChosenModel();
        if (const CMode* mode = model ? model->GetMode(row) : nullptr)
        {
            text = mode->GetLabel();
            highlighted = !chosen.GetMode().empty() && IsChosen(text, chosen.GetMode());
        }
    }
}

void CDialogPersonality::OnCellPress(CAreaGrid* grid, int32_t, int32_t row)
{
    if (grid == m_manufacturers)
        PressManufacturer(row);
    else if (grid == m_models)
        PressModel(row);
    else if (grid == m_modes)
        PressMode(row);
}

void CDialogPersonality::PressManufacturer(int32_t row)
{
    const CManufacturer* manufacturer =
        m_library && row >= 0 ? m_library->GetManufacturer(uint32_t(row)) : nullptr;
    const std::string name = manufacturer ? manufacturer->GetLabel() : std::string();
    if (IsChosen(name, m_chosen.GetManufacturer()))
        return;
    m_chosen = CPersonalityRef(name, "", "", "");
    RefreshLists();
    m_manufacturers->SetDirty();
    m_models->ScrollToCell(0, true);
    m_models->SetDirty();
}

void CDialogPersonality::PressModel(int32_t row)
{
    const CManufacturer* manufacturer = ChosenManufacturer();
    const CModel* model = manufacturer && row >= 0 ? manufacturer->GetModel(uint32_t(row)) : nullptr;
    const std::string name = model ? model->GetLabel() : std::string();
    if (IsChosen(name, m_chosen.GetModel()))
        return;
    m_chosen.SetModel(name);
    // A model is a whole choice with its own profile until one of its modes is chosen.
    m_chosen.SetProfile(model ? model->GetProfile() : std::string());
    m_chosen.SetMode("");
    RefreshLists();
    m_models->SetDirty();
    m_modes->SetDirty();
}

void CDialogPersonality::PressMode(int32_t row)
{
    const CModel* model = ChosenModel();
    const CMode* mode = model && row >= 0 ? model->GetMode(uint32_t(row)) : nullptr;
    const std::string name = mode ? mode->GetLabel() : std::string();
    if (IsChosen(name, m_chosen.GetMode()))
        return;
    m_chosen.SetMode(name);
    m_chosen.SetProfile(mode ? mode->GetProfile() : std::string());
    RefreshLists();
    m_modes->SetDirty();
}

void CDialogPersonality::JumpToLetter(char letter)
{
    const CManufacturer* manufacturer = m_library ? m_library->FindByInitial(letter) : nullptr;
    if (!manufacturer)
        return;
    std::printf("%s\n", manufacturer->GetLabel().c_str());
    if (IsChosen(manufacturer->GetLabel(), m_chosen.GetManufacturer()))
        return;
    m_chosen = CPersonalityRef(manufacturer->GetLabel(), "", "", "");
    RefreshLists();
    m_manufacturers->SetDirty();
    m_manufacturers->ScrollToCell(manufacturer->GetIndex(), false);
    // As after a press on the manufacturer: its models from the first.
    m_models->ScrollToCell(0, true);
    m_models->SetDirty();
}

void CDialogPersonality::OnLetter(CAreaIndex* index)
{
    JumpToLetter(index->GetSelected());
}

void CDialogPersonality::OnButtonClick(CAreaButton* button)
{
    if (button == m_ok)
        SetResult(kResultOk);
    else if (button == m_cancel)
        SetResult(kResultCancel);
}

void CDialogPersonality::OnKeyDown(uint32_t key, bool* handled)
{
    *handled = true;
    if (PressForKey(key, *m_ok, *m_cancel))
        return;
    if (key >= 'a' && key <= 'z')
        JumpToLetter(char(key));
}

void CDialogPersonality::OnKeyUp(uint32_t key, bool* handled)
{
    *handled = true;
    ReleaseForKey(key, *m_ok, *m_cancel);
}

void CDialogPersonality::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t gap = int32_t(kGap);
    m_caption->SetHeight(GetHeight());
    m_letters->SetRect(CRect(m_caption->GetX() + int32_t(m_caption->GetWidth()), 0, int32_t(m_letters->GetWidth()),
                             int32_t(m_caption->GetHeight())));

    PlaceOkAndCancel(*m_ok, *m_cancel, *this);

    // Titles: a third and two fifths of the room for the first two, the rest for the modes.
    const int32_t x = RightOf(*m_letters);
    const int32_t room = std::max(0, width - 3 * gap - x);
    m_manufacturerTitle->SetRect(CRect(x, gap, int32_t(0.33 * room), int32_t(m_manufacturerTitle->GetHeight())));
    m_modelTitle->SetRect(CRect(RightOf(*m_manufacturerTitle), gap, int32_t(0.4 * room),
                                int32_t(m_modelTitle->GetHeight())));
    const int32_t modeX = RightOf(*m_modelTitle);
    m_modeTitle->SetRect(CRect(modeX, gap, std::max(0, width - gap - modeX), int32_t(m_modeTitle->GetHeight())));

    // Lists: the first two a third of the room each, the modes to the right edge.
    const int32_t top = m_manufacturerTitle->GetBottom() + gap;
    const int32_t listHeight = std::max(0, m_ok->GetY() - gap - top);
    m_manufacturers->SetRect(CRect(x, top, room / 3, listHeight));
    m_models->SetRect(CRect(RightOf(*m_manufacturers), top, room / 3, listHeight));
    const int32_t modesX = RightOf(*m_models);
    m_modes->SetRect(CRect(modesX, top, std::max(0, width - gap - modesX), listHeight));
}
