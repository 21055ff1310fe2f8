#include "screens/pages/area_main.h"

#include "link/device_manager.h"
#include "model/core.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/pages/area_edit.h"
#include "screens/pages/area_patch.h"
#include "screens/pages/area_playback.h"
#include "screens/pages/area_settings.h"

CAreaMain::CAreaMain(CArea2* parent, uint32_t width, uint32_t height, CCore* core)
    : CArea2(parent, false, width, height), m_core(core)
{
    SetName("CAreaMain");
    SetVisibleFlag(true);
    ShowPage();
    if (m_core)
        Observe(m_core->GetDeviceManager());
}

void CAreaMain::HandleNotify(CSubject* subject, uint32_t code)
{
    if (!m_core || subject != m_core->GetDeviceManager() || code != DEVICE_MANAGER_NOTIFY_REFUSED)
        return;
    // The root's own dialog, above a page's, which it leaves open.
    if (GetModalChild())
        return;
    auto notice = std::make_unique<CDialogNotification>(this);
    notice->SetText("Too many changes are waiting for the device.", true);
    notice->SetLinkText("This change was not sent.", true);
    ShowDialog(std::move(notice));
}

void CAreaMain::SetPage(uint32_t index)
{
    if (index == m_pageIndex)
        return;
    m_pageIndex = index;
    ShowPage();
}

void CAreaMain::ShowPage()
{
    if (IsVisible() && m_pageIndex < kPageCount && !m_pages[m_pageIndex])
    {
        m_pages[m_pageIndex] = AddChild(CreatePage(m_pageIndex), true);
    }
    // In page order, whichever way the switch goes.
    for (uint32_t i = 0; i < kPageCount; ++i)
        if (m_pages[i])
            m_pages[i]->SetVisible(IsVisible() && i == m_pageIndex);
}

std::unique_ptr<CArea2> CAreaMain::CreatePage(uint32_t index)
{
    if (index == kPagePlayback)
        return std::make_unique<CAreaPlayback>(this, m_core);
    if (index == kPageSettings)
        return std::make_unique<CAreaSettings>(this, m_core);
    if (index == kPagePatch)
        return std::make_unique<CAreaPatch>(this, m_core);
    // Pages are made for the four indexes only; the last is the edit page.
    return std::make_unique<CAreaEdit>(this, m_core);
}
