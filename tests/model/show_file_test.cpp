#include "model/show_file.h"

#include "bench/full_show.h"
#include "foundation/notify_codes.h"
#include "foundation/version.h"
#include "foundation/xml_file.h"
#include "link/device_manager.h"
#include "link/message.h"
#include "link/message_frame.h"
#include "model/core.h"
#include "model/playback_manager.h"
#include "model/show_file_list.h"
#include "model/show_xml.h"
#include "shell/app.h"
#include "shell/logger.h"
#include "shell/translator.h"
#include "tests/model/playback_test_support.h"
#include "tests/model/show_test_support.h"
#include "tests/support/memory_use.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>

using namespace showtest;

namespace
{
// The phrases of a failed save, as the German language file has them.
class CGermanPhrases : public CTranslator
{
public:
    std::string Translate(const std::string& text, bool) const override
    {
        if (text == "The show \"%1\" could not be saved: %2.")
            return "Die Show \xE2\x80\x9E%1\xE2\x80\x9C konnte nicht gespeichert werden: %2.";
        if (text == "the file or its folder is missing")
            return "die Datei oder ihr Ordner fehlt";
        if (text == "the symbolic links that lead to it go round in a loop or are more than 40")
            return "die symbolischen Verkn\xC3\xBCpfungen dorthin f\xC3\xBChren im Kreis oder sind mehr als 40";
        return text;
    }
};

class ShowFileTest : public ::testing::Test
{
protected:
    void SetUp() override { folder = FreshTestFolder().string(); }
    void TearDown() override { core.reset(); }

    std::string Path(const std::string& name) const { return folder + "/" + name; }

    // A model root whose link is silent and runs no threads; its playbacks send into the sink.
    void CreateCore()
    {
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets.emplace();
        setup.optionsFolder = folder;
        setup.showFolder = folder;
        core = CCore::Create(0, nullptr, setup);
        core->GetPlaybackManager()->SetSink(&sink);
    }

    // Chooses a controller: the resync's requests wait in the outgoing queue.
    void Connect() { core->GetDeviceManager()->SetConnectedAddress(CIpAddress(10, 0, 0, 9)); }

    // The link drains and two ticks pass.
    void Settle()
    {
        core->GetDeviceManager()->ClearQueue();
        core->Update(0.04f);
        core->Update(0.04f);
    }

    std::vector<std::string> PlaybackLabelsSent() const
    {
        std::vector<std::string> labels;
        for (const CMessage& m : sink.Find(MANAGER_PLAYBACK, COMMAND_SET_LABEL))
            labels.push_back(std::to_string(m.GetIndex0()) + ":" + m.GetValue().GetString());
        return labels;
    }

    std::string folder;
    CSilentNetwork network;
    CRecordingSink sink;
    std::unique_ptr<CCore> core;
};

const char* const kShowWithPlayback2 =
    "<?xml version=\"1.0\" ?><show application=\"Tanzo\"><fixtures><fixture index=\"1\" label=\"Par\"/></fixtures>"
    "<playbacks><playback index=\"2\" label=\"Intro\"/></playbacks></show>";
}  // namespace

