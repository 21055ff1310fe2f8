#include "model/playback_manager.h"

#include "model/cue.h"
#include "model/playback.h"
#include "tests/model/playback_test_support.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>


namespace
{
class PlaybackManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        manager.SetSink(&sink);
        observer.Observe(&manager);
    }

    // Loads a "playbacks" element and returns which playbacks were cleared and which loaded (a
    // loaded playback sends its cue count first).
    void Load(const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        sink.sent.clear();
        manager.Load(document.RootElement());
        cleared.clear();
        loaded.clear();
        for (const CMessage& m : sink.sent)
        {
            if (m.GetManager() == MANAGER_PLAYBACK && m.GetCommand() == COMMAND_CLEAR)
                cleared.push_back(m.GetIndex0());
            if (m.GetManager() == MANAGER_PLAYBACK && m.GetCommand() == COMMAND_SET_COUNT)
                loaded.push_back(m.GetIndex0());
        }
    }

    // Indexes from..to, both included.
    static std::vector<uint32_t> Range(uint32_t from, uint32_t to)
    {
        std::vector<uint32_t> range;
        for (uint32_t i = from; i <= to; ++i)
            range.push_back(i);
        return range;
    }
    static std::vector<uint32_t> Join(std::vector<uint32_t> a, const std::vector<uint32_t>& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    CRecordingSink sink;
    CPlaybackManager manager;
    CCodeRecorder observer;
    std::vector<uint32_t> cleared;
    std::vector<uint32_t> loaded;
};
}  // namespace

TEST_F(PlaybackManagerTest, PagesWrapAtEitherEnd)
{
    manager.SetPage(-1);
    EXPECT_EQ(manager.GetPage(), 7u);
    manager.SetPage(8);
    EXPECT_EQ(manager.GetPage(), 0u);
    manager.SetPage(0);
    manager.SetPage(3);
    EXPECT_EQ(manager.GetPage(), 3u);
    EXPECT_EQ(observer.codes, std::vector<uint32_t>(3, PLAYBACK_MANAGER_NOTIFY_PAGE));

    CCodeRecorder page;
    CSubjectSet set(5);
    manager.AttachPage(&page, nullptr);
    EXPECT_FALSE(page.IsObserving(manager.GetPlayback(24)));
    manager.AttachPage(&page, &set);
    EXPECT_TRUE(page.IsObserving(manager.GetPlayback(24)));
    EXPECT_TRUE(page.IsObserving(manager.GetPlayback(28)));
    EXPECT_FALSE(page.IsObserving(manager.GetPlayback(29)));
    manager.SetPage(4);
    manager.AttachPage(&page, &set);
    EXPECT_FALSE(page.IsObserving(manager.GetPlayback(24)));
    EXPECT_TRUE(page.IsObserving(manager.GetPlayback(32)));
}

TEST_F(PlaybackManagerTest, ClickModesToggleAndReleaseAllEndsThem)
{
    manager.ToggleMode(CPlaybackManager::kModeSwap);
    EXPECT_EQ(manager.GetMode(), CPlaybackManager::kModeSwap);
    manager.ToggleMode(CPlaybackManager::kModeSwap);
    EXPECT_EQ(manager.GetMode(), CPlaybackManager::kModeNone);
    EXPECT_EQ(observer.Count(PLAYBACK_MANAGER_NOTIFY_MODE), 2u);
    manager.SetMode(CPlaybackManager::kModeNone);
    EXPECT_EQ(observer.Count(PLAYBACK_MANAGER_NOTIFY_MODE), 2u);

    manager.ReleaseAll();
    EXPECT_EQ(observer.Count(PLAYBACK_MANAGER_NOTIFY_MODE), 2u);
    manager.SetMode(CPlaybackManager::kModeRename);
    manager.ReleaseAll();
    EXPECT_EQ(manager.GetMode(), CPlaybackManager::kModeNone);
    EXPECT_EQ(observer.Count(PLAYBACK_MANAGER_NOTIFY_MODE), 4u);
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"40/66/0/0/0", "40/66/0/0/0"}));
    EXPECT_TRUE(sink.sent[0].GetValue().GetType() == VALUE_NONE);

    sink.sent.clear();
    manager.SwapPlaybacks(3, 5);
    EXPECT_EQ(sink.Targets(), std::vector<std::string>{"40/73/3/5/0"});
    // The model waits for the controller's report.
    EXPECT_TRUE(observer.codes.size() == 4u);
}

