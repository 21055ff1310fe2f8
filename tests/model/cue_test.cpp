#include "model/cue.h"

#include "foundation/base64.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "shell/app.h"
#include "shell/logger.h"
#include "tests/model/playback_test_support.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
// Playback 2 with three cues that the controller reported; cue 1 is the one under test.
class CueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        manager.SetSink(&sink);
        playback = manager.GetPlayback(2);
        manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, 2, 0, 0, CMessageValue(uint32_t(3))));
        cue = playback->GetCue(1);
        observer.Observe(cue);
        sink.sent.clear();
    }

    void Block(uint32_t block, const std::vector<uint8_t>& bytes)
    {
        manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_CUE_STREAM_BLOCK, 2, 1, block, Raw(bytes)));
    }

    // A block whose record holds one non-zero byte.
    static std::vector<uint8_t> OneByte(uint32_t record, uint32_t byte, uint8_t value = 0x40)
    {
        std::vector<uint8_t> bytes(CCue::kBlockSize, 0);
        bytes[record * CCue::kRecordSize + byte] = value;
        return bytes;
    }

    void Notify(uint32_t code, uint32_t index2 = 0)
    {
        manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_NOTIFY, 2, 1, index2, CMessageValue(code)));
    }

    CRecordingSink sink;
    CPlaybackManager manager;
    CPlayback* playback = nullptr;
    CCue* cue = nullptr;
    CCodeRecorder observer;
};
}  // namespace

TEST_F(CueTest, EachRecordByteMarksItsFixtureAndAttributeGroup)
{
    // Record byte -> attribute group, one byte from every value of the record.
    const std::pair<uint32_t, uint32_t> layout[] = {
        {0, 1},   {3, 1},   {4, 3},   {11, 5},  {12, 2},  {15, 2},  {16, 0},  {17, 0},  {18, 6},
        {20, 4},  {29, 4},  {30, 8},  {33, 9},  {34, 7},  {37, 12}, {38, 13}, {40, 11}, {42, 10},
        {45, 14}, {46, 15}, {49, 16},
    };
    for (const auto& [byte, group] : layout)
    {
        Block(1, OneByte(3, byte));
        EXPECT_EQ(cue->GetFixtureMask(), uint64_t(1) << 19) << byte;
        EXPECT_EQ(cue->GetAttributeMask(), 1u << group) << byte;
    }
    // Records of several blocks add up.
    std::vector<uint8_t> both = OneByte(0, 16);
    both[15 * CCue::kRecordSize + 25] = 1;
    Block(3, both);
    EXPECT_EQ(cue->GetFixtureMask(), (uint64_t(1) << 19) | (uint64_t(1) << 48) | (uint64_t(1) << 63));
    EXPECT_EQ(cue->GetAttributeMask(), (1u << 16) | 1u | (1u << 4));
}

TEST_F(CueTest, BlocksOfTheWrongNumberOrSizeOrUnchangedAreIgnored)
{
    Block(0, OneByte(0, 16));
    EXPECT_EQ(cue->GetFixtureMask(), 1u);
    cue->GetDigest();
    ASSERT_FALSE(cue->IsChanged());
    observer.codes.clear();

    Block(4, OneByte(1, 16));
    Block(0, std::vector<uint8_t>(799, 1));
    Block(0, std::vector<uint8_t>(801, 1));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_CUE_STREAM_BLOCK, 2, 1, 0, CMessageValue(uint32_t(7))));
    Block(0, OneByte(0, 16));
    EXPECT_EQ(cue->GetFixtureMask(), 1u);
    EXPECT_FALSE(cue->IsChanged());
    EXPECT_TRUE(observer.codes.empty());

    // A real change marks the digest stale but tells no one by itself.
    Block(0, OneByte(0, 17));
    EXPECT_TRUE(cue->IsChanged());
    EXPECT_EQ(cue->GetBlock(0)[17], 0x40);
    EXPECT_TRUE(observer.codes.empty());
}

