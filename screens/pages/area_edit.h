#pragma once

#include "foundation/followed_subject.h"
#include "foundation/observer.h"
#include "screens/pages/area_image.h"
#include "widgets/area_target.h"

#include <cstdint>
#include <vector>

class CAreaAxis;
class CAreaButton;
class CAreaButtonSoft;
class CAreaColourWheel;
class CAreaCueGrid;
class CAreaFaderSoft;
class CAreaFaderSoftParameter;
class CAreaLabel;
class CAreaLed;
class CAreaMain;
class CAreaSpectrum;
class CCore;
class CCue;
class CDeviceManager;
class CDialogFx;
class CFixtureManager;
class CPlayback;
class CPlaybackManager;
class CProgrammer;
class CProgrammerChange;

// The edit page: the operator selects fixtures on the 64 tiles, builds a look in the programmer's
// 17 attribute groups (faders, the position pad, the colour pickers and the effect dialogs) and
// records it into the cues of the playback chosen on the playback page, whose cue list runs along
// the top. Controls only send: they show a value once the controller has reported it back. While
// the page is hidden it observes nothing and the programmer is blind.
//
// The cue side (selection of a run of cues, the cue and programmer buttons and their dialogs) lives
// in area_edit_cues.cpp.
class CAreaEdit : public CAreaImage, public CTargetAreaList
{
public:
    static constexpr uint32_t kTileCount = 64;

    // Colour pickers in place of the five colour faders, in the order the switch steps through.
    enum PickerMode : uint32_t
    {
        kPickerFaders = 0,
        kPickerSpectrum = 1,
        kPickerWheel = 2,
    };

    CAreaEdit(CAreaMain* root, CCore* core);
    ~CAreaEdit() override;

    int32_t GetTargetIndex(const CArea2* area) const override;

    CPlayback* GetPlayback() const { return m_playback; }
    // Observes the playback (null: none) and hands it to the cue strip.
    void SetPlayback(CPlayback* playback);
    int32_t GetSelectionFirst() const { return m_selectionFirst; }
    uint32_t GetSelectionCount() const { return m_selectionCount; }
    uint32_t GetPickerMode() const { return m_pickerMode; }

    void HandleNotify(CSubject* subject, uint32_t code) override;
    // A drag over the tiles belongs to the pointer that began it: it ends wherever that pointer
    // is let go, and another button or finger neither restarts nor ends it.
    void PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled) override;
    void PointerUp(int64_t pointerId, const CPoint& point, bool* handled) override;

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;
    void OnVisibleChanged() override;

private:
    // Programmer side (area_edit.cpp). Buttons, the pad and the pickers report to OnClick.
    void OnClick(CArea2* source);
    void OnFaderChange(CAreaFaderSoft* fader);
    void OnColourFaderChange(CAreaFaderSoft* fader);
    void OnFxChange(CDialogFx* dialog);
    void OnGroupChanged(const CProgrammerChange& change);
    void OpenFxDialog(uint32_t group);
    void ShowFixtureSelection();
    void ShowGroupUse();
    void ShowFixtureUse();
    // The controls of an attribute group, as the group-use colouring and the enabling reach them.
    std::vector<CArea2*> GroupControls(uint32_t group) const;
    CAreaFaderSoftParameter* FaderOfGroup(uint32_t group) const;
    // The slot of the fixture under the point; -1 over no tile or a tile without a fixture.
    int32_t TileAt(const CPoint& point) const;
    // The button a key works; null for a key the page does not take.
    CAreaButton* ButtonOfKey(uint32_t key) const;
    // The captions, title and headings in the current language.
    void ShowTexts();
    void ApplyPickerMode();

    // Cue side (area_edit_cues.cpp).
    bool OnCueCommand(CArea2* source);
    void OnCuePress(CAreaCueGrid* grid, int32_t cue);
    void OnHold(CArea2* source);
    void OnPlaybackChanged(uint32_t code);
    // Shows a dialog on the selected run of cues. Closed with Ok while cues are still selected, it
    // goes to apply(dialog, first cue, count); whatever its end, the next press on the strip
    // starts a new run.
    template <class Dialog, class Apply>
    void ShowCueDialog(std::unique_ptr<Dialog> dialog, Apply apply);
    void UpdateControls();
    void SetSelection(int32_t first, uint32_t count);
    // Cuts the run to the cues the playback has (now).
    void FitSelection();
    bool HasCueSelection() const;
    CCue* GetFirstCue() const;
    uint32_t GetCueCount() const;

    CFixtureManager* m_fixtureManager = nullptr;
    CPlaybackManager* m_playbackManager = nullptr;
    CDeviceManager* m_deviceManager = nullptr;
    CProgrammer* m_programmer = nullptr;
    CSubjectSet m_observedFixtures;
    CSubjectSet m_observedGroups;
    CFollowedSubject<CPlayback> m_playback{this};
    // The playback the run of selected cues belongs to; only compared, never read.
    const CPlayback* m_editedPlayback = nullptr;
    CAreaMain* m_root;

    CAreaButton* m_back;
    CAreaButton* m_cueAdd;
    CAreaButton* m_cueRemove;
    CAreaButton* m_cueRename;
    CAreaButton* m_cueCondition;
    CAreaButton* m_cueDelay;
    CAreaButton* m_cueFade;
    CAreaButton* m_programmerLoad;
    CAreaButton* m_programmerRecord;
    CAreaButton* m_programmerClear;
    std::vector<CAreaTarget*> m_tiles;
    CAreaCueGrid* m_cueGrid;

    CAreaAxis* m_pad;
    // Red, Green, Blue, Amber, White, Intensity, colour fix, Shutter, Gobo, Rotation, Prism, Focus,
    // Iris, Frost, Zoom, Custom1, Custom2.
    std::vector<CAreaFaderSoftParameter*> m_faders;
    CAreaButtonSoft* m_positionFx;
    CAreaButtonSoft* m_home;
    CAreaButtonSoft* m_colourFx;
    CAreaButtonSoft* m_intensityFx;
    CAreaButtonSoft* m_pickerSwitch;
    CAreaLed* m_lamp;
    // Title, lamp legend, hint and the headings of the cue strip, the tiles, the button columns
    // and the pad, in the order of their texts.
    std::vector<CAreaLabel*> m_texts;
    CAreaSpectrum* m_spectrum;
    CAreaColourWheel* m_wheel;

    int32_t m_selectionFirst = -1;
    uint32_t m_selectionCount = 0;
    bool m_afterDialog = false;
    // A press on a tile started a drag over the tiles that has not ended yet.
    bool m_tileDrag = false;
    int64_t m_tileDragPointer = 0;
    // The pointer of the press or release being handled, for the handlers that are not told it.
    int64_t m_eventPointer = 0;
    uint32_t m_pickerMode = kPickerFaders;
};
