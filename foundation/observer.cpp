#include "foundation/observer.h"

#include "foundation/subject.h"

CObserver::~CObserver()
{
    StopObservingAll();
}

void CObserver::Observe(CSubject* subject)
{
    if (!subject)
        return;
    m_subjects.insert(subject);
    subject->Attach(this);
}

void CObserver::StopObserving(CSubject* subject)
{
    const auto it = m_subjects.find(subject);
    if (it == m_subjects.end())
        return;
    m_subjects.erase(it);
    subject->Detach(this);
}

void CObserver::StopObservingAll()
{
    const std::set<CSubject*> subjects = std::move(m_subjects);
    m_subjects.clear();
    for (CSubject* subject : subjects)
        subject->Detach(this);
}

bool CObserver::IsObserving(const CSubject* subject) const
{
    return m_subjects.count(const_cast<CSubject*>(subject)) > 0;
}

void CObserver::HandleNotify(CSubject*, uint32_t) {}

void CSubjectSet::Add(CObserver* observer, CSubject* subject)
{
    if (!observer || !subject || m_subjects.size() >= m_capacity || m_subjects.count(subject))
        return;
    m_subjects.insert(subject);
    observer->Observe(subject);
}

void CSubjectSet::Clear(CObserver* observer)
{
    if (observer)
    {
        for (CSubject* subject : m_subjects)
            observer->StopObserving(subject);
    }
    m_subjects.clear();
}

bool CSubjectSet::Contains(const CSubject* subject) const
{
    return m_subjects.count(const_cast<CSubject*>(subject)) > 0;
}
