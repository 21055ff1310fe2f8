#pragma once

#include "widgets/area.h"

#include <cstdint>
#include <string>

class CFixture;
class CFixtureManager;

// The page that holds patch tiles tells each tile where it stands in its list, and with that which
// of the 64 slots it shows.
class CFixtureAreaList
{
public:
    // -1 for a tile that is not in the list.
    virtual int32_t GetFixtureAreaIndex(const CArea2* area) const = 0;

protected:
    ~CFixtureAreaList() = default;
};

// The patch page's tile of one fixture slot: name, manufacturer, model, mode, the option letters
// and the DMX start address, red when the fixture's channels collide with another fixture's or run
// past channel 512. While visible it follows the fixture of its position in the parent page's list
// (a CFixtureAreaList) and redraws on every change of it. Presses are the page's to handle.
class CAreaFixture : public CArea2
{
public:
    // 100 x 100 with its own surface.
    CAreaFixture(CArea2* parent, CFixtureManager* fixtureManager);

    void SetSelected(bool selected);
    bool IsSelected() const { return m_selected; }
    CFixture* GetFixture() const { return m_fixture; }
    // Follows the fixture (null for none) and shows it.
    void SetFixture(CFixture* fixture);
    // The position in the parent page's tile list; -1 when absent or the parent keeps no list.
    int32_t GetIndexInParent() const;

    const std::string& GetNameText() const { return m_name; }
    const std::string& GetManufacturerText() const { return m_manufacturer; }
    const std::string& GetModelText() const { return m_model; }
    const std::string& GetModeText() const { return m_mode; }
    const std::string& GetOptionText() const { return m_option; }
    const std::string& GetAddressText() const { return m_address; }
    // The address's colour: red for a fixture whose channels are not its own alone.
    CRgbaColour GetAddressColour() const;

    void HandleNotify(CSubject* subject, uint32_t code) override;

protected:
    void OnVisibleChanged() override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    void UpdateTexts();

    CFixtureManager* m_fixtureManager;
    CFixture* m_fixture = nullptr;
    CZevralImage m_selectedFrame;
    CZevralImage m_normalFrame;
    CRect m_nameRow;
    CRect m_addressRect;
    CRect m_optionRow;
    CRect m_manufacturerRow;
    CRect m_modelRow;
    CRect m_modeRow;
    std::string m_name;
    std::string m_manufacturer;
    std::string m_model;
    std::string m_mode;
    std::string m_option;
    std::string m_address;
    bool m_selected = false;
};
