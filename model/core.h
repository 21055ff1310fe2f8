#pragma once

// The root of the lighting model: created once at start-up, ticked every frame, deleted at
// shutdown. It will own the device manager and the model's managers.
class CCore
{
public:
    // Builds the model root; the arguments are accepted and not used.
    static CCore* Create(int argc, char** argv);
    ~CCore();
    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;

    // Once per frame, with the fixed frame period.
    void Update(float seconds);
    // The application went to the background and came back: the device link stops and restarts.
    void Suspend();
    void Resume();

private:
    CCore() = default;
};