TEST_F(ShowFileTest, FlagsComeFromTheShowElement)
{
    // What stands before the root may be longer than any single read, and what follows it is not
    // read at all: here it would refuse the file.
    const std::string prolog = "<?xml version=\"1.0\"?>\n<!--" + std::string(200000, ' ') + "-->\n<?pi x?>\n" +
                               "<!DOCTYPE show SYSTEM \"show.dtd\">\n";
    struct Row
    {
        std::string xml;
        bool readOnly;
        bool mainProduct;
    };
    const Row rows[] = {
        {"<show application=\"LUMIVO\"/>", true, true},
        {"<show application=\"lumivo\" readonly=\"false\"/>", true, true},
        {"<show application=\"Tanzo\" readonly=\"True\"/>", true, false},
        {"<show application=\"Tanzo\" readonly=\"false\"/>", false, false},
        {"<show application=\"Tanzo\" readonly=\"yes\"/>", false, false},
        {"<show/>", false, false},
        {"<show readonly=\"TRUE\"/>", true, false},
        {"<other application=\"Lumivo\"/>", false, false},
        // Only the root's start tag is read, from behind what may stand before it.
        {"\xEF\xBB\xBF<?xml version=\"1.0\" ?>\n<!-- <show readonly=\"true\"> -->\n<!DOCTYPE show>\n"
         "<show label='a > b' application=\"Tanzo\"\nreadonly=\"true\"><fixtures>",
         true, false},
        {"<show application=\"Lumivo&#x20;\"></show>", false, false},
        // Flags read however they are written, behind however long a value.
        {"<show label=\"" + std::string(1 << 20, 'x') + "\" readonly=\"&#x74;&#0000114;u&#101;\"/>", true, false},
        {"<show application=lumivo>", true, true},
        // A name given twice is no show the reader reads.
        {"<show readonly=\"false\" readonly=\"false\"/>", true, false},
        {prolog + "<show readonly=\"true\"><fixtures>a < b", true, false},
        {Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<show readonly=\"true\">"), true, false},
        {Utf16("<show application=\"Lumivo\">", false, true), true, true},
        {"<?xml version=\"1.0\" encoding=\"utf-16\"?><show application=\"Lumivo\">", true, true},
        // Flags that cannot be read may be those of a read-only show.
        {"text <show/>", true, false},
        {"<show application=\"Tanzo\"", true, false},
        {"", true, false},
        {"<?xml version=\"1.0\" encoding=\"x-martian\"?><show/>", true, false},
    };
    for (const Row& row : rows)
    {
        WriteText(Path("a.show"), row.xml);
        const CFile file(nullptr, nullptr, Path("a.show"));
        EXPECT_EQ(file.IsReadOnly(), row.readOnly) << row.xml;
        EXPECT_EQ(file.IsMainProductShow(), row.mainProduct) << row.xml;
    }

    // Without "application" a file keeps what its last refresh found.
    WriteText(Path("b.show"), "<show application=\"Lumivo\"/>");
    CFile file(nullptr, nullptr, Path("b.show"));
    WriteText(Path("b.show"), "<show/>");
    file.Refresh();
    EXPECT_TRUE(file.IsReadOnly());
    EXPECT_TRUE(file.IsMainProductShow());
    // Neither does a file that is not XML any more, though its size is read.
    const std::string unfinished = "<show application=\"Tanzo\"";
    WriteText(Path("b.show"), unfinished);
    file.Refresh();
    EXPECT_TRUE(file.IsReadOnly());
    EXPECT_EQ(file.GetSize(), unfinished.size());
    std::remove(Path("b.show").c_str());
    file.Refresh();
    EXPECT_EQ(file.GetSize(), 0u);
}

TEST_F(ShowFileTest, NameSizeAndDateTexts)
{
    EXPECT_EQ(CFile(nullptr, nullptr, Path("my.show.show")).GetName(), "my.show");
    EXPECT_EQ(CFile(nullptr, nullptr, Path("plain")).GetName(), "plain");
    EXPECT_EQ(CFile(nullptr, nullptr, Path("X.SHOW")).GetName(), "X");

    const std::pair<off_t, const char*> sizes[] = {
        {0, "0 bytes"}, {1023, "1023 bytes"}, {1024, "1 kB"}, {1048575, "1023 kB"}, {1048576, "1 MB"},
        {5 * 1048576 + 7, "5 MB"}};
    for (const auto& [size, text] : sizes)
    {
        WriteText(Path("s.show"), "");
        ASSERT_EQ(::truncate(Path("s.show").c_str(), size), 0);
        EXPECT_EQ(CFile(nullptr, nullptr, Path("s.show")).GetSizeText(), text);
    }

    const CFile missing(nullptr, nullptr, Path("missing.show"));
    EXPECT_EQ(missing.GetDate(), CFile::kNoDate);
    EXPECT_EQ(missing.GetDateText(), "not-a-date-time 00:00");

    // The local date and time of the last change.
    std::tm local = {};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 14;
    local.tm_min = 7;
    local.tm_sec = 30;
    local.tm_isdst = -1;
    const timeval times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    ASSERT_EQ(::utimes(Path("s.show").c_str(), times), 0);
    EXPECT_EQ(CFile(nullptr, nullptr, Path("s.show")).GetDateText(), "2024-Mar-05 14:07");
}

