#include "tools/standin/control.h"

#include <gtest/gtest.h>

#include <array>

using standin::CControl;
using standin::CController;
using standin::SFaults;

namespace
{
class CFakeTarget : public standin::IControlTarget
{
public:
    SFaults& GetFaults() override { return faults; }
    size_t GetUnitCount() const override { return controllers.size(); }
    CController& GetController(size_t unit) override { return controllers[unit]; }
    void SendNotifies(size_t unit, const std::vector<CMessage>& notifies) override
    {
        for (const CMessage& notify : notifies)
            sent.emplace_back(unit, notify);
    }
    std::string SetLinkSource(const std::string& address) override
    {
        linkSource = address;
        return address == "bad" ? "not an address" : "";
    }
    uint64_t GetOutOfSequence() const override { return outOfSequence; }
    uint64_t GetDropped() const override { return 0; }
    void Stop() override { stopped = true; }

    SFaults faults;
    uint64_t outOfSequence = 0;
    std::array<CController, 2> controllers;
    std::vector<std::pair<size_t, CMessage>> sent;
    std::string linkSource;
    bool stopped = false;
};
}  // namespace

TEST(StandinControl, FaultSwitches)
{
    CFakeTarget target;
    CControl control(target);
    EXPECT_EQ(control.Execute("silent on"), "ok");
    EXPECT_TRUE(target.faults.silent);
    EXPECT_EQ(control.Execute("  silent   off  "), "ok");
    EXPECT_FALSE(target.faults.silent);
    EXPECT_EQ(control.Execute("delay 250"), "ok");
    EXPECT_EQ(target.faults.delayMs, 250u);
    EXPECT_EQ(control.Execute("drop 3"), "ok");
    EXPECT_EQ(target.faults.dropLink, 3u);
    EXPECT_EQ(control.Execute("unit-protocol off"), "ok");
    EXPECT_FALSE(target.faults.unit);
    EXPECT_EQ(control.Execute("notify-sequence 65535"), "ok");
    EXPECT_EQ(target.faults.notifySequence, 65535);
    EXPECT_EQ(control.Execute("notify-sequence off"), "ok");
    EXPECT_EQ(target.faults.notifySequence, -1);
    EXPECT_EQ(control.Execute("quirk caps-label on"), "ok");
    EXPECT_TRUE(target.faults.quirks.capitalLabelWord);
    EXPECT_EQ(control.Execute("link-source 127.0.0.9"), "ok");
    EXPECT_EQ(target.linkSource, "127.0.0.9");
    EXPECT_EQ(control.Execute("link-source bad"), "error not an address");
    EXPECT_EQ(control.Execute("misanswer group"), "ok");
    EXPECT_EQ(control.Execute("misanswer playback 63"), "ok");
    EXPECT_TRUE(target.faults.groupAsProgrammer);
    EXPECT_EQ(target.faults.misansweredPlayback, 63);
    EXPECT_NE(control.Execute("misanswer playback 64"), "ok");
    EXPECT_EQ(control.Execute("misanswer off"), "ok");
    EXPECT_FALSE(target.faults.groupAsProgrammer);
    EXPECT_EQ(target.faults.misansweredPlayback, -1);
    EXPECT_EQ(control.Execute("# a comment"), "ok");
    EXPECT_EQ(control.Execute(""), "ok");

    EXPECT_NE(control.Execute("delay soon"), "ok");
    EXPECT_NE(control.Execute("notify-sequence 70000"), "ok");
    EXPECT_NE(control.Execute("silent maybe"), "ok");
    EXPECT_NE(control.Execute("fly away"), "ok");
    EXPECT_EQ(control.Execute("quit"), "ok");
    EXPECT_TRUE(target.stopped);
}

TEST(StandinControl, ShowChangesAreToldWithTheirCode)
{
    CFakeTarget target;
    CControl control(target);
    EXPECT_EQ(control.Execute("playback 3 intensity 0.25"), "ok");
    EXPECT_FLOAT_EQ(target.controllers[0].GetShow().playbacks[3].intensity, 0.25f);
    ASSERT_EQ(target.sent.size(), 1u);
    EXPECT_EQ(target.sent[0].second.GetManager(), MANAGER_PLAYBACK);
    EXPECT_EQ(target.sent[0].second.GetIndex0(), 3u);
    EXPECT_EQ(target.sent[0].second.GetValue().GetUnsigned(), 290u);

    EXPECT_EQ(control.Execute("playback 3 label Front wash"), "ok");
    EXPECT_EQ(target.controllers[0].GetShow().playbacks[3].label, "Front wash");
    EXPECT_EQ(control.Execute("playback 3 count 2"), "ok");
    EXPECT_EQ(control.Execute("cue 3 1 fill 2 7"), "ok");
    EXPECT_EQ(target.sent.back().second.GetIndex2(), 2u);
    EXPECT_EQ(target.sent.back().second.GetValue().GetUnsigned(), 296u);
    EXPECT_EQ(control.Execute("cue 3 5 label x"), "error no such cue");

    EXPECT_EQ(control.Execute("@1 fixture 4 address 100"), "ok");
    EXPECT_EQ(target.controllers[1].GetShow().fixtures[4].address, 100u);
    EXPECT_EQ(target.sent.back().first, 1u);
    EXPECT_EQ(target.sent.back().second.GetValue().GetUnsigned(), 20u);
    EXPECT_EQ(control.Execute("@2 fixture 4 address 100"), "error no such unit");

    EXPECT_EQ(control.Execute("unit 1"), "ok");
    EXPECT_EQ(control.Execute("settings acn-universe 12"), "ok");
    EXPECT_EQ(target.controllers[1].GetShow().unit.acnUniverse, 12u);
    EXPECT_EQ(target.sent.back().second.GetManager(), MANAGER_ACN);
    EXPECT_EQ(target.sent.back().second.GetValue().GetUnsigned(), 23u);
    EXPECT_EQ(control.Execute("settings mac 00:11:22:33:44:55"), "ok");
    EXPECT_EQ(target.controllers[1].GetShow().unit.mac[5], 0x55u);
    EXPECT_EQ(control.Execute("settings firmware 3.4"), "ok");
    EXPECT_EQ(target.controllers[1].GetShow().unit.firmware[1], 4u);

    const size_t before = target.sent.size();
    EXPECT_EQ(control.Execute("notify 44 0 0 0 117 9"), "ok");
    ASSERT_EQ(target.sent.size(), before + 1);
    EXPECT_EQ(target.sent.back().second.GetSequence(), 9u);
    EXPECT_NE(control.Execute("notify 64 0 0 0 1"), "ok");

    EXPECT_EQ(control.Execute("@0 show playback 3").rfind("ok intensity=0.25", 0), 0u);
    EXPECT_EQ(control.Execute("digest").size(), 3u + 40u);

    // Told as a swap the controller was sent: "everything changed", then "cue count changed".
    const size_t told = target.sent.size();
    EXPECT_EQ(control.Execute("@0 swap 3 5"), "ok");
    EXPECT_EQ(target.controllers[0].GetShow().playbacks[5].label, "Front wash");
    ASSERT_EQ(target.sent.size(), told + 4);
    for (size_t i = 0; i < 4; ++i)
    {
        EXPECT_EQ(target.sent[told + i].second.GetIndex0(), i < 2 ? 3u : 5u);
        EXPECT_EQ(target.sent[told + i].second.GetValue().GetUnsigned(), i % 2 ? 3u : 0u);
    }
    EXPECT_NE(control.Execute("swap 3 3"), "ok");
}
