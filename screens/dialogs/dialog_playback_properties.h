#pragma once

#include "foundation/followed_subject.h"
#include "widgets/area.h"

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaCheckbox;
class CAreaLabel;
class CAreaRadio;
class CPlayback;
class CPlaybackManager;

// The dialog in which the operator sets the background and exclusive flags, the go mode and the
// repeat mode of every playback chosen on the playback page. A change goes at once to the whole
// selection; the controls show the first selected playback and follow it as the controller
// confirms its values. Close (or Escape) ends the dialog with result 1.
//
// Keys: b and e toggle the boxes for the whole selection; g and r step the go and repeat modes of
// the shown playback only.
class CDialogPlaybackProperties : public CArea2
{
public:
    CDialogPlaybackProperties(CArea2* parent, CPlaybackManager* manager);
    ~CDialogPlaybackProperties() override;

    // The playback whose values the controls show; null while none is selected or hidden.
    CPlayback* GetShownPlayback() const { return m_shown; }

    void HandleNotify(CSubject* subject, uint32_t code) override;

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;
    // Observes the model while visible only.
    void OnVisibleChanged() override;

private:
    void OnChange(const CArea2* sender);
    void ShowPlayback(CPlayback* playback);
    void ShowValues();

    CAreaRadio* m_goMode;
    CAreaRadio* m_repeat;
    CAreaButtonSoft* m_close;
    CAreaCheckbox* m_background;
    CAreaCheckbox* m_exclusive;
    CAreaCaptionBar* m_caption;
    CAreaLabel* m_goModeLabel;
    CAreaLabel* m_repeatLabel;
    CPlaybackManager* m_manager;
    CFollowedSubject<CPlayback> m_shown{this};
};