TEST_F(ShowFileTest, AnEmptyShowHoldsTheSystemAndEmptyLists)
{
    CFile file(nullptr, nullptr, Path("new.show"));
    CCodeRecorder observer;
    observer.Observe(&file);
    ASSERT_TRUE(file.Save(true)) << file.GetError();
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{FILE_NOTIFY_SAVED, NOTIFY_UNKNOWN}));
    EXPECT_GT(file.GetSize(), 0u);
    EXPECT_NE(file.GetDate(), CFile::kNoDate);

    const std::string text = ReadText(Path("new.show"));
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>", 0), 0u) << text;
    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile(Path("new.show").c_str()));
    const TiXmlElement* show = document.RootElement();
    ASSERT_NE(show, nullptr);
    EXPECT_STREQ(show->Value(), "show");
    EXPECT_STREQ(show->Attribute("application"), "Tanzo");
    EXPECT_EQ(show->Attribute("version"), FormatVersion(CApp::GetVersion()));
    EXPECT_EQ(show->Attribute("readonly"), nullptr);
    std::string children;
    for (const TiXmlElement* child = show->FirstChildElement(); child; child = child->NextSiblingElement())
        children += std::string(child->Value()) + (child->FirstChild() ? "+" : "") + " ";
    EXPECT_EQ(children, "system+ fixtures playbacks ");
    // Without a controller the device is described by nothing.
    const TiXmlElement* system = show->FirstChildElement("system");
    EXPECT_EQ(Canonical(system->FirstChildElement("device")), "/device\n");
    EXPECT_STREQ(system->FirstChildElement("host")->FirstChildElement("os")->GetText(), "Linux");

    // The new file replaced nothing half-way: no temporary file is left beside it.
    std::vector<std::string> entries;
    for (const auto& entry : boost::filesystem::directory_iterator(folder))
        entries.push_back(entry.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"new.show"});
}

