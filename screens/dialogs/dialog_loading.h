#pragma once

#include "foundation/followed_subject.h"
#include "widgets/area.h"

#include <atomic>
#include <cstdint>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaLabel;
class CAreaProgressBar;
class CDeviceManager;

// Shown while a show file just opened is sent to the controller. It counts the device manager's
// transmissions against what the program waited for when it opened (CDeviceManager::
// GetOwnQueueLength), shows the share sent, and ends by itself: with result 1 once as many were
// counted or that has all gone, with 3 when the link to the controller is lost or the operator
// aborts (Abort, or Escape as in every dialog). Ending with 3 aborts the load
// (CDeviceManager::AbortLoad): the show's records still waiting go, and the model reads back what
// the controller holds.
class CDialogLoading : public CArea2
{
public:
    // Follows the device manager of the model root that the root area was handed.
    explicit CDialogLoading(CArea2* parent);
    // Follows the device manager given; null counts nothing and ends at the first tick.
    CDialogLoading(CArea2* parent, CDeviceManager* deviceManager);
    ~CDialogLoading() override;

    // Aborts the load and ends the dialog with result 3.
    void Abort();

    uint32_t GetExpected() const { return m_expected; }
    uint32_t GetSent() const { return m_sent.load(); }

    void HandleNotify(CSubject* subject, uint32_t code) override;
    // Takes the place of the area's tick: the children are not ticked.
    void Tick(float seconds) override;

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;

private:
    CAreaLabel* m_text;
    CAreaProgressBar* m_progress;
    CAreaCaptionBar* m_caption;
    CAreaButtonSoft* m_abort;
    CFollowedSubject<CDeviceManager> m_deviceManager{this};
    uint32_t m_expected = 0;
    std::atomic<uint32_t> m_sent{0};
};