TEST_F(CueTest, EmptyFlagFollowsTheMasksAndThePlaybackUnionsFollowWithinASecond)
{
    CCodeRecorder playbackObserver;
    playbackObserver.Observe(playback);
    EXPECT_TRUE(cue->IsEmpty());
    Block(0, OneByte(2, 30));
    Block(1, OneByte(2, 30));
    EXPECT_FALSE(cue->IsEmpty());
    EXPECT_EQ(observer.Count(CUE_NOTIFY_EMPTY), 1u);

    // Many block changes within one second rebuild the unions once.
    for (int frame = 0; frame < 25; ++frame)
        manager.Update(0.04f);
    manager.Update(0.04f);
    EXPECT_EQ(playback->GetFixtureMask(), (uint64_t(1) << 2) | (uint64_t(1) << 18));
    EXPECT_EQ(playback->GetAttributeMask(), 1u << 8);
    EXPECT_EQ(playbackObserver.Count(PLAYBACK_NOTIFY_FIXTURE_MASK), 1u);
    EXPECT_EQ(playbackObserver.Count(PLAYBACK_NOTIFY_ATTRIBUTE_MASK), 1u);

    // Clearing the last set record empties the cue once.
    Block(0, std::vector<uint8_t>(CCue::kBlockSize, 0));
    EXPECT_FALSE(cue->IsEmpty());
    Block(1, std::vector<uint8_t>(CCue::kBlockSize, 0));
    EXPECT_TRUE(cue->IsEmpty());
    EXPECT_EQ(observer.Count(CUE_NOTIFY_EMPTY), 2u);
    manager.Update(1.0f);
    EXPECT_EQ(playback->GetFixtureMask(), 0u);
    EXPECT_FALSE(playback->UsesAttributeGroup(8));
}

TEST_F(CueTest, NotifyCodesAskForWhatChanged)
{
    const std::pair<uint32_t, std::vector<std::string>> table[] = {
        {0, {"43/5/2/1/0", "43/39/2/1/0", "43/41/2/1/0", "43/43/2/1/0", "43/70/2/1/0", "43/70/2/1/1", "43/70/2/1/2",
             "43/70/2/1/3"}},
        {26, {"43/41/2/1/0"}},
        {293, {"43/41/2/1/0"}},
        {54, {"43/43/2/1/0"}},
        {90, {"43/39/2/1/0"}},
        {289, {"43/5/2/1/0"}},
        {296, {"43/70/2/1/2"}},
        {107, {}},
        {290, {}},
        {3, {}},
    };
    for (const auto& [code, expected] : table)
    {
        sink.sent.clear();
        Notify(code, 2);
        EXPECT_EQ(sink.Targets(), expected) << code;
    }
    // A block the cue has not, which only a forger names, is not asked for.
    sink.sent.clear();
    Notify(296, CCue::kBlockCount);
    EXPECT_TRUE(sink.sent.empty());
}

TEST_F(CueTest, HighlightRunsDownForASecondTellingEveryFrame)
{
    Notify(107);
    EXPECT_FLOAT_EQ(cue->GetHighlight(), 1.0f);
    EXPECT_TRUE(sink.sent.empty());
    int frames = 0;
    while (cue->GetHighlight() > 0.0f && frames < 100)
    {
        cue->Update(0.04f);
        ++frames;
    }
    EXPECT_GE(frames, 25);
    EXPECT_LE(frames, 26);
    EXPECT_EQ(observer.Count(CUE_NOTIFY_HIGHLIGHT), static_cast<size_t>(frames));
    cue->Update(0.04f);
    EXPECT_EQ(observer.Count(CUE_NOTIFY_HIGHLIGHT), static_cast<size_t>(frames));
}

