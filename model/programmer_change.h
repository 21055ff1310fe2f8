#pragma once

#include "foundation/asked_value.h"
#include "foundation/subject.h"
#include "link/message_value.h"

#include <cstdint>

class CMessage;
class CProgrammer;

// One of the programmer's 17 attribute groups: its value as the controller last reported it, and
// whether any selected fixture has the group at all. Setting a value sends it; the value moves
// when the controller's reply arrives (NOTIFY 84), which is also told when the intended value
// moves.
class CProgrammerChange : public CSubject
{
public:
    static constexpr uint32_t kNotifyValue = 84;

    // The value starts as a coordinate for position (group 2), a colour for the colour mix
    // (group 4) and "none" for the others.
    CProgrammerChange(CProgrammer* owner, uint32_t group);

    uint32_t GetGroup() const { return m_group; }
    // The position in the owner's list, which is also the index of its records; -1 when absent.
    int32_t GetIndex() const;

    CMessageValue GetValue() const { return m_value; }
    // What a value built on this one starts from: the value last asked for until the controller
    // has reported it since, else the value reported.
    CMessageValue GetIntendedValue() const { return m_asked.Intended(m_value); }
    // Sends the value when it differs from the stored one (kind included), or from the one sent
    // last, and makes the next press on the fixture grid start a new selection.
    void SetValue(const CMessageValue& value);

    bool IsEnabled() const { return m_enabled; }
    // Only the programmer decides; notifies NOTIFY_ENABLED on a change.
    void SetEnabled(bool enabled);

    // A record the programmer routed here: a GetValue reply, or a Notify of any code.
    void HandleMessage(const CMessage& message);
    // A set of the group (the command) never left: what it asked for is forgotten (TForget says
    // how much), and the observers are told when the intended value moves.
    void ForgetAsked(uint32_t command, TForget what);

    void SendRequest(uint32_t command);
    void SendValue(uint32_t command, const CMessageValue& value);

private:
    // Whether a value set is still queued for the controller or on its way to it.
    bool IsSetWaiting() const;

    CProgrammer* m_owner;
    uint32_t m_group;
    CMessageValue m_value;
    CAskedValue<CMessageValue> m_asked;
    bool m_enabled = true;
};
