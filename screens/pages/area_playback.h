#pragma once

#include "foundation/subject.h"
#include "model/playback_selection.h"
#include "screens/pages/area_image.h"
#include "widgets/area_playback_button.h"

#include <cstdint>
#include <vector>

class CAreaButton;
class CAreaFader;
class CAreaLabel;
class CAreaLed;
class CAreaMain;
class CAreaRotary;
class CCore;
class CDeviceManager;
class CDialogPlaybackProperties;
class CDialogString;
class CPlayback;
class CPlaybackManager;

// The page on which shows are run: the 64 playbacks as an 8 x 8 grid of buttons, and for the row
// of the playback manager's current page eight channel strips of speed knob, intensity fader and
// flash button. Function buttons switch to the patch and settings pages and choose what a click
// on a playback does (edit, release, rename, swap, properties); a lamp shows the link to the
// controller. Every control asks the model for a change, which goes to the controller; the page
// shows only what the model reports back. While hidden it observes nothing.
class CAreaPlayback : public CAreaImage, public CPlaybackButtonHost
{
public:
    static constexpr uint32_t kStripCount = 8;
    static constexpr const char* kBackground = "background_playback";

    // The function buttons, in the order they are made.
    enum TFunction : uint32_t
    {
        kPatch,
        kOptions,
        kEdit,
        kRelease,
        kRename,
        kSwap,
        kProperties,
        kFunctionCount,
    };

    // The page switches pages through the root; the model root may be null (a page without model).
    CAreaPlayback(CAreaMain* root, CCore* core);
    ~CAreaPlayback() override;

    int32_t GetButtonIndex(const CAreaPlaybackButton* button) const override;
    void HandleNotify(CSubject* subject, uint32_t code) override;
    // Routes the move, then extends a properties drag over the playback button under the pointer.
    void PointerMove(int64_t pointerId, const CPoint& point) override;

    // The controls, for the page's owner and its tests; null past the end.
    CAreaPlaybackButton* GetPlaybackButton(uint32_t index) const;
    CAreaButton* GetFunctionButton(uint32_t function) const;
    CAreaButton* GetFlashButton(uint32_t strip) const;
    CAreaRotary* GetSpeedKnob(uint32_t strip) const;
    CAreaFader* GetIntensityFader(uint32_t strip) const;
    CAreaLed* GetLamp() const { return m_lamp; }
    const CRect& GetGridRect() const { return m_grid; }
    // -1 while no playback is marked as the source of a swap.
    int32_t GetSwapSource() const { return m_swapSource; }
    const CSelectionPlayback& GetDragSelection() const { return m_dragSelection; }
    // The dialog open over the page, when it is of that kind.
    CDialogString* GetRenameDialog() const;
    CDialogPlaybackProperties* GetPropertiesDialog() const;

protected:
    void OnWheel(const CPoint& point, int32_t amount, bool* handled) override;
    void OnGesture(const CPoint& point, bool* handled) override;
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;
    void OnVisibleChanged() override;

private:
    void OnPlaybackClick(CAreaPlaybackButton* button);
    void OnPlaybackPress(CAreaPlaybackButton* button, uint32_t mouseButton, bool* handled);
    void OnPlaybackRelease();
    void OnFlashPress(CAreaButton* button);
    void OnFlashRelease(CAreaButton* button);
    void OnKnobChange(CAreaRotary* knob, float value);
    void OnFaderChange(CAreaFader* fader);
    void OnFunctionClick(CAreaButton* button);
    void OnReleaseHold();
    void OnOptionsPressOrRelease();

    void ClickPlayback(uint32_t index);
    void Rename(const CPlayback& playback);
    // The properties of the playbacks selected.
    void ShowProperties();
    // Everything from the playback manager: modes, the page's row, the strips.
    void ShowManager();
    // The strip of a playback of the current page follows it; a fader being dragged keeps its value.
    void ShowPlayback(CPlayback* playback);
    void ShowLinkStatus();
    // The fixed texts in the current language.
    void ShowTexts();
    void ShowDragSelection();
    void SetPage(int32_t page);
    void Flash(CAreaButton* button, bool down);
    // The playback worked by the control of a strip, on the page current now; null without one.
    CPlayback* StripPlayback(uint32_t strip) const;
    CAreaButton* KeyButton(uint32_t key) const;
    void ClearSwapSource();

    CAreaMain* m_root;
    CAreaButton* m_functions[kFunctionCount] = {};
    CAreaLed* m_lamp = nullptr;
    CAreaLabel* m_title = nullptr;
    CAreaLabel* m_lampLegend = nullptr;
    CAreaLabel* m_modeHeading = nullptr;
    std::vector<CAreaPlaybackButton*> m_playbackButtons;
    std::vector<CAreaButton*> m_flashButtons;
    std::vector<CAreaRotary*> m_speedKnobs;
    std::vector<CAreaFader*> m_intensityFaders;
    CCore* m_core;
    CPlaybackManager* m_playbackManager;
    CDeviceManager* m_deviceManager;
    // The playbacks of the current page that the page observes.
    CSubjectSet m_pageSubjects;
    CRect m_grid;
    int32_t m_swapSource = -1;
    // The playback manager's note of the playback each flash button's press flashed, kNoHold
    // while it is up: its release goes there.
    std::vector<uint32_t> m_flashHolds;
    CSelectionPlayback m_dragSelection;
    // Set while the page puts the model's values into its controls: a knob that rounds a speed
    // to its steps then sends nothing back.
    bool m_showingModel = false;
};