TEST_F(CueTest, SettersSendOnlyChangesAndRepliesStoreThem)
{
    cue->SetLabel("");
    cue->SetCondition(0);
    cue->SetFadeTime(CTime());
    EXPECT_TRUE(sink.sent.empty());

    cue->SetLabel("Look");
    cue->SetFadeTime(CTime(1.5));
    cue->SetDelayTime(CTime(0.25));
    cue->SetCondition(1);
    ASSERT_EQ(sink.Targets(), (std::vector<std::string>{"43/6/2/1/0", "43/42/2/1/0", "43/44/2/1/0", "43/40/2/1/0"}));
    EXPECT_EQ(sink.sent[0].GetValue().GetString(), "Look");
    EXPECT_EQ(sink.sent[1].GetValue().GetUnsigned(), 1500u);
    EXPECT_EQ(sink.sent[2].GetValue().GetUnsigned(), 250u);
    // The mirror is untouched until the controller answers.
    EXPECT_EQ(cue->GetLabel(), "");

    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 1, 0, CMessageValue("Look")));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_FADE_TIME, 2, 1, 0, CMessageValue(uint32_t(1500))));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_DELAY_TIME, 2, 1, 0, CMessageValue(uint32_t(250))));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_CONDITION, 2, 1, 0, CMessageValue(uint32_t(1))));
    EXPECT_EQ(cue->GetLabel(), "Look");
    EXPECT_EQ(cue->GetFadeTime().GetMilliseconds(), 1500u);
    EXPECT_EQ(cue->GetDelayTime().GetMilliseconds(), 250u);
    EXPECT_EQ(cue->GetCondition(), 1u);
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{CUE_NOTIFY_LABEL, CUE_NOTIFY_FADE, CUE_NOTIFY_DELAY,
                                                     CUE_NOTIFY_CONDITION}));

    // The same replies again, or replies without a value, tell nothing.
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 1, 0, CMessageValue("Look")));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_FADE_TIME, 2, 1, 0, CMessageValue(uint32_t(1500))));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 1, 0, CMessageValue()));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_CONDITION, 2, 1, 0, CMessageValue()));
    EXPECT_EQ(observer.codes.size(), 4u);
    EXPECT_EQ(cue->GetLabel(), "Look");

    sink.sent.clear();
    cue->SetLabel("Look");
    cue->SetFadeTime(CTime(1.5));
    EXPECT_TRUE(sink.sent.empty());
}

TEST_F(CueTest, DigestFollowsTheFieldsButNotTheStream)
{
    const CDigest empty = cue->GetDigest();
    Block(0, OneByte(0, 16));
    EXPECT_EQ(cue->GetDigest(), empty);
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 1, 0, CMessageValue("A")));
    EXPECT_NE(cue->GetDigest(), empty);
}

TEST_F(CueTest, SaveWritesChangedFieldsAndFourBlocks)
{
    const auto saved = [&] {
        TiXmlElement element("cue");
        cue->Save(element);
        TiXmlPrinter printer;
        printer.SetStreamPrinting();
        element.Accept(&printer);
        return std::string(printer.CStr());
    };
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 1, 0, CMessageValue("Only a label")));
    EXPECT_EQ(saved(), "<cue label=\"Only a label\"><blocks><block /><block /><block /><block /></blocks></cue>");

    const std::vector<uint8_t> bytes = OneByte(7, 44, 0xAB);
    Block(2, bytes);
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_CONDITION, 2, 1, 0, CMessageValue(uint32_t(1))));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_FADE_TIME, 2, 1, 0, CMessageValue(uint32_t(3000))));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_DELAY_TIME, 2, 1, 0, CMessageValue(uint32_t(1500))));
    EXPECT_EQ(saved(), "<cue label=\"Only a label\" condition=\"Follow\" delay=\"00-00-01-50\" fade=\"00-00-03-00\">"
                       "<blocks><block /><block /><block>" + Base64Encode(bytes) + "</block><block /></blocks></cue>");
}

TEST_F(CueTest, LoadSendsWhatTheElementHolds)
{
    const std::vector<uint8_t> bytes = OneByte(1, 1, 7);
    const std::string encoded = Base64Encode(bytes);
    TiXmlDocument document;
    document.Parse(("<cue label='Look' condition='FOLLOW' delay='00-00-01-50' fade='2s'><blocks>"
                    "<block>" + encoded + "</block><block/></blocks></cue>").c_str());
    cue->Load(document.RootElement());
    const std::vector<std::string> expected = {
        "43/71/2/1/0", "43/71/2/1/1", "43/71/2/1/2", "43/71/2/1/3",  // the blocks, always
        "43/6/2/1/0",  "43/44/2/1/0", "43/42/2/1/0", "43/40/2/1/0",  // label, delay, fade, condition
    };
    ASSERT_EQ(sink.Targets(), expected);
    const uint8_t* first = sink.sent[0].GetValueRef().GetRawData();
    ASSERT_EQ(sink.sent[0].GetValueRef().GetRawSize(), CCue::kBlockSize);
    EXPECT_EQ(std::vector<uint8_t>(first, first + CCue::kBlockSize), bytes);
    for (int i = 1; i < 4; ++i)
    {
        ASSERT_EQ(sink.sent[i].GetValueRef().GetRawSize(), CCue::kBlockSize);
        const uint8_t* raw = sink.sent[i].GetValueRef().GetRawData();
        EXPECT_TRUE(std::all_of(raw, raw + CCue::kBlockSize, [](uint8_t b) { return b == 0; })) << i;
    }
    EXPECT_EQ(sink.sent[5].GetValue().GetUnsigned(), 1500u);
    EXPECT_EQ(sink.sent[6].GetValue().GetUnsigned(), 2000u);
    EXPECT_EQ(sink.sent[7].GetValue().GetUnsigned(), 1u);
    // Told twice: after the blocks and after the whole cue.
    EXPECT_EQ(observer.Count(0), 2u);
}

