#pragma once

#include "foundation/notify_codes.h"
#include "foundation/observer.h"

#include <cstdint>

// The one subject of a kind an observer shows at a time (a button's playback, a tile's fixture):
// observed while it is followed, no longer observed once another one (or none) takes its place,
// and forgotten, untouched, when it goes. Used like the pointer it holds:
//
//     CFollowedSubject<CPlayback> m_playback{this};
//     m_playback.Follow(playback);              // instead of the one before
//     if (m_playback.Forget(subject, code))     // in HandleNotify: it is going
//         ShowNothing();
template <class T>
class CFollowedSubject
{
public:
    explicit CFollowedSubject(CObserver* observer) : m_observer(observer) {}
    CFollowedSubject(const CFollowedSubject&) = delete;
    CFollowedSubject& operator=(const CFollowedSubject&) = delete;

    operator T*() const { return m_subject; }
    T* operator->() const { return m_subject; }

    // False when the subject is followed already.
    bool Follow(T* subject)
    {
        if (subject == m_subject)
            return false;
        if (m_subject)
            m_observer->StopObserving(m_subject);
        m_subject = subject;
        if (m_subject)
            m_observer->Observe(m_subject);
        return true;
    }
    // True for the notification that the subject followed is going; it is forgotten then (its
    // end detaches the observer itself).
    bool Forget(const CSubject* subject, uint32_t code)
    {
        if (code != NOTIFY_RELEASE || !m_subject || subject != m_subject)
            return false;
        m_subject = nullptr;
        return true;
    }

private:
    CObserver* m_observer;
    T* m_subject = nullptr;
};
