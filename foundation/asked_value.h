#pragma once

#include <functional>
#include <optional>

// The value a mirrored setting last asked the controller (or a unit) for. A setter that sent only
// what differs from the mirror would drop a value equal to the mirror while another one it sent
// is still on its way, and the controller would end on the one in between: a fader pulled down
// and back to where it stood within one answer's time stayed where it was pulled to, and a
// unit's setting confirmed twice in a dialog while the unit was silent ended on the first choice.
// What the setting last asked for is kept for good, since an answer does not say which request
// it answers; a value equal to the mirror then goes once more only when something else was asked
// last.
//
// A value built from parts (a colour of five channels, a position of two axes) is built on what
// was asked last until the controller has reported since taking it: built on the mirror, a second
// part moved within one answer's time would send the first one back as it was.
//
// What was asked can also be forgotten: the ask never left (a load taken back before its records
// went), or the controller no longer holds what the mirror says (the object was cleared). Nothing
// asked is then on its way, the next step starts from the mirror, and until the next ask any
// value goes, even one equal to the mirror, since what the controller holds is not known.
//
// Or only the last ask is taken back, when the outgoing queue refused its record at its bound: an
// earlier ask may still wait or be on its way, and stays what the setting asked for, as if the
// refused one had never been made.
enum class TForget
{
    kEverything,
    kLastAsk,
};

template <typename T>
class CAskedValue
{
public:
    // Whether the value must go: it differs from what the controller reported last, or from what
    // was asked last. `differs` compares two values.
    template <typename Differs>
    bool NeedsSending(const T& value, const T& reported, Differs differs) const
    {
        return m_anyGoes || differs(value, reported) || (m_asked && differs(value, *m_asked));
    }
    // Takes the value as asked when it must go (always, when the mirror says nothing of the
    // controller): whether it goes.
    bool Ask(const T& value, const T& reported, bool always = false)
    {
        if (!always && !NeedsSending(value, reported, std::not_equal_to<T>()))
            return false;
        Asked(value);
        return true;
    }
    void Asked(const T& value)
    {
        m_before = {m_asked, m_unanswered, m_anyGoes};
        m_asked = value;
        m_unanswered = true;
        m_anyGoes = false;
    }
    void Forget(TForget what = TForget::kEverything)
    {
        if (what == TForget::kLastAsk)
        {
            m_asked = m_before.asked;
            m_unanswered = m_before.unanswered;
            m_anyGoes = m_before.anyGoes;
            return;
        }
        m_asked.reset();
        m_unanswered = false;
        m_anyGoes = true;
    }
    // The controller took an ask: what it reports before its next report may predate that ask.
    void Taken() { m_unanswered = m_asked.has_value(); }
    // The controller reported the setting with nothing asked still on its way to it.
    void Answered() { m_unanswered = false; }
    // The value as the controller will have it: the one asked last until it has been answered,
    // else the one reported.
    const T& Intended(const T& reported) const { return m_unanswered ? *m_asked : reported; }

private:
    // What stood before the last ask: the state a refused ask goes back to.
    struct SBefore
    {
        std::optional<T> asked;
        bool unanswered = false;
        bool anyGoes = false;
    };

    std::optional<T> m_asked;
    bool m_unanswered = false;
    bool m_anyGoes = false;
    SBefore m_before;
};
