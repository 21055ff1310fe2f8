#pragma once

class CMessage;

// Where the model's managers hand the records they send to the connected controller: the device
// manager's outgoing queue in the program, a recorder in tests. A record for a target already
// queued takes that record's place.
class CMessageSink
{
public:
    // False when the record was dropped (no controller chosen, too large for one frame, or the
    // queue at its bound).
    virtual bool QueueMessage(const CMessage& message) = 0;
    // Whether a record of the message's target is queued or on its way; a sink that keeps
    // nothing waiting has none.
    virtual bool IsWaiting(const CMessage&) const { return false; }

protected:
    ~CMessageSink() = default;
};
