#include "foundation/subject.h"

#include "foundation/notify_codes.h"
#include "foundation/observer.h"

#include <algorithm>

CSubject::~CSubject()
{
    CSubject::Notify(NOTIFY_RELEASE);
    while (!m_observers.empty())
    {
        CObserver* observer = m_observers.back();
        observer->StopObserving(this);
        // An observer attached without Observe does not know this subject; detaching it here
        // keeps the loop moving.
        CSubject::Detach(observer);
    }
}

void CSubject::Attach(CObserver* observer)
{
    if (observer)
        m_observers.push_back(observer);
}

void CSubject::Detach(CObserver* observer)
{
    if (observer)
        m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CSubject::Notify(uint32_t code)
{
    // Handlers may shrink the list while it is walked: positions past its end are skipped.
    for (size_t position = m_observers.size(); position-- > 0;)
    {
        if (position < m_observers.size())
            m_observers[position]->HandleNotify(this, code);
    }
    SetChanged();
}

CDigest CSubject::ComputeDigest()
{
    return CDigest();
}

CDigest CSubject::GetDigest()
{
    if (m_changed)
    {
        m_digest = ComputeDigest();
        m_changed = false;
    }
    return m_digest;
}
