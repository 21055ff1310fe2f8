#pragma once

#include "widgets/area.h"

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
class CAreaTarget : public CArea2
{
public:
    // 100 x 100 with its own surface.
    CAreaTarget(CArea2* parent, CFixtureManager* fixtureManager);

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

    // Tints both frames as well.
    void SetColour(CRgbaColour colour) override;
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
    CRect m_manufacturerRow;
    CRect m_modelRow;
    std::string m_name = "-";
    std::string m_manufacturer = "-";
    std::string m_model = "-";
    bool m_selected = false;
};