TEST_F(PlaybackManagerTest, OnlyNotifyZeroMakesEveryPlaybackAskAgain)
{
    manager.ApplyMessage(Reply(MANAGER_PLAYBACK_MANAGER, COMMAND_NOTIFY, 0, 0, 0, CMessageValue(uint32_t(3))));
    manager.ApplyMessage(Reply(MANAGER_PLAYBACK_MANAGER, COMMAND_GET_LABEL, 0, 0, 0, CMessageValue(uint32_t(0))));
    EXPECT_TRUE(sink.sent.empty());

    manager.ApplyMessage(Reply(MANAGER_PLAYBACK_MANAGER, COMMAND_NOTIFY, 0, 0, 0, CMessageValue(uint32_t(0))));
    ASSERT_EQ(sink.sent.size(), 64u * 4u);
    EXPECT_EQ(CRecordingSink::Target(sink.sent[0]), "41/48/0/0/0");
    EXPECT_EQ(CRecordingSink::Target(sink.sent[255]), "41/21/63/0/0");
}

TEST_F(PlaybackManagerTest, RecordsRouteByPlaybackIndex)
{
    manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_LABEL, 9, 0, 0, CMessageValue("Nine")));
    manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_LABEL, 64, 0, 0, CMessageValue("Lost")));
    manager.ApplyMessage(Reply(MANAGER_CUE_MANAGER, COMMAND_GET_LABEL, 1, 0, 0, CMessageValue("Other")));
    manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, 1, 0, 0, CMessageValue(uint32_t(1))));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 1, 0, 0, CMessageValue("Cue")));
    manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 65, 0, 0, CMessageValue("Lost")));
    EXPECT_EQ(manager.GetPlayback(9)->GetLabel(), "Nine");
    EXPECT_EQ(manager.GetPlayback(1)->GetLabel(), "");
    EXPECT_EQ(manager.GetPlayback(1)->GetCue(0)->GetLabel(), "Cue");
}

