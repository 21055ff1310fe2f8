#pragma once

#include "link/message.h"
#include "tools/standin/show_state.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace standin
{
// What the controller answers to one link frame.
struct SLinkAnswer
{
    // The acknowledgement: a Get's value, or an empty echo of manager, command and indexes.
    CMessage reply;
    // What changed, told after the acknowledgement; each carries the request's sequence.
    std::vector<CMessage> notifies;
    // The frame repeated one already handled: the same reply again, nothing applied twice.
    bool duplicate = false;
};

// The link side of one stand-in unit: it keeps the show, answers every frame with one frame of
// the same sequence, and tells what changed with Notify records.
class CController
{
public:
    CController() = default;

    SShow& GetShow() { return m_show; }
    const SShow& GetShow() const { return m_show; }

    // Handles one datagram; false when it is no valid frame (nothing is answered then).
    bool HandleFrame(const uint8_t* bytes, size_t count, SLinkAnswer& answer);
    // Applies one record as if it had arrived, without the repeat check.
    SLinkAnswer Apply(const CMessage& request);

    // A Notify record of the given object and code.
    static CMessage MakeNotify(uint32_t manager, uint32_t index0, uint32_t index1, uint32_t index2,
                               uint32_t code, uint16_t sequence);

    // The sequence of the last frame handled, for changes made on the controller itself.
    uint16_t GetLastSequence() const { return m_lastSequence; }

private:
    struct SRecent
    {
        uint16_t sequence;
        std::vector<uint8_t> bytes;
        CMessage reply;
    };

    void ApplyPlaybackManager(const CMessage& request, SLinkAnswer& answer);
    void ApplyPlayback(const CMessage& request, SLinkAnswer& answer);
    void ApplyCue(const CMessage& request, SLinkAnswer& answer);
    void ApplyFixture(const CMessage& request, SLinkAnswer& answer);
    void ApplyProgrammer(const CMessage& request, SLinkAnswer& answer);
    void ApplyGroup(const CMessage& request, SLinkAnswer& answer);
    void ApplyOutput(const CMessage& request, SLinkAnswer& answer);
    void ApplyEngine(const CMessage& request, SLinkAnswer& answer);

    void Notify(SLinkAnswer& answer, uint32_t manager, uint32_t index0, uint32_t index1, uint32_t index2,
                uint32_t code);
    void LoadCue(uint32_t playback, uint32_t cue, SLinkAnswer& answer);
    void RecordCue(uint32_t playback, uint32_t cue, SLinkAnswer& answer);
    void ClearProgrammer(SLinkAnswer& answer);

    SShow m_show;
    // The groups the programmer has been given values for since it was last cleared.
    uint32_t m_touchedGroups = 0;
    uint16_t m_sequence = 0;
    uint16_t m_lastSequence = 0;
    std::deque<SRecent> m_recent;
};
}  // namespace standin
