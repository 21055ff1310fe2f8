#pragma once

#include "foundation/followed_subject.h"
#include "widgets/area.h"

#include <cstdint>
#include <string>

class CFixture;
class CFixtureManager;

// A tile of one fixture slot on a page of 64: while visible it follows the fixture of its position
// in the parent page's list and redraws on every change of it; hidden, it lets the fixture go. It
// draws the button frame, lit while selected, and keeps the fixture's name (its label, or its slot
// number counted from 1), manufacturer and model for its rows. Presses are the page's to handle.
class CAreaFixtureTile : public CArea2
{
public:
    void SetSelected(bool selected);
    bool IsSelected() const { return m_selected; }
    CFixture* GetFixture() const { return m_fixture; }
    // Follows the fixture (null for none) and shows it.
    void SetFixture(CFixture* fixture);
    // The position in the parent page's tile list; -1 when absent or the parent keeps no list.
    virtual int32_t GetIndexInParent() const = 0;

    const std::string& GetNameText() const { return m_name; }
    const std::string& GetManufacturerText() const { return m_manufacturer; }
    const std::string& GetModelText() const { return m_model; }

    void HandleNotify(CSubject* subject, uint32_t code) override;

protected:
    // 100 x 100 with its own surface; each row reads the blank text while the tile shows no fixture.
    CAreaFixtureTile(CArea2* parent, CFixtureManager* fixtureManager, const std::string& name,
                     const std::string& blank);

    CFixtureManager* GetFixtureManager() const { return m_fixtureManager; }
    // Reads the shown texts again from the fixture (null: none); tiles with more rows add theirs.
    virtual void UpdateTexts();
    void OnVisibleChanged() override;
    // Builds both frames to the tile's size and takes the font size of the screen class: the given
    // large size, or the small one on the desktop screen.
    void LayoutFrames(uint32_t largeFontSize);
    void TintFrames(CRgbaColour colour);
    void PaintFrame(CTextureAdapter& canvas) const;

private:
    CFixtureManager* m_fixtureManager;
    CFollowedSubject<CFixture> m_fixture{this};
    CZevralImage m_selectedFrame;
    CZevralImage m_normalFrame;
    const std::string m_blank;
    std::string m_name;
    std::string m_manufacturer;
    std::string m_model;
    bool m_selected = false;
};
