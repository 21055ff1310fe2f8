#pragma once

// The model root as the application drives it: ticked once a frame with the frame period,
// suspended while the application is in the background. The lighting model implements it.
class CAppModel
{
public:
    virtual ~CAppModel() = default;

    virtual void Update(float seconds) = 0;
    // The device link stops, and starts again.
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
    // Reads what start-up left until the window shows, where no frame waits for it: called every
    // frame once the window showed, it starts the reading the first time and never waits for it.
    // True in the call that took over what was read, so that the heap the reading borrowed can go
    // back to the system.
    virtual bool LoadDeferred() = 0;
};
