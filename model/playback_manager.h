#pragma once

#include "foundation/asked_value.h"
#include "foundation/subject.h"
#include "link/link_model.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class CCore;
class CMessage;
class CMessageSink;
class CObserver;
class CPlayback;
class CSubjectSet;
class TiXmlElement;
class TiXmlNode;

// What the playback manager tells its observers (codes of the shared set).
enum : uint32_t
{
    PLAYBACK_MANAGER_NOTIFY_PAGE = 299,
    PLAYBACK_MANAGER_NOTIFY_MODE = 300,
};

// The 64 playbacks of the show and their single door to the controller: every record a playback
// or a cue sends leaves here, and every reply for the playbacks' manager, a playback or a cue
// comes in here. It also keeps what the playback page needs across playbacks: the page of eight
// on view, the click mode of the page's buttons and the playbacks selected on the page; those are
// local and never sent.
class CPlaybackManager : public CSubject, public CMessageHandler
{
public:
    static constexpr uint32_t kPlaybackCount = 64;
    static constexpr uint32_t kPageSize = 8;
    static constexpr uint32_t kPageCount = kPlaybackCount / kPageSize;
    static constexpr uint32_t kNotFound = 0xFFFFFFFF;

    // What a click on a playback button does on the playback page.
    enum TMode : uint32_t
    {
        kModeOpen = 0,
        kModeRelease = 1,
        kModeRename = 2,
        kModeSwap = 3,
        kModeNone = 5,
    };

    CPlaybackManager();
    ~CPlaybackManager() override;
    CPlaybackManager(const CPlaybackManager&) = delete;
    CPlaybackManager& operator=(const CPlaybackManager&) = delete;

    // Sends through the core's device link.
    void SetCore(CCore* core);
    // Where records go; null drops them.
    void SetSink(CMessageSink* sink) { m_sink = sink; }
    // Once per frame: every playback in index order.
    // Ticks the playbacks that have something timed to do.
    void Update(float seconds);
    // The playback has something timed to do again.
    void WakeTimersOf(const CPlayback& playback);

    uint32_t GetCount() const { return kPlaybackCount; }
    CPlayback* GetPlayback(uint32_t index) const;
    uint32_t IndexOf(const CPlayback* playback) const;

    uint32_t GetPage() const { return m_page; }
    // Steps past either end wrap round.
    void SetPage(int32_t page);
    // The observer follows the eight playbacks of the current page through its set.
    void AttachPage(CObserver* observer, CSubjectSet* set);

    uint32_t GetMode() const { return m_mode; }
    void SetMode(uint32_t mode);
    // The mode, or none when it is the mode already.
    void ToggleMode(uint32_t mode);

    void ReleaseAll();
    void SendCommand(uint32_t command);
    // The controller exchanges the two; the model follows its report, and the holds below follow
    // the two at once.
    void SwapPlaybacks(uint32_t first, uint32_t second);
    void Send(const CMessage& message);
    // Whether a record of the message's target is still queued for the controller or on its way.
    bool IsWaiting(const CMessage& message) const;
    // A reply that answers nothing sent (CLinkModel::OnReplyToNothing): a playback's may ask its
    // count again.
    void OnReplyToNothing(const CMessage& message);

    // A press held on a playback's go or flash input, noted until its release. The controller
    // takes a held playback along when it swaps it, and so does the note: the release reaches the
    // playback the press went to, wherever it stands by then. Hold gives the note's number
    // (never kNoHold); LetGo forgets the note and gives the playback it names now, null for
    // kNoHold or a note forgotten already.
    static constexpr uint32_t kNoHold = 0;
    uint32_t Hold(const CPlayback& playback);
    CPlayback* LetGo(uint32_t hold);

    // Replies and notifications for the managers 40, 41 and 43.
    void ApplyMessage(const CMessage& message);
    void HandleMessage(const CMessage& message) override { ApplyMessage(message); }
    // A value queued for a playback or its cues was taken back before it left: they forget that
    // they asked for it (TForget says how much).
    void ForgetAsked(const CMessage::STarget& target, TForget what);

    CPlayback* GetSelectedPlayback() const;
    const std::vector<CPlayback*>& GetSelection() const { return m_selection; }
    void SelectPlayback(CPlayback* playback);
    void SetSelection(const std::vector<CPlayback*>& selection);

    // The "playbacks" element of a show file: the playbacks that are not empty.
    void Save(TiXmlElement& element) const;
    // Loads the listed playbacks and clears every other one on the controller. Each playback is
    // loaded once, from the last element that names it, whatever the file repeats.
    void Load(const TiXmlNode* node);
    CDigest ComputeDigest() override;

private:
    std::vector<std::unique_ptr<CPlayback>> m_playbacks;
    // For each playback, whether it is ticked: an idle frame looks at this and at no playback.
    std::vector<bool> m_ticked;
    CMessageSink* m_sink = nullptr;
    uint32_t m_mode = kModeNone;
    std::vector<CPlayback*> m_selection;
    uint32_t m_page = 0;
    // The number the playback of each held press stands at now, by the note's number.
    std::map<uint32_t, uint32_t> m_holds;
    uint32_t m_lastHold = kNoHold;
};
