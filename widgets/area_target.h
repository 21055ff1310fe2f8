#pragma once

#include "widgets/area_fixture_tile.h"

#include <cstdint>
#include <string>

class CFixture;
class CFixtureManager;

// The page that holds edit-page tiles tells each tile where it stands in its list, and with that
// which of the 64 slots it shows.
class CTargetAreaList
{
public:
    // -1 for a tile that is not in the list.
    virtual int32_t GetTargetIndex(const CArea2* area) const = 0;

protected:
    ~CTargetAreaList() = default;
};

// The edit page's tile of one fixture slot: name, manufacturer and model, "-" in each row while it
// shows no fixture. While visible it follows the fixture of its position in the parent page's list
// (a CTargetAreaList) and redraws on every change of it. Presses are the page's to handle.
class CAreaTarget : public CAreaFixtureTile
{
public:
    // 100 x 100 with its own surface.
    CAreaTarget(CArea2* parent, CFixtureManager* fixtureManager);

    // The position in the parent page's tile list; -1 when absent or the parent keeps no list.
    int32_t GetIndexInParent() const override;

    // Tints both frames as well.
    void SetColour(CRgbaColour colour) override;

protected:
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    CRect m_nameRow;
    CRect m_manufacturerRow;
    CRect m_modelRow;
};