TEST_F(ShowFileTest, AFailedSaveKeepsTheOldFileAndIsNotAnnounced)
{
    // Read-only: nothing written, nothing told.
    WriteText(Path("locked.show"), "<show application=\"Tanzo\" readonly=\"true\"/>");
    CFile locked(nullptr, nullptr, Path("locked.show"));
    CCodeRecorder observer;
    observer.Observe(&locked);
    EXPECT_FALSE(locked.Save(true));
    EXPECT_NE(locked.GetError().find("read-only"), std::string::npos) << locked.GetError();
    EXPECT_EQ(ReadText(Path("locked.show")), "<show application=\"Tanzo\" readonly=\"true\"/>");
    EXPECT_TRUE(observer.codes.empty());

    // Something that is not a file stands at the path: it stays as it was.
    boost::filesystem::create_directory(Path("taken.show"));
    WriteText(Path("taken.show/inside"), "kept");
    CFile taken(nullptr, nullptr, Path("taken.show"));
    observer.Observe(&taken);
    EXPECT_FALSE(taken.Save(true));
    EXPECT_NE(taken.GetError().find("could not be saved"), std::string::npos) << taken.GetError();
    EXPECT_EQ(ReadText(Path("taken.show/inside")), "kept");

    // The folder went away after the listing. The operator is told in the interface's language.
    boost::filesystem::create_directory(Path("gone"));
    CFile orphan(nullptr, nullptr, Path("gone/show.show"));
    observer.Observe(&orphan);
    boost::filesystem::remove(Path("gone"));
    CApp::SetLanguageManager(std::make_unique<CGermanPhrases>());
    EXPECT_FALSE(orphan.Save(true));
    CApp::SetLanguageManager(nullptr);
    EXPECT_EQ(orphan.GetError(), "Die Show \xE2\x80\x9Eshow\xE2\x80\x9C konnte nicht gespeichert werden: die Datei oder "
                                 "ihr Ordner fehlt.");
    EXPECT_TRUE(observer.codes.empty());

    // A show that has become read-only on disk since it was described: it stays, and the list
    // hears of it.
    WriteText(Path("changed.show"), "<show application=\"Tanzo\"/>");
    CFile changed(nullptr, nullptr, Path("changed.show"));
    observer.Observe(&changed);
    const std::string readOnly = Utf16("<show application=\"Tanzo\" readonly=\"true\"/>");
    WriteText(Path("changed.show"), readOnly);
    EXPECT_FALSE(changed.Save(true));
    EXPECT_FALSE(changed.Rename("other"));
    EXPECT_NE(changed.GetError().find("read-only"), std::string::npos) << changed.GetError();
    EXPECT_EQ(ReadText(Path("changed.show")), readOnly);
    EXPECT_TRUE(changed.IsReadOnly());
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_UNKNOWN});

    // The same for a show the user took the write permission from, though root may write it.
    WriteText(Path("kept.show"), "<show application=\"Tanzo\"/>");
    CFile kept(nullptr, nullptr, Path("kept.show"));
    observer.Observe(&kept);
    observer.codes.clear();
    ASSERT_EQ(::chmod(Path("kept.show").c_str(), 0444), 0);
    EXPECT_FALSE(kept.Save(true));
    EXPECT_EQ(kept.GetError(), "The show \"kept\" is read-only and cannot be saved.");
    EXPECT_FALSE(kept.Rename("other"));
    EXPECT_EQ(ReadText(Path("kept.show")), "<show application=\"Tanzo\"/>");
    EXPECT_TRUE(kept.IsReadOnly());
    EXPECT_TRUE(CFile(nullptr, nullptr, Path("kept.show")).IsReadOnly());
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_UNKNOWN});

    // Nor is a show the program cannot open written over, however its start reads: it is read-only
    // as soon as it is described, read whole as the reader reads it, and so are the save and the
    // opening.
    const std::string show = "<show application=\"Tanzo\"><!--" + std::string(8192, '-') + "-->";
    auto times = [](const std::string& text, size_t count) {
        std::string out;
        for (size_t i = 0; i < count; ++i)
            out += text;
        return out;
    };
    struct
    {
        const char* what;
        std::string text;
    } const refused[] = {
        // 11 MB that decode to 33 MB of text, past the bound.
        {"decoded text past the bound",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + show + "<!--" + std::string(11 << 20, '\x80') + "--></show>"},
        {"more nodes than the reader allows", show + times("<a/>", kXmlMaxNodes) + "</show>"},
        {"bytes not in its encoding", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>" + show + "<a label=\"\x81 \"/></show>"},
        {"nested deeper than the reader allows", show + times("<a>", kXmlMaxDepth) + "</show>"},
    };
    for (const auto& row : refused)
    {
        WriteText(Path("refused.show"), row.text);
        CFile saved(nullptr, nullptr, Path("refused.show"));
        EXPECT_TRUE(saved.IsReadOnly()) << row.what;
        EXPECT_FALSE(saved.Save(true)) << row.what;
        EXPECT_EQ(saved.GetError(), "The show \"refused\" is read-only and cannot be saved.") << row.what;
        EXPECT_TRUE(saved.IsReadOnly()) << row.what;
        CFile opened(nullptr, nullptr, Path("refused.show"));
        EXPECT_FALSE(opened.Load()) << row.what;
        EXPECT_TRUE(opened.IsReadOnly()) << row.what;
        EXPECT_TRUE(ReadText(Path("refused.show")) == row.text) << row.what;
        // Put right, the show is checked again by the next save, which writes it.
        WriteText(Path("refused.show"), kShowWithPlayback2);
        EXPECT_TRUE(opened.Save(true)) << row.what << ": " << opened.GetError();
    }

    // A save that works replaces the old content whole and leaves nothing beside it.
    WriteText(Path("old.show"), "<show application=\"Tanzo\">" + std::string(100000, 'x') + "</show>");
    CFile old(nullptr, nullptr, Path("old.show"));
    ASSERT_TRUE(old.Save(true));
    EXPECT_EQ(ShowPart(Path("old.show"), "playbacks"), "/playbacks\n");
    EXPECT_TRUE(old.GetError().empty());
    for (const auto& entry : boost::filesystem::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST_F(ShowFileTest, ASaveKeepsTheLinkTheModeAndEveryNameTheFileSystemTakes)
{
    // A show kept in a shared folder and linked into the data folder: the file it leads to is
    // replaced, in its own folder and with its own mode, and the link stays.
    boost::filesystem::create_directory(Path("shared"));
    WriteText(Path("shared/gala.show"), "<show application=\"Tanzo\"/>");
    ASSERT_EQ(::chmod(Path("shared/gala.show").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("shared/gala.show", Path("gala.show").c_str()), 0);
    CFile linked(nullptr, nullptr, Path("gala.show"));
    ASSERT_TRUE(linked.Save(true)) << linked.GetError();
    EXPECT_TRUE(boost::filesystem::is_symlink(Path("gala.show")));
    EXPECT_EQ(ShowPart(Path("shared/gala.show"), "playbacks"), "/playbacks\n");
    struct stat status;
    ASSERT_EQ(::stat(Path("shared/gala.show").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    // A chain of as many links as the system opens is followed to its end; one more, or a loop,
    // is refused in the operator's language, and the file at the end keeps its content.
    for (int i = 1; i <= 41; ++i)
        ASSERT_EQ(::symlink(i == 41 ? "shared/gala.show" : ("hop" + std::to_string(i + 1)).c_str(),
                            Path("hop" + std::to_string(i)).c_str()),
                  0);
    WriteText(Path("shared/gala.show"), "<show application=\"Tanzo\"/>");
    ASSERT_TRUE(CFile(nullptr, nullptr, Path("hop2")).Save(true)) << "40 links";
    EXPECT_EQ(ShowPart(Path("shared/gala.show"), "playbacks"), "/playbacks\n");
    EXPECT_TRUE(boost::filesystem::is_symlink(Path("hop2")));
    WriteText(Path("shared/gala.show"), "<show application=\"Tanzo\"/>");
    ASSERT_EQ(::symlink("loop.show", Path("loop.show").c_str()), 0);
    for (const char* refused : {"hop1", "loop.show"})
    {
        CFile file(nullptr, nullptr, Path(refused));
        EXPECT_FALSE(file.Save(true)) << refused;
        EXPECT_EQ(file.GetError(), "The show \"" + file.GetName() +
                                       "\" could not be saved: the symbolic links that lead to it go round in a loop "
                                       "or are more than 40.");
        CApp::SetLanguageManager(std::make_unique<CGermanPhrases>());
        EXPECT_FALSE(file.Save(true)) << refused;
        CApp::SetLanguageManager(nullptr);
        EXPECT_EQ(file.GetError(), "Die Show \xE2\x80\x9E" + file.GetName() +
                                       "\xE2\x80\x9C konnte nicht gespeichert werden: die symbolischen "
                                       "Verkn\xC3\xBCpfungen dorthin f\xC3\xBChren im Kreis oder sind mehr als 40.");
    }
    EXPECT_EQ(ReadText(Path("shared/gala.show")), "<show application=\"Tanzo\"/>");
    EXPECT_TRUE(boost::filesystem::is_symlink(Path("loop.show")));

    // As long a name as the file system takes, cut for the new file between its characters.
    std::string longest;
    while (longest.size() + 2 <= 255 - 5)
        longest += "\xC3\xA9";
    CFile named(nullptr, nullptr, Path(longest + ".show"));
    EXPECT_TRUE(named.Save(true)) << named.GetError();
    for (const std::string& inside : {folder, Path("shared")})
        for (const auto& entry : boost::filesystem::directory_iterator(inside))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST_F(ShowFileTest, RenameMovesWithinTheFolderAndNeverOverAnotherShow)
{
    WriteText(Path("a.xml"), "<show application=\"Tanzo\"/>");
    CFile file(nullptr, nullptr, Path("a.xml"));
    CCodeRecorder observer;
    observer.Observe(&file);
    ASSERT_TRUE(file.Rename("b")) << file.GetError();
    EXPECT_EQ(file.GetPath(), Path("b.show"));
    EXPECT_EQ(file.GetName(), "b");
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_LABEL});
    EXPECT_FALSE(boost::filesystem::exists(Path("a.xml")));
    EXPECT_EQ(ReadText(Path("b.show")), "<show application=\"Tanzo\"/>");

    // Refused: the path stays, both files stay, nothing is told.
    observer.codes.clear();
    WriteText(Path("other.show"), "other show");
    const char* refused[] = {"other", "", "../up", "sub/name", "back\\slash"};
    for (const char* name : refused)
    {
        EXPECT_FALSE(file.Rename(name)) << name;
        EXPECT_FALSE(file.GetError().empty()) << name;
        EXPECT_EQ(file.GetPath(), Path("b.show")) << name;
    }
    EXPECT_NE(file.GetError().find("\"/\""), std::string::npos) << file.GetError();
    EXPECT_TRUE(file.Rename("other") == false && file.GetError() == "A show named \"other\" exists already.");
    EXPECT_EQ(ReadText(Path("other.show")), "other show");
    EXPECT_EQ(ReadText(Path("b.show")), "<show application=\"Tanzo\"/>");
    EXPECT_FALSE(boost::filesystem::exists(Path("up.show")));
    EXPECT_FALSE(boost::filesystem::exists(folder + "/../up.show"));
    EXPECT_TRUE(observer.codes.empty());

    // A file that has gone from disk keeps its path.
    std::remove(Path("b.show").c_str());
    EXPECT_FALSE(file.Rename("c"));
    EXPECT_EQ(file.GetPath(), Path("b.show"));

    // A read-only show keeps its name.
    WriteText(Path("main.xml"), "<show application=\"Lumivo\"/>");
    CFile main(nullptr, nullptr, Path("main.xml"));
    EXPECT_FALSE(main.Rename("mine"));
    EXPECT_TRUE(boost::filesystem::exists(Path("main.xml")));
}

TEST_F(ShowFileTest, AShowThatCannotBeReadChangesNothing)
{
    CreateCore();
    Connect();
    Settle();
    ASSERT_FALSE(core->IsResyncSettling());
    CFileManager* files = core->GetFileManager();
    sink.sent.clear();
    const size_t queued = core->GetDeviceManager()->GetQueueLength();

    WriteText(Path("damaged.show"), "<show application=\"Tanzo\"><fixtures>\n<fixture index=\"1\"\n</show>");
    CFile damaged(files, core.get(), Path("damaged.show"));
    EXPECT_FALSE(damaged.Load());
    EXPECT_NE(damaged.GetError().find("\"damaged\" cannot be opened: the file is damaged"), std::string::npos)
        << damaged.GetError();
    EXPECT_NE(damaged.GetError().find("(line "), std::string::npos) << damaged.GetError();

    WriteText(Path("notashow.show"), "<playbacks><playback index=\"1\" label=\"X\"/></playbacks>");
    CFile notAShow(files, core.get(), Path("notashow.show"));
    EXPECT_FALSE(notAShow.Load());
    EXPECT_NE(notAShow.GetError().find("is not a show"), std::string::npos) << notAShow.GetError();

    CFile missing(files, core.get(), Path("missing.show"));
    EXPECT_FALSE(missing.Load());
    EXPECT_NE(missing.GetError().find("missing"), std::string::npos) << missing.GetError();

    // A pipe is refused without waiting for a writer; a file that cannot be read says so.
    ASSERT_EQ(mkfifo(Path("pipe.show").c_str(), 0600), 0);
    MakeUnreadable(Path("unreadable.show"));
    for (const auto& [name, why] : {std::pair{"pipe", "it is not a regular file"},
                                    std::pair{"unreadable", "the file cannot be read"}})
    {
        CFile refused(files, core.get(), Path(std::string(name) + ".show"));
        EXPECT_FALSE(refused.Load()) << name;
        EXPECT_NE(refused.GetError().find(why), std::string::npos) << refused.GetError();
    }

    EXPECT_TRUE(sink.sent.empty());
    EXPECT_EQ(core->GetDeviceManager()->GetQueueLength(), queued);
    EXPECT_FALSE(files->IsLoadPending());

    // A sound show sends at once, and the error of an earlier try is gone.
    WriteText(Path("damaged.show"), kShowWithPlayback2);
    EXPECT_TRUE(damaged.Load());
    EXPECT_TRUE(damaged.GetError().empty());
    EXPECT_EQ(PlaybackLabelsSent(), std::vector<std::string>{"2:Intro"});
    EXPECT_GT(core->GetDeviceManager()->GetQueueLength(), queued);
}

TEST_F(ShowFileTest, TextsThatAreNoUtf8AreMendedAndAShowThatWouldNotReadBackIsNotSaved)
{
    CreateCore();
    Connect();
    Settle();
    sink.sent.clear();
    // Bytes that are no UTF-8 are read as Windows-1252 (a Latin-1 letter, a euro sign); references
    // are decoded once, whatever the declaration; a raw '&' is kept.
    const std::string label = "Caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC \xE2\x98\xBA Sound & Light";
    for (const char* declaration : {"", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"})
    {
        sink.sent.clear();
        WriteText(Path("encoded.show"), std::string(declaration) +
                                            "<show application=\"Tanzo\"><playbacks><playback index=\"2\" "
                                            "label=\"Caf\xE9 \x80 &#x65E5;&#x672C; &#x263A; Sound & Light\"/>"
                                            "</playbacks></show>");
        CFile encoded(core->GetFileManager(), core.get(), Path("encoded.show"));
        ASSERT_TRUE(encoded.Load()) << encoded.GetError();
        EXPECT_EQ(PlaybackLabelsSent(), std::vector<std::string>{"2:" + label}) << declaration;
    }
    // A '<' in a text that begins no tag would lose text: the show is refused, naming the line.
    WriteText(Path("lost.show"), "<show application=\"Tanzo\">\n<playbacks><playback index=\"2\">"
                                 "<cues><cue label=\"A\"><blocks><block>A < B</block></blocks></cue></cues>"
                                 "</playback></playbacks></show>");
    CFile lost(core->GetFileManager(), core.get(), Path("lost.show"));
    EXPECT_FALSE(lost.Load());
    EXPECT_NE(lost.GetError().find("is damaged (line 2, column "), std::string::npos)
        << lost.GetError();

    // Should raw bytes ever reach the model, the save refuses what it could not read back.
    core->GetPlaybackManager()->ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_LABEL, 3, 0, 0, CMessageValue("Caf\xE9")));
    WriteText(Path("raw.show"), kShowWithPlayback2);
    CFile raw(core->GetFileManager(), core.get(), Path("raw.show"));
    EXPECT_FALSE(raw.Save());
    EXPECT_NE(raw.GetError().find("would not read back"), std::string::npos) << raw.GetError();
    EXPECT_EQ(ReadText(Path("raw.show")), kShowWithPlayback2);
}

TEST_F(ShowFileTest, OpeningTheCostliestShowsWithinTheBoundsTakesAtMostTenTimesTheirSize)
{
    CreateCore();
    Connect();
    Settle();
    const auto show = [](const std::string& unit, const std::string& first = std::string(),
                         const std::string& declaration = std::string()) {
        const std::string open = declaration + "<show application=\"Tanzo\"><system>";
        const std::string close = "</system><fixtures/><playbacks/></show>";
        std::string text = open + first;
        text.reserve(CFile::kMaxBytes);
        while (text.size() + unit.size() + close.size() <= CFile::kMaxBytes)
            text += unit;
        return text + close;
    };
    std::string attributes = "<a";
    for (size_t i = 0; i < kXmlMaxAttributes; ++i)
        attributes += " a" + std::to_string(i) + "=\"\"";
    std::string limits;
    for (size_t i = 0; i + 10 < kXmlMaxNodes; ++i)
        limits += "<a b=\"\"/>";
    limits += std::string(kXmlMaxRawAmpersands, '&');
    // The parser's own cost for each attribute, each '&' that begins no reference, each element,
    // each character of text, at the size bound: beyond a limit the first two are refused. The
    // largest genuine show's records stand among the pieces of its document.
    const struct
    {
        const char* what;
        std::string text;
        bool opens;
        size_t keeps;
    } rows[] = {
        {"elements of as many attributes as allowed", show(attributes + "/>"), false, size_t(16) << 20},
        {"'&' that begin no reference", show("&"), false, size_t(16) << 20},
        {"every limit reached, then text", show("x", limits), true, size_t(16) << 20},
        {"the largest genuine show", bench::FullShowXml(), true, size_t(24) << 20},
        // In TSCII the byte 0x82 is four characters, 12 bytes of UTF-8.
        {"text of a byte that decodes to twelve", show("\x82", "", "<?xml version=\"1.0\" encoding=\"TSCII\"?>"),
         false, size_t(16) << 20},
    };
    // What the load queues waits where the program keeps it, in the outgoing queue.
    core->GetPlaybackManager()->SetSink(core->GetMessageSink());
    for (const auto& row : rows)
    {
        WriteText(Path("costly.show"), row.text);
        [[maybe_unused]] const size_t size = row.text.size();
        CFile file(core->GetFileManager(), core.get(), Path("costly.show"));
        ::malloc_trim(0);
        const size_t before = ResidentBytes();
        const size_t heap = HeapInUse();
        ResetResidentPeak();
        EXPECT_EQ(file.Load(), row.opens) << row.what;
        [[maybe_unused]] const size_t peak = ResidentBytes("VmHWM:") - before;
        [[maybe_unused]] const size_t kept = ResidentBytes() - std::min(before, ResidentBytes());
        [[maybe_unused]] const size_t used = HeapInUse() - std::min(heap, HeapInUse());
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        EXPECT_LE(peak, 10 * size) << row.what;
        // What the records queued take, no more: the memory the document took goes back to the
        // system, however its pieces lie among the records'.
        EXPECT_LE(kept, row.keeps) << row.what;
        EXPECT_LE(kept, used + (size_t(4) << 20)) << row.what;
#endif
        core->GetDeviceManager()->ClearQueue();
    }
}

TEST_F(ShowFileTest, WhatAShowCannotReadCostsTheLogAFilesWorthOfLinesAtMost)
{
    char name[] = "tests_model";
    char* argv[] = {name, nullptr};
    CApp app(CVersion(1, 7, 0), 1, argv);
    CreateCore();
    std::string fixtures;
    for (size_t i = 0; i < CShowReadLog::kMaxLines + 1000; ++i)
        fixtures += "<fixture index=\"x\"/>";
    const struct
    {
        const char* what;
        std::string show;
        size_t lines;
        std::string last;
    } rows[] = {
        {"more fixtures that give no index than lines", "<fixtures>" + fixtures + "</fixtures>",
         CShowReadLog::kMaxLines + 1, "Not logged: 1000 more lines on what was not read of \"" + Path("odd.show") + "\""},
        // The last stands, as the file read in order leaves it.
        {"a playback named three times",
         "<playbacks><playback index=\"2\" label=\"A\"/><playback index=\"2\" label=\"B\"/>"
         "<playback index=\"2\" label=\"Intro\"/></playbacks>",
         1, "Not read: the 2 elements before the last that name playback 2 in \"" + Path("odd.show") + "\""},
    };
    for (const auto& row : rows)
    {
        WriteText(Path("odd.show"), "<show application=\"Tanzo\">" + row.show + "</show>");
        const size_t before = CApp::GetLogger()->GetLines().size();
        EXPECT_TRUE(CFile(nullptr, core.get(), Path("odd.show")).Load()) << row.what;
        const std::vector<std::string> lines = CApp::GetLogger()->GetLines();
        ASSERT_EQ(lines.size() - before, row.lines) << row.what;
        EXPECT_NE(lines.back().find(row.last), std::string::npos) << lines.back();
    }
    EXPECT_EQ(PlaybackLabelsSent(), std::vector<std::string>{"2:Intro"});
}

TEST_F(ShowFileTest, AShowOpenedDuringAResyncWaitsUntilTheLinkHasDrained)
{
    CreateCore();
    WriteText(Path("first.show"), kShowWithPlayback2);
    WriteText(Path("second.show"),
              "<show application=\"Tanzo\"><playbacks><playback index=\"4\" label=\"Later\"/></playbacks></show>");
    CFileManager* files = core->GetFileManager();
    files->Refresh();
    ASSERT_TRUE(files->FinishListing());
    ASSERT_EQ(files->GetCount(), 2u);

    // No controller chosen: nothing to wait for.
    EXPECT_FALSE(core->IsResyncSettling());
    EXPECT_TRUE(files->GetFile(0)->Load());
    EXPECT_FALSE(files->IsLoadPending());
    EXPECT_EQ(PlaybackLabelsSent(), std::vector<std::string>{"2:Intro"});

    Connect();
    EXPECT_TRUE(core->IsResyncSettling());
    sink.sent.clear();
    const size_t requests = core->GetDeviceManager()->GetQueueLength();
    ASSERT_GT(requests, 0u);
    EXPECT_TRUE(files->GetFile(0)->Load());
    EXPECT_TRUE(files->IsLoadPending());
    // The show opened last is the one sent.
    EXPECT_TRUE(files->GetFile(1)->Load());
    core->Update(0.04f);
    EXPECT_TRUE(files->IsLoadPending());
    EXPECT_TRUE(sink.sent.empty());
    EXPECT_EQ(core->GetDeviceManager()->GetQueueLength(), requests);

    // The replies have come: one quiet tick is not enough, the second sends the show. Reads that a
    // reply to nothing sent or a notification asked for (anyone may forge them, and many a second:
    // a count of 255 asks for the count, a label changed for the label) are not waited for.
    core->GetDeviceManager()->ClearQueue();
    CMessage forged(MANAGER_PLAYBACK, COMMAND_GET_COUNT);
    forged.SetIndex0(7);
    forged.SetSequence(900);
    forged.SetValue(CMessageValue(255u));
    CMessage announced(MANAGER_PLAYBACK, COMMAND_NOTIFY);
    announced.SetIndex0(8);
    announced.SetSequence(901);
    announced.SetValue(CMessageValue(uint32_t(PLAYBACK_NOTIFY_LABEL)));
    for (const CMessage& message : {forged, announced})
    {
        std::vector<uint8_t> frame;
        ASSERT_TRUE(CMessageFrame::Encode(message, frame));
        network.Arrive(CIpAddress(10, 0, 0, 9), frame);
    }
    core->GetDeviceManager()->Pass(0);
    core->GetPlaybackManager()->SetSink(core->GetMessageSink());
    core->Update(0.04f);
    core->GetPlaybackManager()->SetSink(&sink);
    EXPECT_EQ(core->GetDeviceManager()->GetQueueLength(), 2u);
    EXPECT_TRUE(files->IsLoadPending());
    core->Update(0.04f);
    EXPECT_FALSE(files->IsLoadPending());
    EXPECT_FALSE(core->IsResyncSettling());
    EXPECT_EQ(PlaybackLabelsSent(), std::vector<std::string>{"4:Later"});
    // Its fixtures element is absent: the patch is left alone.
    EXPECT_EQ(core->GetDeviceManager()->GetOwnQueueLength(), 0u);

    // Once settled, a show goes at once.
    sink.sent.clear();
    EXPECT_TRUE(files->GetFile(0)->Load());
    EXPECT_EQ(PlaybackLabelsSent(), std::vector<std::string>{"2:Intro"});
}

TEST_F(ShowFileTest, AMainProductShowIsReadFromItsButtons)
{
    CreateCore();
    WriteText(Path("main.xml"), "<show application=\"Lumivo\"><playbacks><playback index=\"1\" label=\"Outer\"/>"
                                "<buttons><playback index=\"3\" label=\"Inner\"/></buttons></playbacks></show>");
    CFile main(core->GetFileManager(), core.get(), Path("main.xml"));
    ASSERT_TRUE(main.IsMainProductShow());
    EXPECT_TRUE(main.Load());
    EXPECT_EQ(PlaybackLabelsSent(), std::vector<std::string>{"3:Inner"});

    // The same playbacks in a show of this program are read from "playbacks" itself.
    sink.sent.clear();
    WriteText(Path("own.show"), "<show application=\"Tanzo\"><playbacks><playback index=\"1\" label=\"Outer\"/>"
                                "<buttons><playback index=\"3\" label=\"Inner\"/></buttons></playbacks></show>");
    CFile own(core->GetFileManager(), core.get(), Path("own.show"));
    EXPECT_TRUE(own.Load());
    const std::vector<std::string> labels = PlaybackLabelsSent();
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), "1:Outer");
}
