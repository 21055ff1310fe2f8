#pragma once

#include "link/message.h"
#include "tools/standin/controller.h"
#include "tools/standin/discovery_answer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin
{
// How the stand-in misbehaves, switched from the command line or at run time.
struct SFaults
{
    // Nothing at all is answered.
    bool silent = false;
    bool discovery = true;
    bool link = true;
    bool unit = true;
    bool notify = true;
    // Every link answer and Notify leaves this many milliseconds late.
    uint32_t delayMs = 0;
    // The next this many link frames go unanswered.
    uint32_t dropLink = 0;
    // Every n-th link frame goes unanswered (0: none).
    uint32_t dropEvery = 0;
    // The next this many unit requests go unanswered.
    uint32_t dropUnit = 0;
    // Unit replies leave from another port than the one advertised.
    bool unitWrongPort = false;
    // A malformed frame goes before every link answer.
    bool garbage = false;
    // Every Notify carries this sequence instead of its request's (negative: none).
    int notifySequence = -1;
    // Link answers leave from this address instead of the unit's (empty: the unit's).
    std::string linkSource;
    // A group's value read (ProgrammerChange GetValue) is answered as the programmer's
    // (Programmer GetValue, the same index), as a controller may.
    bool groupAsProgrammer = false;
    // Every read of this playback is answered as the next playback's, its index one higher
    // (negative: none): a controller that never answers those reads as asked.
    int misansweredPlayback = -1;
    SAnswerQuirks quirks;
};

// What the control commands act on: the server, or a fake in tests.
class IControlTarget
{
public:
    virtual ~IControlTarget() = default;
    virtual SFaults& GetFaults() = 0;
    virtual size_t GetUnitCount() const = 0;
    virtual CController& GetController(size_t unit) = 0;
    // Sends Notify records of a change made on the controller itself to the unit's last peer.
    virtual void SendNotifies(size_t unit, const std::vector<CMessage>& notifies) = 0;
    // Answers link frames from another address; empty goes back to the unit's own. Returns an
    // error text, empty on success.
    virtual std::string SetLinkSource(const std::string& address) = 0;
    // The link frames whose sequence was neither the last their peer sent nor the next one, nor
    // a jump over frames the stand-in's socket dropped.
    virtual uint64_t GetOutOfSequence() const = 0;
    // The link frames such jumps went over.
    virtual uint64_t GetDropped() const = 0;
    virtual void Stop() = 0;
};

// The text commands of the control socket, the start-up script and the fault switches, one
// command a line: "delay 200", "silent on", "playback 3 intensity 0.2", "@1 settings label Rack",
// "out-of-sequence" (how many link frames came out of sequence), "dropped" (how many link frames
// the stand-in's sockets dropped, as the numbers that came after them showed), "misanswer group",
// "misanswer playback 5" and "misanswer off" (reads answered with another target).
// A change to the show is stored and told to the program with the Notify it reacts to.
class CControl
{
public:
    explicit CControl(IControlTarget& target) : m_target(target) {}

    // Runs one command; returns "ok", "ok <answer>" or "error <reason>".
    std::string Execute(const std::string& line);

private:
    std::string ExecuteFor(size_t unit, const std::vector<std::string>& words);
    std::string Fault(const std::vector<std::string>& words);
    std::string Playback(size_t unit, const std::vector<std::string>& words);
    std::string Cue(size_t unit, const std::vector<std::string>& words);
    std::string Fixture(size_t unit, const std::vector<std::string>& words);
    std::string Programmer(size_t unit, const std::vector<std::string>& words);
    std::string Settings(size_t unit, const std::vector<std::string>& words);
    std::string Show(size_t unit, const std::vector<std::string>& words);
    std::string RawNotify(size_t unit, const std::vector<std::string>& words);
    std::string Swap(size_t unit, const std::vector<std::string>& words);
    void Tell(size_t unit, uint32_t manager, uint32_t index0, uint32_t index1, uint32_t index2, uint32_t code);

    IControlTarget& m_target;
    size_t m_unit = 0;
};
}  // namespace standin
