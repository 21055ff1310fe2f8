#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "foundation/subject.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
// Every notification lands in one shared journal as "<name>:<code>".
class CRecorder : public CObserver
{
public:
    CRecorder(std::string name, std::vector<std::string>& journal) : m_name(std::move(name)), m_journal(journal) {}

    void HandleNotify(CSubject* subject, uint32_t code) override
    {
        m_journal.push_back(m_name + ":" + std::to_string(code));
        if (m_onNotify)
            m_onNotify(subject);
    }

    std::function<void(CSubject*)> m_onNotify;

private:
    std::string m_name;
    std::vector<std::string>& m_journal;
};

class CCountingSubject : public CSubject
{
public:
    CDigest ComputeDigest() override
    {
        ++m_computed;
        CDigestBuilder builder;
        builder.AddUnsigned(m_value);
        return builder.GetDigest();
    }

    int m_computed = 0;
    uint32_t m_value = 0;
};

using Journal = std::vector<std::string>;
}  // namespace

TEST(Subject, NotifiesTheLastAttachedFirst)
{
    Journal journal;
    CRecorder a("A", journal), b("B", journal);
    CSubject subject;
    a.Observe(&subject);
    b.Observe(&subject);
    subject.Notify(NOTIFY_LABEL);
    EXPECT_EQ(journal, (Journal{"B:1100", "A:1100"}));
}

TEST(Subject, DirectAttachKeepsDuplicatesAndDetachRemovesThemAll)
{
    Journal journal;
    CRecorder a("A", journal), b("B", journal);
    CSubject subject;
    subject.Attach(&a);
    subject.Attach(&b);
    subject.Attach(&a);
    subject.Attach(nullptr);
    EXPECT_EQ(subject.GetObserverCount(), 3u);
    subject.Notify(7);
    EXPECT_EQ(journal, (Journal{"A:7", "B:7", "A:7"}));

    subject.Detach(&a);
    subject.Detach(nullptr);
    CRecorder stranger("S", journal);
    subject.Detach(&stranger);
    EXPECT_EQ(subject.GetObserverCount(), 1u);
    journal.clear();
    subject.Notify(8);
    EXPECT_EQ(journal, (Journal{"B:8"}));
    subject.Detach(&b);
}

TEST(Subject, HandlersMayDetachThemselvesAndLaterObservers)
{
    Journal journal;
    CRecorder a("A", journal), b("B", journal), c("C", journal);
    CSubject subject;
    a.Observe(&subject);
    b.Observe(&subject);
    c.Observe(&subject);
    c.m_onNotify = [&](CSubject* s) {
        c.StopObserving(s);
        b.StopObserving(s);
    };
    subject.Notify(3);
    EXPECT_EQ(journal, (Journal{"C:3", "A:3"}));
    EXPECT_EQ(subject.GetObserverCount(), 1u);
    EXPECT_FALSE(c.IsObserving(&subject));
}

TEST(Subject, EveryNotificationMarksTheDigestStale)
{
    CCountingSubject subject;
    EXPECT_TRUE(subject.IsChanged());
    const CDigest first = subject.GetDigest();
    EXPECT_FALSE(subject.IsChanged());
    EXPECT_EQ(subject.GetDigest(), first);
    EXPECT_EQ(subject.m_computed, 1);

    subject.m_value = 5;
    EXPECT_EQ(subject.GetDigest(), first);  // not notified: the cached digest stands
    subject.Notify(NOTIFY_UNKNOWN);
    EXPECT_TRUE(subject.IsChanged());
    EXPECT_NE(subject.GetDigest(), first);
    EXPECT_EQ(subject.m_computed, 2);

    CSubject plain;
    EXPECT_EQ(plain.GetDigest(), CDigest());
}

TEST(Subject, DestructionReleasesEveryObserverLastFirst)
{
    Journal journal;
    CRecorder a("A", journal), b("B", journal);
    {
        CSubject subject;
        a.Observe(&subject);
        b.Observe(&subject);
        b.Observe(&subject);
    }
    EXPECT_EQ(journal, (Journal{"B:6", "B:6", "A:6"}));
    CSubject other;
    EXPECT_FALSE(a.IsObserving(&other));
}

TEST(Subject, DestructionEndsForObserversAttachedDirectly)
{
    Journal journal;
    CRecorder a("A", journal), b("B", journal);
    auto subject = std::make_unique<CSubject>();
    subject->Attach(&a);
    b.Observe(subject.get());
    subject->Attach(&a);
    const CSubject* gone = subject.get();
    subject.reset();
    EXPECT_EQ(journal, (Journal{"A:6", "B:6", "A:6"}));
    EXPECT_FALSE(b.IsObserving(gone));
}

TEST(Subject, AReleaseHandlerMayStopObservingItself)
{
    Journal journal;
    CRecorder a("A", journal);
    a.m_onNotify = [&](CSubject* s) { a.StopObserving(s); };
    {
        CSubject subject;
        a.Observe(&subject);
    }
    EXPECT_EQ(journal, (Journal{"A:6"}));
}

TEST(Subject, ACopyHasNoObservers)
{
    Journal journal;
    CRecorder a("A", journal);
    CSubject original;
    a.Observe(&original);
    {
        CSubject copy(original);
        EXPECT_EQ(copy.GetObserverCount(), 0u);
        copy = original;
        EXPECT_EQ(copy.GetObserverCount(), 0u);
    }
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(original.GetObserverCount(), 1u);
}