TEST_F(CueTest, LoadSkipsBlocksThatDoNotDecodeAndCountsOnlyElementsAsPositions)
{
    const std::string good = Base64Encode(OneByte(0, 0, 1));
    const std::string longer = Base64Encode(std::vector<uint8_t>(CCue::kBlockSize + 1, 1));
    TiXmlDocument document;
    document.Parse(("<cue><blocks><!-- block 0 --><block>" + good.substr(0, 100) + "</block><block>" + good +
                    "</block><block>" + longer + "</block><block/></blocks></cue>").c_str());
    cue->Load(document.RootElement());
    // The comment takes no block's place: block 0 is cut short and block 2 too long, so only
    // block 1 and the empty block 3 go.
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"43/71/2/1/1", "43/71/2/1/3"}));
}

TEST_F(CueTest, ValuesThatDoNotReadOrDoNotFitTheControllerAreLogged)
{
    char name[] = "tests_model";
    char* argv[] = {name, nullptr};
    CApp app(CVersion(1, 7, 0), 1, argv);
    TiXmlDocument document;
    document.Parse("<cue delay='1193:02:48' fade='slow' condition='Wait'><blocks><block>!!</block></blocks></cue>");
    cue->Load(document.RootElement(), true);
    // No time would have reached the controller whole: both stay zero.
    EXPECT_EQ(sink.sent[4].GetValue().GetUnsigned(), 0u);
    EXPECT_EQ(sink.sent[5].GetValue().GetUnsigned(), 0u);
    // A condition of no known name goes as unknown, and is said; the name this program writes
    // for one the controller reported unknown reads as it was written.
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_SET_CONDITION).at(0).GetValue().GetUnsigned(), CCue::kConditionUnknown);
    TiXmlDocument own;
    own.Parse("<cue condition='Unknown'/>");
    cue->Load(own.RootElement(), true);
    // A time read only in part is read as before, and said.
    sink.sent.clear();
    TiXmlDocument partly;
    partly.Parse("<cue delay='00-00-05' fade='00-00-02-5'/>");
    cue->Load(partly.RootElement(), true);
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_SET_DELAY_TIME).at(0).GetValue().GetUnsigned(), 0u);
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_SET_FADE_TIME).at(0).GetValue().GetUnsigned(), 2050u);
    std::vector<std::string> lines = CApp::GetLogger()->GetLines();
    lines.erase(lines.begin());
    for (std::string& line : lines)
        line = line.substr(line.find("] ") + 2);
    EXPECT_EQ(lines, (std::vector<std::string>{"[Show] Not read, sent as unknown: cue condition=\"Wait\"",
                                               "[Show] Not read, default kept: cue delay=\"1193:02:48\"",
                                               "[Show] Not read, default kept: cue fade=\"slow\"",
                                               "[Show] Not read, default kept: block \"!!\"",
                                               "[Show] Read in part, as 0s: cue delay=\"00-00-05\""}));
}

TEST_F(CueTest, CueWithoutBlocksEmptiesTheControllersCue)
{
    Block(0, OneByte(0, 16));
    TiXmlDocument document;
    document.Parse("<cue label='x'/>");
    cue->Load(document.RootElement());
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"43/71/2/1/0", "43/71/2/1/1", "43/71/2/1/2", "43/71/2/1/3",
                                                         "43/6/2/1/0"}));
    // The mirror waits for the controller's blocks.
    EXPECT_EQ(cue->GetFixtureMask(), 1u);
}

TEST(Cue, ConditionNamesMatchWholeWordsInAnyCase)
{
    EXPECT_EQ(CCue::ConditionName(2), "Unknown");
    EXPECT_EQ(CCue::ParseCondition("follow"), 1u);
    EXPECT_EQ(CCue::ParseCondition("HALT"), 0u);
    EXPECT_EQ(CCue::ParseCondition("Follows"), 2u);
}

