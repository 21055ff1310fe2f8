#pragma once

#include "foundation/observer.h"
#include "screens/pages/area_image.h"
#include "widgets/area_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

class CAreaButton;
class CAreaLabel;
class CAreaLed;
class CCore;
class CDeviceManager;
class CFixture;
class CFixtureManager;
class CPersonalityManager;
class CSelectionFixture;

// The patch page: the 64 fixture slots as an 8 x 8 grid of tiles, selected by dragging
// rectangles over them, and the buttons that act on every selected fixture at once: choose a
// personality from the library, rename (numbering the names), set the start address (the
// fixtures one after another), clear, and the four options. Changes go to the fixtures, which send
// them to the controller; the tiles show what the controller reports back, overlapping channels in
// red. Without a connected unit the fixture buttons only say so. PATCH (or Escape) returns to the
// playback page, OPTIONS leads to the settings page.
class CAreaPatch : public CAreaImage, public CFixtureAreaList
{
public:
    static constexpr uint32_t kTileCount = 64;

    // The model parts come from the model root.
    CAreaPatch(CArea2* root, CCore* core);
    // The same with the parts given apart; the device manager tells whether a unit is connected.
    CAreaPatch(CArea2* root, CFixtureManager* fixtures, CPersonalityManager* library, CDeviceManager* devices,
               CSelectionFixture* selection);
    ~CAreaPatch() override;

    int32_t GetFixtureAreaIndex(const CArea2* area) const override;
    CAreaFixture* GetTile(uint32_t index) const { return index < m_tiles.size() ? m_tiles[index] : nullptr; }

    void HandleNotify(CSubject* subject, uint32_t code) override;

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;
    void OnVisibleChanged() override;

private:
    void Click(CAreaButton* button);
    // The captions and the texts over the background go through the phrase lookup each time the
    // page shows and whenever the language changes.
    void ShowTexts();
    CAreaLabel* AddText(uint32_t size, CRgbaColour colour, uint32_t alignment);
    void RefreshButtonStates();
    // The tile under the point, -1 for none.
    int32_t TileAt(const CPoint& point) const;
    // The selected fixtures in the selection's order.
    std::vector<CFixture*> SelectedFixtures() const;
    void ApplyNames(const std::string& text);
    void ApplyAddresses(uint32_t first);

    CFixtureManager* m_fixtureManager;
    CPersonalityManager* m_library;
    CDeviceManager* m_deviceManager;
    CSelectionFixture* m_selection;
    CSubjectSet m_pageSubjects;

    CAreaButton* m_patch;
    CAreaButton* m_options;
    CAreaButton* m_invertPan;
    CAreaButton* m_invertTilt;
    CAreaButton* m_swapPanTilt;
    CAreaButton* m_virtualDimmer;
    CAreaButton* m_personality;
    CAreaButton* m_rename;
    CAreaButton* m_address;
    CAreaButton* m_clear;
    CAreaLed* m_lamp;
    // The background leaves its texts to the page, so they follow the language.
    CAreaLabel* m_title;
    CAreaLabel* m_lampLegend;
    CAreaLabel* m_hint;
    CAreaLabel* m_optionsHeading;
    CAreaLabel* m_tileHeading;
    // The rows of the tile in the legend, and what each option letter stands for.
    std::vector<CAreaLabel*> m_tileRows;
    std::vector<CAreaLabel*> m_letterMeanings;

    std::vector<CAreaFixture*> m_tiles;
};
