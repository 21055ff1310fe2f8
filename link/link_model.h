#pragma once

#include "link/message.h"

// A receiver of the controller's replies: the model's managers, each for its own manager
// identifiers. It is handed only answers to records sent and notifications, which it may take as
// they come. Called on the main thread while the device manager applies replies; a handler may
// queue records but must not choose another unit.
class CMessageHandler
{
public:
    virtual void HandleMessage(const CMessage& message) = 0;

protected:
    ~CMessageHandler() = default;
};

// The model root as the device manager sees it: where replies go, and the resynchronisation
// after a unit is chosen. The handlers are asked for on every reply, so a model may create its
// managers after registering; a null handler drops the replies meant for it.
class CLinkModel
{
public:
    // Playback manager, playbacks and cues (managers 40, 41, 43).
    virtual CMessageHandler* GetPlaybackHandler() = 0;
    // Fixture manager and fixtures (30, 31).
    virtual CMessageHandler* GetFixtureHandler() = 0;
    // Programmer and its attribute groups (44, 45).
    virtual CMessageHandler* GetProgrammerHandler() = 0;
    // The controller's engine (63): the show digest.
    virtual CMessageHandler* GetEngineHandler() = 0;
    // A reply that answers nothing sent: neither the answer to the record in flight nor a
    // notification, but a late or repeated answer, or anyone's. It reaches no handler and is no
    // value; at most it asks its target again, as a notification would. Called while the device
    // manager collects the reads, as for a notification.
    virtual void OnReplyToNothing(const CMessage&) {}
    // Every mirrored object asks the controller for all of its values again.
    virtual void Resync() = 0;
    // Notifications may have been lost: every mirrored object asks for what the controller's
    // "everything changed" of it asks, and every playback for its cue count, whose answer reads
    // its cues. Called while the device manager collects the reads, as for a notification.
    virtual void OnNotificationsLost() = 0;
    // A value the model queued for the target was taken back before it left (an aborted load):
    // the object forgets that it asked for it. A model that keeps no asks has nothing to forget.
    virtual void ForgetAsked(const CMessage::STarget&) {}
    // The outgoing queue refused the record the model just queued for the target (its bound): the
    // object takes back only what that record asked for, keeping an earlier ask of the target,
    // which may still wait or be on its way.
    virtual void TakeBackAsked(const CMessage::STarget&) {}

protected:
    ~CLinkModel() = default;
};
