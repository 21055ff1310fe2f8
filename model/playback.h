#pragma once

#include "foundation/asked_value.h"
#include "foundation/subject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CCue;
class CMessage;
class CMessageValue;
class CObserver;
class CPlaybackManager;
class CSubjectSet;
class CTime;
class TiXmlElement;
class TiXmlNode;

// What a playback tells its observers (codes of the shared set).
enum : uint32_t
{
    PLAYBACK_NOTIFY_COUNT = 3,
    PLAYBACK_NOTIFY_SPEED = 13,
    PLAYBACK_NOTIFY_FIXTURE_MASK = 29,
    PLAYBACK_NOTIFY_EXCLUSIVE = 46,
    PLAYBACK_NOTIFY_CURRENT_CUE = 92,
    PLAYBACK_NOTIFY_GO_MODE = 121,
    PLAYBACK_NOTIFY_STATUS = 144,
    PLAYBACK_NOTIFY_BACKGROUND = 197,
    PLAYBACK_NOTIFY_LABEL = 289,
    PLAYBACK_NOTIFY_INTENSITY = 290,
    PLAYBACK_NOTIFY_REPEAT = 291,
    PLAYBACK_NOTIFY_FEEDBACK = 295,
    PLAYBACK_NOTIFY_ATTRIBUTE_MASK = 500,
};

// One of the 64 playbacks: a labelled cue list with its play settings and the controller's view
// of its state. It mirrors the controller's playback of the same index: a setter never writes its
// own field but sends a record, and only the controller's reply changes the field and tells the
// observers. A Notify from the controller makes the playback ask for what changed.
//
// Local state that is never sent: the mark (a short acknowledgement on the playback page) and the
// feedback (which value the button shows for a moment). The unions of the fixtures and attribute
// groups that the cues use are rebuilt at most once a second, however many blocks arrive.
class CPlayback : public CSubject
{
public:
    // The most cues a playback holds; a larger count from the network is taken as this, so that
    // no reply makes the playback ask for more than a full cue list.
    static constexpr uint32_t kMaxCues = 48;
    static constexpr float kFeedbackSeconds = 3.0f;
    static constexpr float kMaskSeconds = 1.0f;
    // GetStatus while the playback is marked.
    static constexpr uint32_t kMarkedStatus = 5;
    // The position of AddCue and AppendCue that means "at the end".
    static constexpr uint32_t kAtEnd = 0xFFFFFFFF;

    enum TFeedback : uint32_t
    {
        kFeedbackNone = 0,
        kFeedbackIntensity = 1,
        kFeedbackSpeed = 2,
    };

    explicit CPlayback(CPlaybackManager* owner);
    ~CPlayback() override;
    CPlayback(const CPlayback&) = delete;
    CPlayback& operator=(const CPlayback&) = delete;

    const std::string& GetLabel() const { return m_label; }
    uint32_t GetStatus() const { return m_marked ? kMarkedStatus : m_status; }
    uint32_t GetRepeat() const { return m_repeat; }
    uint32_t GetGoMode() const { return m_goMode; }
    // What a key stepping the mode steps from: the mode last asked for until the controller has
    // reported it since, else the one reported.
    uint32_t GetIntendedRepeat() const { return m_askedRepeat.Intended(m_repeat); }
    uint32_t GetIntendedGoMode() const { return m_askedGoMode.Intended(m_goMode); }
    uint32_t GetFeedback() const { return m_feedback; }
    float GetIntensity() const { return m_intensity; }
    float GetSpeed() const { return m_speed; }
    bool GetBackground() const { return m_background; }
    bool GetExclusive() const { return m_exclusive; }
    bool IsMarked() const { return m_marked; }
    int32_t GetCurrentCue() const { return m_currentCue; }
    int32_t GetIndex() const;
    uint32_t GetCueCount() const { return static_cast<uint32_t>(m_cues.size()); }
    CCue* GetCue(uint32_t index) const;
    // The loading index for the cue that stands in while a show loads; -1 for a stranger.
    int32_t IndexOfCue(const CCue* cue) const;
    uint64_t GetFixtureMask() const { return m_fixtureMask; }
    uint32_t GetAttributeMask() const { return m_attributeMask; }
    bool UsesFixture(uint32_t slot) const { return (m_fixtureMask >> (slot % 64)) & 1; }
    bool UsesAttributeGroup(uint32_t group) const { return (m_attributeMask >> (group % 32)) & 1; }
    bool IsEmpty() const;
    // The observer follows this playback's cues through its set.
    void AttachCues(CObserver* observer, CSubjectSet* set);

    // Records of the playback manager's door: playback records, and cue records for a range of
    // cues [first, first + count).
    void SendCommand(uint32_t command, const CMessageValue& value);
    void Request(uint32_t command);
    void SendCueCommand(uint32_t first, uint32_t count, uint32_t command, const CMessageValue& value);
    void Send(const CMessage& message);

    // Mirrored properties: each sends a Set, most only when the value differs from the mirror or
    // from the one asked last.
    void SetLabel(const std::string& label);
    void SetIntensity(float intensity);
    void SetSpeed(float speed);
    void SetRepeat(uint32_t repeat);
    void SetGoMode(uint32_t goMode);
    void SetBackground(bool background);
    void SetExclusive(bool exclusive);

