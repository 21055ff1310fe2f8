#pragma once

#include "widgets/area_fixture_tile.h"

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
class CAreaFixture : public CAreaFixtureTile
{
public:
    // 100 x 100 with its own surface.
    CAreaFixture(CArea2* parent, CFixtureManager* fixtureManager);

    // The position in the parent page's tile list; -1 when absent or the parent keeps no list.
    int32_t GetIndexInParent() const override;

    const std::string& GetModeText() const { return m_mode; }
    const std::string& GetOptionText() const { return m_option; }
    const std::string& GetAddressText() const { return m_address; }
    // The address's colour: red for a fixture whose channels are not its own alone.
    CRgbaColour GetAddressColour() const;

protected:
    void UpdateTexts() override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    CRect m_nameRow;
    CRect m_addressRect;
    CRect m_optionRow;
    CRect m_manufacturerRow;
    CRect m_modelRow;
    CRect m_modeRow;
    std::string m_mode;
    std::string m_option;
    std::string m_address;
};
