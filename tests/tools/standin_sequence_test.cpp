// The stand-in's check of the program's numbering: what it counts as out of sequence, and what as
// frames its own socket dropped.
#include "tools/standin/sequence_check.h"

#include <gtest/gtest.h>

using standin::CSequenceCheck;
using standin::SEndpoint;

TEST(StandinSequenceCheck, FramesItsSocketDroppedAreCountedApartFromNumbersOutOfSequence)
{
    using V = CSequenceCheck::TVerdict;
    struct SFrame
    {
        const char* what;
        uint16_t sequence;
        size_t socket;
        uint32_t drops;  // the socket's count when the frame came
        V verdict;
    };
    const SFrame frames[] = {
        {"the first sets where the peer starts", 10, 0, 5, V::kInSequence},
        {"the next", 11, 0, 5, V::kInSequence},
        {"a resend", 11, 0, 5, V::kInSequence},
        {"a jump forward without drops", 13, 0, 5, V::kOutOfSequence},
        {"a jump of 3 over 2 drops", 16, 0, 7, V::kDropped},
        {"a jump of 3 over 1 drop", 19, 0, 8, V::kOutOfSequence},
        {"the next", 20, 0, 8, V::kInSequence},
        {"a number repeated out of place", 19, 0, 8, V::kOutOfSequence},
        {"a jump back over many drops", 18, 0, 80000, V::kOutOfSequence},
        {"a jump over drops of another socket", 21, 1, 0xFFFFFFFFu, V::kOutOfSequence},
        {"a jump of 2 over a drop, the count wrapping", 23, 1, 0, V::kDropped},
        {"back to 0 starts anew", 0, 1, 0, V::kInSequence},
        {"a jump back over the wrap", 65535, 1, 0, V::kOutOfSequence},
        {"and forward over it", 0, 1, 0, V::kInSequence},
    };
    CSequenceCheck check;
    SEndpoint peer;
    SEndpoint::Parse("127.0.0.1:40000", peer);
    uint16_t last = 0;
    for (const SFrame& frame : frames)
        EXPECT_EQ(check.Take(peer, frame.sequence, frame.socket, frame.drops, last), frame.verdict) << frame.what;
    EXPECT_EQ(check.GetOutOfSequence(), 6u);
    EXPECT_EQ(check.GetDropped(), 3u) << "frames";
}
