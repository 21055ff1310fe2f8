#pragma once

#include <cstddef>
#include <cstdint>
#include <set>

class CSubject;

// The base of everything that shows a subject: it is told of changes through HandleNotify and
// detaches itself from every subject it still observes when it goes.
class CObserver
{
public:
    CObserver() = default;
    // A copy observes nothing.
    CObserver(const CObserver&) {}
    CObserver& operator=(const CObserver&) { return *this; }
    virtual ~CObserver();

    // Attaches to the subject. Observing a subject twice attaches twice (each notification
    // arrives twice), but one StopObserving ends both.
    void Observe(CSubject* subject);
    // Detaches from the subject if it is observed; otherwise the subject is not touched, so a
    // pointer to a subject that has gone is harmless here.
    void StopObserving(CSubject* subject);
    void StopObservingAll();
    bool IsObserving(const CSubject* subject) const;

    // The subject's notification. After NOTIFY_RELEASE the subject must not be used again; it
    // detaches its observers itself.
    virtual void HandleNotify(CSubject* subject, uint32_t code);

private:
    std::set<CSubject*> m_subjects;
};

// Lets an observer follow at most a given number of the items of a list.
class CSubjectSet
{
public:
    static constexpr uint32_t kDefaultCapacity = 8192;

    explicit CSubjectSet(uint32_t capacity = kDefaultCapacity) : m_capacity(capacity) {}

    // Makes the observer observe the subject, unless either is missing, the subject is held
    // already or the set is full.
    void Add(CObserver* observer, CSubject* subject);
    // With an observer, it stops observing every subject held; the set is emptied either way.
    void Clear(CObserver* observer);

    uint32_t GetCapacity() const { return m_capacity; }
    void SetCapacity(uint32_t capacity) { m_capacity = capacity; }
    size_t GetCount() const { return m_subjects.size(); }
    bool Contains(const CSubject* subject) const;
    const std::set<CSubject*>& GetSubjects() const { return m_subjects; }

private:
    uint32_t m_capacity;
    std::set<CSubject*> m_subjects;
};
