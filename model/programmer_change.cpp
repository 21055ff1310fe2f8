#include "model/programmer_change.h"

#include "foundation/notify_codes.h"
#include "link/message.h"
#include "model/programmer.h"

namespace
{
bool Differs(const CMessageValue& a, const CMessageValue& b)
{
    return a != b;
}
}  // namespace

CProgrammerChange::CProgrammerChange(CProgrammer* owner, uint32_t group) : m_owner(owner), m_group(group)
{
    if (group == GROUP_POSITION)
        m_value.SetType(VALUE_COORDINATE);
    else if (group == GROUP_COLOUR_MIX)
        m_value.SetType(VALUE_COLOUR);
}

int32_t CProgrammerChange::GetIndex() const
{
    return m_owner ? m_owner->GetChangeIndex(this) : -1;
}

void CProgrammerChange::SetValue(const CMessageValue& value)
{
    if (!m_asked.NeedsSending(value, m_value, Differs))
        return;
    m_asked.Asked(value);
    SendValue(COMMAND_SET_VALUE, value);
    if (m_owner)
        m_owner->SetClearOnNextPress();
}

void CProgrammerChange::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    Notify(NOTIFY_ENABLED);
}

void CProgrammerChange::HandleMessage(const CMessage& message)
{
    switch (message.GetCommand())
    {
    case COMMAND_SET_VALUE: m_asked.Taken(); break;
    case COMMAND_GET_VALUE:
    {
        // A report read while a value set is still waiting predates it; the answer to one the
        // controller took follows it, so replies handled in one go end on the right side.
        const CMessageValue intended = GetIntendedValue();
        if (!IsSetWaiting())
            m_asked.Answered();
        const bool moved = message.GetValueRef() != m_value;
        m_value = message.GetValueRef();
        if (moved || GetIntendedValue() != intended)
            Notify(kNotifyValue);
        break;
    }
    case COMMAND_NOTIFY:
        // Any code, forged or not: one read of the value, left out while one waits.
        SendRequest(COMMAND_GET_VALUE);
        break;
    default:
        break;
    }
}

void CProgrammerChange::ForgetAsked(uint32_t command, TForget what)
{
    if (command != COMMAND_SET_VALUE)
        return;
    const CMessageValue intended = GetIntendedValue();
    m_asked.Forget(what);
    if (GetIntendedValue() != intended)
        Notify(kNotifyValue);
}

bool CProgrammerChange::IsSetWaiting() const
{
    if (!m_owner)
        return false;
    CMessage set(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE);
    set.SetIndex0(static_cast<uint32_t>(GetIndex()));
    return m_owner->IsWaiting(set);
}

void CProgrammerChange::SendRequest(uint32_t command)
{
    SendValue(command, CMessageValue());
}

void CProgrammerChange::SendValue(uint32_t command, const CMessageValue& value)
{
    if (!m_owner)
        return;
    CMessage message(MANAGER_PROGRAMMER_CHANGE, command);
    message.SetIndex0(static_cast<uint32_t>(GetIndex()));
    message.SetValue(value);
    m_owner->Send(message);
}