    // Commands that store nothing here. Clear leaves the mirror saying nothing of what the
    // controller holds: whatever is asked next goes, even a value equal to the last report.
    void SetGoDown(bool pressed);
    void SetFlashDown(bool pressed);
    void Release();
    void Clear();
    void AddCue(uint32_t position);
    void AppendCue(uint32_t position);
    void RemoveCues(uint32_t first, uint32_t count);
    void RemoveAllCues();
    void SetCueCondition(uint32_t first, uint32_t count, uint32_t condition);
    void SetCueDelayTime(uint32_t first, uint32_t count, const CTime& time);
    void SetCueFadeTime(uint32_t first, uint32_t count, const CTime& time);
    void SetCueLabel(uint32_t first, uint32_t count, const std::string& label);
    // A set of the playback (the command names which), or of its cues [first, first + count),
    // that never left: what it asked for is forgotten (TForget says how much).
    void ForgetAsked(uint32_t command, TForget what);
    void ForgetCuesAsked(uint32_t first, uint32_t count, uint32_t command, TForget what);

    // Local state.
    void SetMarked(bool marked, float seconds);
    void SetFeedback(uint32_t which);

    // An answer or notification for this playback or one of its cues.
    void ApplyMessage(const CMessage& message);
    // A reply for this playback that answers nothing sent, which is no value.
    void OnReplyToNothing(const CMessage& message);
    // The packed properties word of a GetProperties reply.
    void ApplyProperties(uint32_t word);
    // Grows or shrinks the cue list, then every cue asks for all of its values, unless only-when-
    // changed stops it while the number stays: a cue removed and another added leave the number
    // as it was. True when the number of cues changed.
    bool SetCueCount(uint32_t count, bool onlyWhenChanged);
    void InvalidateFixtureMask();
    void InvalidateAttributeMask();
    // Once per frame: cues, feedback, mask unions and mark.
    void Update(float seconds);
    // Whether a timer of its own or of a cue still runs, or a mask waits to be worked out: a
    // playback without is not ticked until one of those starts (see WakeTimers).
    bool HasTimedWork() const;
    // Something timed started here: the manager ticks this playback again.
    void WakeTimers();
    // A change here is a change of the manager too, so its cached digest is computed again.
    void SetChanged() override;
    CDigest ComputeDigest() override;

    // The "playback" element of a show file.
    void Save(TiXmlElement& element) const;
    // Reads the node, then sends the cue count, the cues of its last cue list and what differs;
    // with everything (the playback was just cleared on the controller, so the mirror says
    // nothing of it) every value, its cues' included.
    void Load(const TiXmlNode* node, bool everything = false);
    // One cue per element child.
    void LoadCues(const TiXmlElement& element, bool everything = false);

    static std::string RepeatModeName(uint32_t repeat);
    static std::string GoModeName(uint32_t goMode);
    // The number of the name in any letter case; 4 for anything else.
    static uint32_t ParseRepeatMode(const std::string& text);
    static uint32_t ParseGoMode(const std::string& text);

private:
    void RequestForNotify(uint32_t code);
    // A count the controller answered.
    void ApplyCount(uint32_t count, bool onlyWhenChanged);
    // Every cue asks for all of its values.
    void RefreshCues();
    // A fader's or a knob's level, kept as what was asked last.
    void SendLevel(uint32_t command, CAskedValue<float>& asked, float level);
    // A reported mode answers what was asked unless a set of it (`set`) still waits.
    void StoreMode(uint32_t& field, CAskedValue<uint32_t>& asked, uint32_t set, uint32_t value, uint32_t code);
    // A range of cues sent at once; each cue in it takes the value as asked, as its own setter
    // would have.
    void SendCueRange(uint32_t first, uint32_t count, uint32_t command, const CMessageValue& value);
    // The cues of the list that a record for [first, first + count) addresses.
    std::pair<size_t, size_t> CueRange(uint32_t first, uint32_t count) const;

    CPlaybackManager* m_owner;
    std::vector<std::unique_ptr<CCue>> m_cues;
    CCue* m_loadingCue = nullptr;
    uint32_t m_loadingIndex = 0;
    std::string m_label;
    uint32_t m_status = 0;
    uint32_t m_repeat = 0;
    uint32_t m_goMode = 0;
    uint32_t m_feedback = kFeedbackNone;
    float m_intensity = 1.0f;
    float m_speed = 0.0f;
    CAskedValue<float> m_askedIntensity;
    CAskedValue<float> m_askedSpeed;
    CAskedValue<std::string> m_askedLabel;
    CAskedValue<uint32_t> m_askedRepeat;
    CAskedValue<uint32_t> m_askedGoMode;
    float m_feedbackTimer = 0.0f;
    bool m_background = false;
    bool m_exclusive = false;
    bool m_marked = false;
    int32_t m_currentCue = -1;
    uint64_t m_fixtureMask = 0;
    uint32_t m_attributeMask = 0;
    float m_maskTimer = 0.0f;
    float m_markTimer = -1.0f;
    bool m_fixtureMaskStale = true;
    bool m_attributeMaskStale = true;
};
