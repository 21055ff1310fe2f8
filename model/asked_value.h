#pragma once

#include <optional>

// The value a mirrored setting last asked the controller for. A setter that sent only what
// differs from the mirror would drop a value equal to the mirror while another one it sent is
// still on its way, and the controller would end on the one in between: a fader pulled down and
// back to where it stood within one answer's time stayed where it was pulled to. What the setting
// last asked for is kept for good, since an answer does not say which request it answers; a value
// equal to the mirror then goes once more only when something else was asked last.
template <typename T>
class CAskedValue
{
public:
    // Whether the value must go: it differs from what the controller reported last, or from what
    // was asked last. `differs` compares two values.
    template <typename Differs>
    bool NeedsSending(const T& value, const T& reported, Differs differs) const
    {
        return differs(value, reported) || (m_asked && differs(value, *m_asked));
    }
    void Asked(const T& value) { m_asked = value; }

private:
    std::optional<T> m_asked;
};
