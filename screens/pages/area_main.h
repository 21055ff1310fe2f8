#pragma once

#include "widgets/area.h"

#include <cstdint>
#include <memory>

class CCore;

// The root of the area tree: sized to the window, handed the model root, shown from the start. It
// holds the four pages, shows one of them at a time, and builds each page the first time it is
// shown; a page then lives until the program ends. Over whatever page shows, it tells the operator
// that a change was not sent because too many records wait for the controller.
class CAreaMain : public CArea2
{
public:
    enum Page : uint32_t
    {
        kPagePlayback = 0,
        kPageSettings = 1,
        kPagePatch = 2,
        kPageEdit = 3,
    };
    static constexpr uint32_t kPageCount = 4;
    // The page shown first.
    static constexpr uint32_t kStartPage = kPagePlayback;

    // Builds and shows the playback page.
    CAreaMain(CArea2* parent, uint32_t width, uint32_t height, CCore* core);

    CCore* GetCore() const { return m_core; }
    uint32_t GetPageIndex() const { return m_pageIndex; }
    // Another index is stored and shown; the same index does nothing. 4 or more hides every page.
    void SetPage(uint32_t index);
    // Builds the page of the index when it does not exist yet, then shows it and hides the others.
    void ShowPage();
    // Null until the page is first shown.
    CArea2* GetPage(uint32_t index) const { return index < kPageCount ? m_pages[index] : nullptr; }

protected:
    // The device manager refused a change.
    void HandleNotify(CSubject* subject, uint32_t code) override;

private:
    std::unique_ptr<CArea2> CreatePage(uint32_t index);

    CCore* m_core;
    uint32_t m_pageIndex = kStartPage;
    // The pages built so far, children of this area.
    CArea2* m_pages[kPageCount] = {};
};
