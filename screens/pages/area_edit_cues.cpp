// The cue side of the edit page: the run of selected cues, the cue and programmer buttons, the
// dialogs they open, and how the page follows the edited playback's cue list.
#include "screens/pages/area_edit.h"

#include "foundation/notify_codes.h"
#include "model/cue.h"
#include "model/playback.h"
#include "model/programmer.h"
#include "screens/dialogs/dialog_duration.h"
#include "screens/dialogs/dialog_string.h"
#include "widgets/area_button.h"
#include "widgets/area_cue_grid.h"

bool CAreaEdit::HasCueSelection() const
{
    return m_selectionFirst >= 0 && m_selectionCount >= 1;
}

uint32_t CAreaEdit::GetCueCount() const
{
    return m_playback ? m_playback->GetCueCount() : 0;
}

CCue* CAreaEdit::GetFirstCue() const
{
    if (!m_playback || m_selectionFirst < 0)
        return nullptr;
    return m_playback->GetCue(uint32_t(m_selectionFirst));
}

void CAreaEdit::SetSelection(int32_t first, uint32_t count)
{
    if (first == m_selectionFirst && count == m_selectionCount)
        return;
    m_selectionFirst = first;
    m_selectionCount = count;
    UpdateControls();
}

void CAreaEdit::FitSelection()
{
    const uint32_t cues = GetCueCount();
    if (m_selectionFirst >= 0 && uint32_t(m_selectionFirst) >= cues)
        SetSelection(-1, 0);
    if (m_selectionFirst >= 0 && uint64_t(m_selectionFirst) + m_selectionCount > cues)
        SetSelection(m_selectionFirst, cues - uint32_t(m_selectionFirst));
}

void CAreaEdit::UpdateControls()
{
    const uint32_t cues = GetCueCount();
    m_cueAdd->SetOn(m_playback && cues < CPlayback::kMaxCues);
    m_cueRemove->SetOn(m_playback && cues >= 1);
    const bool selected = HasCueSelection();
    for (CAreaButton* button : {m_cueRename, m_cueCondition, m_cueDelay, m_cueFade})
        button->SetOn(selected);
    const bool single = m_selectionFirst >= 0 && m_selectionCount == 1;
    m_programmerLoad->SetOn(single);
    m_programmerRecord->SetOn(single);
    m_programmerClear->SetOn(m_programmer && m_programmer->GetClear());
    m_cueGrid->SetSelection(m_selectionFirst, int32_t(m_selectionCount));
    ApplyPickerMode();
}

void CAreaEdit::OnCuePress(CAreaCueGrid*, int32_t cue)
{
    // A press right after a dialog, an add or a condition change starts a new run at the cue.
    if (m_afterDialog)
    {
        m_afterDialog = false;
        SetSelection(cue, 1);
        return;
    }
    if (cue < 0)
    {
        SetSelection(-1, 0);
        return;
    }
    const int64_t first = m_selectionFirst;
    const int64_t count = m_selectionCount;
    const int64_t end = first + count;
    const int64_t c = cue;
    if (first < 0 || count == 0)
        SetSelection(cue, 1);
    else if (c < first - 1 || c > end)
        SetSelection(cue, 1);
    else if (c == first - 1)
        SetSelection(cue, uint32_t(count + 1));
    else if (c == end)
        SetSelection(int32_t(first), uint32_t(count + 1));
    else if (c == end - 1)
        SetSelection(int32_t(first), uint32_t(count - 1));
    else if (c == first)
        SetSelection(int32_t(first + 1), uint32_t(count - 1));
    else
        SetSelection(int32_t(first), uint32_t(c - first + 1));
}

void CAreaEdit::OnHold(CArea2* source)
{
    if (!m_playback)
        return;
    if (source == m_cueGrid)
        SetSelection(0, m_playback->GetCueCount());
    else if (source == m_cueAdd)
        m_playback->AppendCue(CPlayback::kAtEnd);
    else if (source == m_cueRemove)
        m_playback->RemoveAllCues();
}

