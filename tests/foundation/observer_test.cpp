#include "foundation/observer.h"
#include "foundation/subject.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
class CCounter : public CObserver
{
public:
    void HandleNotify(CSubject*, uint32_t) override { ++m_count; }
    int m_count = 0;
};
}  // namespace

TEST(Observer, ObservingTwiceHearsTwiceAndOneStopEndsBoth)
{
    CSubject subject;
    CCounter observer;
    observer.Observe(&subject);
    observer.Observe(&subject);
    observer.Observe(nullptr);
    EXPECT_TRUE(observer.IsObserving(&subject));
    subject.Notify(1);
    EXPECT_EQ(observer.m_count, 2);

    observer.StopObserving(&subject);
    EXPECT_FALSE(observer.IsObserving(&subject));
    EXPECT_EQ(subject.GetObserverCount(), 0u);
    subject.Notify(1);
    EXPECT_EQ(observer.m_count, 2);
}

TEST(Observer, StopObservingAnUnobservedSubjectLeavesItAlone)
{
    CSubject subject;
    CCounter direct, other;
    subject.Attach(&direct);
    direct.StopObserving(&subject);  // attached, but not through Observe
    other.StopObserving(&subject);
    other.StopObserving(nullptr);
    EXPECT_EQ(subject.GetObserverCount(), 1u);
    subject.Detach(&direct);
}

TEST(Observer, DestructionDetachesFromEverySubject)
{
    CSubject first, second;
    auto going = std::make_unique<CCounter>();
    CCounter staying;
    going->Observe(&first);
    going->Observe(&second);
    staying.Observe(&first);
    going.reset();
    EXPECT_EQ(first.GetObserverCount(), 1u);
    EXPECT_EQ(second.GetObserverCount(), 0u);
    first.Notify(2);
    second.Notify(2);
    EXPECT_EQ(staying.m_count, 1);
}

TEST(Observer, StopObservingAll)
{
    CSubject first, second;
    CCounter observer;
    observer.Observe(&first);
    observer.Observe(&second);
    observer.StopObservingAll();
    EXPECT_FALSE(observer.IsObserving(&first));
    EXPECT_EQ(first.GetObserverCount() + second.GetObserverCount(), 0u);
}

TEST(SubjectSet, ObservesNoMoreThanItsCapacity)
{
    CSubject subjects[3];
    CCounter observer;
    CSubjectSet set(2);
    for (CSubject& subject : subjects)
        set.Add(&observer, &subject);
    set.Add(&observer, &subjects[0]);
    set.Add(nullptr, &subjects[2]);
    set.Add(&observer, nullptr);
    EXPECT_EQ(set.GetCount(), 2u);
    EXPECT_TRUE(observer.IsObserving(&subjects[0]));
    EXPECT_TRUE(observer.IsObserving(&subjects[1]));
    EXPECT_FALSE(observer.IsObserving(&subjects[2]));
    EXPECT_EQ(subjects[0].GetObserverCount(), 1u);

    set.Clear(&observer);
    EXPECT_EQ(set.GetCount(), 0u);
    EXPECT_FALSE(observer.IsObserving(&subjects[0]));
    EXPECT_EQ(subjects[1].GetObserverCount(), 0u);
}

TEST(SubjectSet, ClearWithoutObserverOnlyForgets)
{
    CSubject subject;
    CCounter observer;
    CSubjectSet set;
    EXPECT_EQ(set.GetCapacity(), 8192u);
    set.Add(&observer, &subject);
    set.Clear(nullptr);
    EXPECT_FALSE(set.Contains(&subject));
    EXPECT_TRUE(observer.IsObserving(&subject));
}

TEST(SubjectSet, ClearAfterASubjectWentDoesNotTouchIt)
{
    CCounter observer;
    CSubjectSet set;
    auto subject = std::make_unique<CSubject>();
    CSubject survivor;
    set.Add(&observer, subject.get());
    set.Add(&observer, &survivor);
    subject.reset();
    EXPECT_EQ(observer.m_count, 1);  // the release
    set.Clear(&observer);            // holds a pointer to the released subject
    EXPECT_EQ(survivor.GetObserverCount(), 0u);
}