TEST_F(PlaybackManagerTest, LoadClearsEveryPlaybackTheFileDoesNotName)
{
    Load("<playbacks><playback index='5'/></playbacks>");
    EXPECT_EQ(loaded, std::vector<uint32_t>{5});
    EXPECT_EQ(cleared, Join(Range(0, 4), Range(6, 63)));
    EXPECT_TRUE(manager.IsChanged());

    Load("<playbacks><playback/><playback/></playbacks>");
    EXPECT_EQ(loaded, (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(cleared, Range(2, 63));

    Load("<playbacks/>");
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(cleared, Range(0, 63));

    // A comment takes no playback's place.
    Load("<playbacks><!-- x --><playback label='B'/><!-- y --></playbacks>");
    EXPECT_EQ(loaded, (std::vector<uint32_t>{0}));
    EXPECT_EQ(cleared, Range(1, 63));
}

TEST_F(PlaybackManagerTest, LoadFollowsTheRunningIndexAndStillClearsTheGaps)
{
    // 7 clears 0..6; 2 is loaded after its clear; the next child without index goes to 9; the
    // gap at 8 is cleared at the end although the running index passed it.
    Load("<playbacks><playback index='7'/><playback index='2'/><playback/></playbacks>");
    EXPECT_EQ(loaded, (std::vector<uint32_t>{7, 2, 9}));
    EXPECT_EQ(cleared, Join(Join(Range(0, 6), {8}), Range(10, 63)));
    // Playback 2 is cleared before it is loaded, so its content arrives whole.
    const auto clear2 = std::find_if(sink.sent.begin(), sink.sent.end(), [](const CMessage& m) {
        return m.GetCommand() == COMMAND_CLEAR && m.GetIndex0() == 2;
    });
    const auto load2 = std::find_if(sink.sent.begin(), sink.sent.end(), [](const CMessage& m) {
        return m.GetCommand() == COMMAND_SET_COUNT && m.GetIndex0() == 2;
    });
    EXPECT_LT(clear2 - sink.sent.begin(), load2 - sink.sent.begin());
}

TEST_F(PlaybackManagerTest, LoadSurvivesIndexesOutOfRangeOrMalformed)
{
    Load("<playbacks><playback index='x1'/><playback index='3 '/><playback index='2x'/><button index='5'/>"
         "<playback index='1000'/><playback/><playback index='-3'/><playback index=' 40'/><playback index='62'/>"
         "</playbacks>");
    // An index that does not read whole is as good as none: "x1" takes the first playback and
    // "2x" the one after 3, which blanks around it do not keep from reading. The element of
    // another name is no playback. 1000 names nothing, but clears every playback from the running
    // index up to the end and moves the running index past it; -3 names nothing. So 40 and 62 are
    // loaded after they were cleared, and nothing else holds content.
    EXPECT_EQ(loaded, (std::vector<uint32_t>{0, 3, 4, 40, 62}));
    EXPECT_EQ(cleared, Join({1, 2}, Range(5, 63)));
    EXPECT_EQ(CRecordingSink::Target(sink.sent.back()), "41/58/62/0/0");
}

TEST_F(PlaybackManagerTest, LoadReadsEachPlaybackAndCueListOnceHoweverOftenTheFileGivesThem)
{
    // What a file queues: the same as the file with only the last element that names each
    // playback, and only the last cue list of each, which stand as the file is read in order
    // (clears of playbacks named by none may come in another order).
    const auto sent = [](const std::string& xml) {
        CRecordingSink out;
        CPlaybackManager fresh;
        fresh.SetSink(&out);
        TiXmlDocument document;
        document.Parse(("<playbacks>" + xml + "</playbacks>").c_str());
        fresh.Load(document.RootElement());
        std::vector<std::string> records = out.TargetsAndValues();
        std::sort(records.begin(), records.end());
        return records;
    };
    const auto repeat = [](const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i)
            out += text;
        return out;
    };
    const std::string cues = "<cues>" + repeat("<cue label='A' fade='1s'/>", 48) + "</cues>";
    const std::string others = "<cues>" + repeat("<cue label='B'/>", 48) + "</cues>";
    const struct
    {
        const char* what;
        std::string xml;
        std::string once;
    } rows[] = {
        {"a playback named 1,000 times", repeat("<playback index='3' label='A'/><playback index='3' label='B'/>", 500),
         "<playback index='3' label='B'/>"},
        {"named again by the running index", "<playback label='A'/><playback index='0' label='B'/><playback/>",
         "<playback label='B'/><playback index='2'/>"},
        {"named again after a higher one", "<playback index='2' label='A'/><playback index='5'/><playback index='2'/>",
         "<playback index='2'/><playback index='5'/>"},
        {"1,000 cue lists", "<playback index='0'>" + repeat(others, 999) + cues + "</playback>",
         "<playback index='0'>" + cues + "</playback>"},
    };
    for (const auto& row : rows)
    {
        const std::vector<std::string> once = sent(row.once);
        EXPECT_EQ(sent(row.xml), once) << row.what;
        EXPECT_LE(once.size(), 64u + 1u + 48u * 8u + 8u) << row.what;
    }
}

TEST_F(PlaybackManagerTest, SaveWritesThePlaybacksThatHoldSomething)
{
    TiXmlElement none("playbacks");
    manager.Save(none);
    EXPECT_EQ(none.FirstChild(), nullptr);

    manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_LABEL, 12, 0, 0, CMessageValue("B")));
    manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, 3, 0, 0, CMessageValue(uint32_t(1))));
    TiXmlElement some("playbacks");
    manager.Save(some);
    std::vector<std::string> indexes;
    for (const TiXmlElement* child = some.FirstChildElement(); child; child = child->NextSiblingElement())
        indexes.push_back(child->Attribute("index"));
    EXPECT_EQ(indexes, (std::vector<std::string>{"3", "12"}));
}

TEST_F(PlaybackManagerTest, SelectionIsLocal)
{
    EXPECT_EQ(manager.GetSelectedPlayback(), nullptr);
    manager.SetSelection({manager.GetPlayback(4), manager.GetPlayback(2)});
    EXPECT_EQ(manager.GetSelectedPlayback(), manager.GetPlayback(4));
    manager.SetSelection(manager.GetSelection());
    EXPECT_EQ(manager.GetSelection().size(), 2u);
    manager.SelectPlayback(manager.GetPlayback(9));
    EXPECT_EQ(manager.GetSelection(), std::vector<CPlayback*>{manager.GetPlayback(9)});
    EXPECT_TRUE(sink.sent.empty());
    EXPECT_TRUE(observer.codes.empty());
}