template <class Dialog, class Apply>
void CAreaEdit::ShowCueDialog(std::unique_ptr<Dialog> dialog, Apply apply)
{
    ShowDialog(std::move(dialog), kPlaceCentred, [this, apply](Dialog& shown, uint32_t result) {
        if (result == kResultOk && m_playback && HasCueSelection())
            apply(shown, uint32_t(m_selectionFirst), m_selectionCount);
        m_afterDialog = true;
    });
}

bool CAreaEdit::OnCueCommand(CArea2* source)
{
    const uint32_t first = uint32_t(m_selectionFirst);
    const bool selected = HasCueSelection();
    CCue* cue = GetFirstCue();
    if (source == m_cueAdd)
    {
        if (m_playback)
        {
            m_playback->AddCue(selected ? first + m_selectionCount : CPlayback::kAtEnd);
            m_afterDialog = true;
        }
    }
    // The commands on the selected cues wait for at least one selected cue: a run of none would
    // reach the controller as a range that names no cue.
    else if (source == m_cueRemove)
    {
        if (m_playback && selected)
        {
            m_playback->RemoveCues(first, m_selectionCount);
            SetSelection(-1, 0);
        }
    }
    else if (source == m_cueCondition)
    {
        if (m_playback && selected)
        {
            const bool halted = !cue || cue->GetCondition() == CCue::kConditionHalt;
            m_playback->SetCueCondition(first, m_selectionCount,
                                        halted ? CCue::kConditionFollow : CCue::kConditionHalt);
            m_afterDialog = true;
        }
    }
    else if (source == m_cueRename)
    {
        if (cue && selected)
        {
            auto dialog = std::make_unique<CDialogString>(this);
            dialog->SetCaption("Rename Cue");
            dialog->SetText(cue->GetLabel());
            ShowCueDialog(std::move(dialog), [this](CDialogString& names, uint32_t first, uint32_t count) {
                m_playback->SetCueLabel(first, count, names.GetText());
            });
        }
    }
    else if (source == m_cueDelay || source == m_cueFade)
    {
        if (cue && selected)
        {
            const bool delay = source == m_cueDelay;
            auto dialog = std::make_unique<CDialogDuration>(this);
            dialog->SetCaption(delay ? "Enter Delay" : "Enter Fade");
            dialog->SetDuration(delay ? cue->GetDelayTime() : cue->GetFadeTime());
            ShowCueDialog(std::move(dialog), [this, delay](CDialogDuration& time, uint32_t first, uint32_t count) {
                if (delay)
                    m_playback->SetCueDelayTime(first, count, time.GetDuration());
                else
                    m_playback->SetCueFadeTime(first, count, time.GetDuration());
            });
        }
    }
    else if (source == m_programmerLoad)
    {
        if (m_programmerLoad->IsOn() && m_programmer)
        {
            m_programmer->Load(first);
            if (cue)
                m_programmer->SetSelection(cue->GetFixtureMask());
        }
    }
    else if (source == m_programmerRecord)
    {
        if (m_programmerRecord->IsOn() && m_programmer)
            m_programmer->Record(first);
    }
    else
    {
        return false;
    }
    return true;
}

void CAreaEdit::OnPlaybackChanged(uint32_t code)
{
    switch (code)
    {
    case NOTIFY_UNKNOWN:
        // Cues may have gone while the page was away.
        UpdateControls();
        FitSelection();
        ShowFixtureUse();
        ShowGroupUse();
        break;
    case PLAYBACK_NOTIFY_COUNT:
        UpdateControls();
        FitSelection();
        break;
    case PLAYBACK_NOTIFY_FIXTURE_MASK: ShowFixtureUse(); break;
    case PLAYBACK_NOTIFY_ATTRIBUTE_MASK: ShowGroupUse(); break;
    default: break;
    }
}
