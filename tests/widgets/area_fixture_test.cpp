// The fixture tiles of the patch and edit pages: which slot a tile shows, its texts, the address
// in red for colliding channels, and following the fixture only while visible.
#include "widgets/area_fixture.h"
#include "widgets/area_target.h"

#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/personality_ref.h"

#include "tests/model/patch_test_support.h"
#include "tests/widgets/lists_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace patchtest;
using liststest::WidgetTest;

namespace
{
// A page whose tile list decides which slot each tile shows.
class CTilePage : public CArea2, public CFixtureAreaList, public CTargetAreaList
{
public:
    explicit CTilePage(CArea2* parent) : CArea2(parent, false, 400, 400) {}
    int32_t GetFixtureAreaIndex(const CArea2* area) const override
    {
        const auto it = std::find(tiles.begin(), tiles.end(), area);
        return it == tiles.end() ? -1 : int32_t(it - tiles.begin());
    }
    int32_t GetTargetIndex(const CArea2* area) const override { return GetFixtureAreaIndex(area); }

    std::vector<const CArea2*> tiles;
};

struct Tiles : WidgetTest
{
    Tiles()
    {
        patch->Init(nullptr, &sink);
        page = Place(std::make_unique<CTilePage>(nullptr), CRect(0, 0, 400, 400));
    }
    // What the controller reports for a patched slot.
    void Patch(uint32_t slot, uint32_t address, uint32_t channels, const std::string& label = "")
    {
        const CPersonalityRef personality("Maker", "Spot", "Standard", std::string(channels * 2, '1'));
        patch->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_PERSONALITY, slot, CMessageValue(personality.ToCsv())));
        patch->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, slot, CMessageValue(address)));
        patch->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, slot, CMessageValue(label)));
    }
    // Tiles 0 .. count - 1 of the page's list, 100 wide side by side.
    template <typename T>
    std::vector<T*> AddTiles(int count)
    {
        std::vector<T*> made;
        for (int i = 0; i < count; ++i)
        {
            auto tile = std::make_unique<T>(page, patch.get());
            page->tiles.push_back(tile.get());
            tile->SetRect(CRect(i * 100, 0, 100, 100));
            made.push_back(page->AddChild(std::move(tile)));
        }
        return made;
    }

    CRecordingSink sink;
    std::unique_ptr<CFixtureManager> patch = std::make_unique<CFixtureManager>();
    CTilePage* page = nullptr;
};
}

TEST_F(Tiles, PatchTileShowsTheSlotOfItsPositionAndFollowsIt)
{
    Patch(1, 17, 4);
    const auto tiles = AddTiles<CAreaFixture>(2);
    CAreaFixture* tile = tiles[1];
    EXPECT_EQ(tile->GetFixture(), patch->GetFixture(1));
    // Without a label the fixture's number stands in.
    const auto texts = [tile] {
        return tile->GetNameText() + "|" + tile->GetManufacturerText() + "|" + tile->GetModelText() + "|" +
               tile->GetModeText() + "|" + tile->GetOptionText() + "|" + tile->GetAddressText();
    };
    EXPECT_EQ(texts(), "2|Maker|Spot|Standard|----|17");
    Render();
    patch->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, 1, CMessageValue("Wash 1")));
    EXPECT_TRUE(tile->IsDirty());
    // Unpatched: no address.
    patch->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, 1, CMessageValue(0u)));
    EXPECT_EQ(texts(), "Wash 1|Maker|Spot|Standard|----|");
}

TEST_F(Tiles, CollidingChannelsShowTheAddressInRed)
{
    Patch(0, 1, 4, "A");
    Patch(1, 3, 4, "B");
    Patch(2, 510, 4, "C");  // runs past 512
    const auto tiles = AddTiles<CAreaFixture>(4);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tiles[size_t(i)]->GetAddressColour(), CRgbaColour(255, 0, 0, 255)) << i;
    EXPECT_EQ(tiles[3]->GetAddressColour(), tiles[3]->GetTextColour());
    // As drawn: the first tile's address changes colour once the collision is gone.
    Render();
    const CZevralImage red = canvas;
    patch->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, 1, CMessageValue(5u)));
    EXPECT_EQ(tiles[0]->GetAddressColour(), tiles[0]->GetTextColour());
    Render();
    EXPECT_GT(CountChanged(red, CRect(50, 70, 50, 30)), 10);
}

TEST_F(Tiles, HiddenTilesLetGoAndTakeTheirNewSlotWhenShownAgain)
{
    Patch(0, 1, 1, "First");
    Patch(1, 2, 1, "Second");
    const auto tiles = AddTiles<CAreaFixture>(2);
    page->SetVisible(false);
    EXPECT_EQ(tiles[0]->GetFixture(), nullptr);
    EXPECT_EQ(patch->GetFixture(0)->GetObserverCount(), 0u);
    std::swap(page->tiles[0], page->tiles[1]);
    page->SetVisible(true);
    EXPECT_EQ(tiles[0]->GetNameText(), "Second");
    EXPECT_EQ(tiles[1]->GetNameText(), "First");
    EXPECT_EQ(patch->GetFixture(1)->GetObserverCount(), 1u);
}

TEST_F(Tiles, EditTilesShowDashesWithoutAFixtureAndFixturesThatGoAreNotReadAgain)
{
    Patch(0, 1, 1, "Gone");
    Patch(1, 2, 1, "Gone too");
    const auto patchTiles = AddTiles<CAreaFixture>(1);
    auto made = std::make_unique<CAreaTarget>(page, patch.get());
    page->tiles.push_back(made.get());
    auto* target = page->AddChild(std::move(made));
    EXPECT_EQ(target->GetNameText() + target->GetManufacturerText() + target->GetModelText(), "Gone tooMakerSpot");
    patch.reset();
    EXPECT_EQ(patchTiles[0]->GetFixture(), nullptr);
    EXPECT_EQ(patchTiles[0]->GetNameText(), "");
    EXPECT_EQ(target->GetFixture(), nullptr);
    EXPECT_EQ(target->GetNameText() + target->GetManufacturerText() + target->GetModelText(), "---");
    Render();
}

TEST_F(Tiles, LongNamesAreShortenedInsideBothKindsOfTile)
{
    Patch(0, 1, 1, "A");
    Patch(1, 2, 1, "A");
    AddTiles<CAreaFixture>(1);
    auto made = std::make_unique<CAreaTarget>(page, patch.get());
    page->tiles.push_back(made.get());
    made->SetRect(CRect(100, 0, 100, 100));
    page->AddChild(std::move(made));
    Render();
    const CZevralImage shortNames = canvas;
    for (uint32_t slot : {0u, 1u})
        patch->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, slot, CMessageValue("Downstage centre special")));
    Render();
    // The name rows: drawn in the middle, nothing out at the tiles' sides.
    for (const int32_t left : {0, 100})
    {
        const auto changed = [&](int32_t x, int32_t width) {
            return CountChanged(shortNames, CRect(left + x, 0, width, 20));
        };
        EXPECT_GT(changed(10, 80), 20) << left;
        EXPECT_EQ(changed(0, 4) + changed(96, 4), 0) << left;
    }
}
