#pragma once

#include "foundation/digest.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CObserver;

// The base of every model object and manager: it tells its observers what changed with a
// notification code (foundation/notify_codes.h) and caches a digest of its own data, recomputed
// only after a change.
//
// Observer lists belong to the main thread. Attach, Detach and Notify take no lock, so a change
// that arises on another thread must be handed to the main thread and notified there.
//
// Observers normally attach through CObserver::Observe, which lets each side forget the other when
// it goes. An observer attached directly with Attach must Detach itself before it is destroyed.
class CSubject
{
public:
    CSubject() = default;
    // A copy is a subject of its own: it starts without observers and with a stale digest.
    CSubject(const CSubject&) {}
    CSubject& operator=(const CSubject&) { return *this; }
    // Sends NOTIFY_RELEASE to every observer, then detaches them all.
    virtual ~CSubject();

    // Appends the observer, even when it is already attached (it is then called once per entry).
    virtual void Attach(CObserver* observer);
    // Removes every entry of the observer.
    virtual void Detach(CObserver* observer);
    // Calls the observers from the last attached to the first, then marks the digest stale. A
    // handler may detach itself or observers attached after it.
    virtual void Notify(uint32_t code);
    virtual void SetChanged() { m_changed = true; }
    // The digest of the subject's own data; all zero unless a subject has data to hash.
    virtual CDigest ComputeDigest();

    // The cached digest, computed again only when the subject changed since the last call.
    CDigest GetDigest();
    bool IsChanged() const { return m_changed; }
    size_t GetObserverCount() const { return m_observers.size(); }

private:
    std::vector<CObserver*> m_observers;
    bool m_changed = true;
    CDigest m_digest;
};
