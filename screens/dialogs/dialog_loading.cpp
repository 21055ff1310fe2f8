#include "screens/dialogs/dialog_loading.h"

#include "foundation/notify_codes.h"
#include "link/device_manager.h"
#include "model/core.h"
#include "screens/dialogs/dialog_look.h"
#include "screens/pages/area_main.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_label.h"
#include "widgets/area_progress_bar.h"
#include "widgets/connect.h"

#include <algorithm>

using namespace dialog_look;

namespace
{
// The device manager of the model root that the root area above the parent was handed.
CDeviceManager* ProgramDeviceManager(CArea2* parent)
{
    CArea2* root = parent;
    while (root && root->GetParent())
        root = root->GetParent();
    const auto* main = dynamic_cast<const CAreaMain*>(root);
    CCore* core = main ? main->GetCore() : nullptr;
    return core ? core->GetDeviceManager() : nullptr;
}
}  // namespace

CDialogLoading::CDialogLoading(CArea2* parent) : CDialogLoading(parent, ProgramDeviceManager(parent))
{
}

CDialogLoading::CDialogLoading(CArea2* parent, CDeviceManager* deviceManager)
    : CArea2(parent, false, 400 * Scale(), 200 * Scale())
{
    SetName("CDialogLoading");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("loading...", true, true);
    m_caption->SetColour(Yellow());

    m_text = MakeChild<CAreaLabel>(false);
    m_text->SetHorizontalAlignment(kAlignStart);
    m_text->SetText("Opening show file...", true);

    m_abort = MakeChild<CAreaButtonSoft>();
    m_abort->SetCaption("Abort", true);
    Connect<&CDialogLoading::Abort>(m_abort, &CAreaButton::SetClickCallback, this);

    m_progress = MakeChild<CAreaProgressBar>();

    if (m_deviceManager.Follow(deviceManager))
        m_expected = uint32_t(m_deviceManager->GetOwnQueueLength());
}

CDialogLoading::~CDialogLoading()
{
    // A show's records that slipped into the queue since the abort go too, and so do those left
    // when the link was lost.
    if (GetResult() == kResultAbort && m_deviceManager)
        m_deviceManager->AbortLoad();
    StopObservingAll();
}

void CDialogLoading::Abort()
{
    if (m_deviceManager)
        m_deviceManager->AbortLoad();
    SetResult(kResultAbort);
}

void CDialogLoading::HandleNotify(CSubject* subject, uint32_t code)
{
    if (m_deviceManager.Forget(subject, code))
    {
        // No link is left to send the rest.
        SetResult(kResultAbort);
        return;
    }
    if (subject != m_deviceManager || !m_deviceManager)
        return;
    if (code == DEVICE_MANAGER_NOTIFY_CONNECTED)
    {
        if (!m_deviceManager->IsConnected())
            SetResult(kResultAbort);
    }
    else if (code == NOTIFY_PROGRESS)
    {
        m_sent.fetch_add(1);
    }
}

void CDialogLoading::Tick(float)
{
    // An abort or a lost link stands: the count reaching its end later does not make it a success.
    if (GetResult() != kResultOpen)
        return;
    const uint32_t sent = m_sent.load();
    // A record on its way when the dialog opened was counted in the queue, but its transmission
    // may have been told before: once the queue has emptied, everything it waited for has gone.
    if (sent >= m_expected || !m_deviceManager || m_deviceManager->GetOwnQueueLength() == 0)
        SetResult(kResultOk);
    else
        m_progress->SetProgress(float(sent) / float(m_expected));
}

// A controller that acknowledges the show's records slowly, or none while it still answers
// discovery, keeps the dialog open for up to a second a record: the key that leaves every other
// dialog must not be dead here. Escape only: Return, which goes on in the other dialogs, must not
// throw the show away.
void CDialogLoading::OnKeyDown(uint32_t key, bool* handled)
{
    if (key != kKeyEscape)
        return;
    m_abort->Press();
    *handled = true;
}

void CDialogLoading::OnKeyUp(uint32_t key, bool* handled)
{
    if (key != kKeyEscape)
        return;
    m_abort->Release();
    *handled = true;
}

void CDialogLoading::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t gap = int32_t(kGap);
    m_caption->SetHeight(GetHeight());

    m_progress->SetX(RightOf(*m_caption));
    m_progress->SetWidth(uint32_t(std::max(0, width - gap - m_progress->GetX())));

    const int32_t scale = int32_t(Scale());
    m_text->SetPosition(CPoint(75 * scale, 100 * scale));
    m_text->SetWidth(uint32_t(std::max(0, width - gap - m_text->GetX())));

    PlaceInCorner(*m_abort, *this);
}
