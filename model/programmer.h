#pragma once

#include "foundation/asked_value.h"
#include "foundation/subject.h"
#include "link/link_model.h"
#include "model/fixture_selection.h"

#include <cstdint>
#include <memory>
#include <vector>

class CCore;
class CFixtureManager;
class CMessage;
class CMessageSink;
class CMessageValue;
class CObserver;
class CProgrammerChange;
class CSubjectSet;

// Attribute groups of the programmer, in the order of their records.
enum : uint32_t
{
    GROUP_INTENSITY = 0,
    GROUP_INTENSITY_FX = 1,
    GROUP_POSITION = 2,
    GROUP_POSITION_FX = 3,
    GROUP_COLOUR_MIX = 4,
    GROUP_COLOUR_MIX_FX = 5,
    GROUP_COLOUR_FIXED = 6,
    GROUP_SHUTTER = 7,
    GROUP_GOBO = 8,
    GROUP_ROTATION = 9,
    GROUP_PRISM = 10,
    GROUP_FOCUS = 11,
    GROUP_IRIS = 12,
    GROUP_FROST = 13,
    GROUP_ZOOM = 14,
    GROUP_CUSTOM1 = 15,
    GROUP_CUSTOM2 = 16,
    GROUP_COUNT = 17,
    // A channel type without a group.
    GROUP_NONE = 17,
};

// The model's side of the controller's programmer: the fixtures selected for editing, the 17
// attribute groups being set, the playback whose cues are loaded and recorded, and the blind and
// clear states. All of it mirrors the controller. From the personality profiles of the selection
// the controller reports, it enables exactly the groups those fixtures have.
class CProgrammer : public CSubject, public CMessageHandler
{
public:
    static constexpr uint32_t kNotifyClear = 117;
    static constexpr uint32_t kNotifyBlind = 294;
    static constexpr uint32_t kNotifyPlayback = 400;

    CProgrammer();
    ~CProgrammer() override;
    CProgrammer(const CProgrammer&) = delete;
    CProgrammer& operator=(const CProgrammer&) = delete;

    // Binds to the model root's patch and device link.
    void SetCore(CCore* core);
    // The patch whose profiles decide the groups, and where records go.
    void Bind(CFixtureManager* fixtures, CMessageSink* sink);

    // The group of a profile byte's channel type (its low five bits); GROUP_NONE for none.
    static uint32_t GroupOfChannelType(uint32_t type);

    uint32_t GetChangeCount() const { return static_cast<uint32_t>(m_changes.size()); }
    CProgrammerChange* GetChange(uint32_t position) const;
    CProgrammerChange* FindChange(uint32_t group) const;
    int32_t GetChangeIndex(const CProgrammerChange* change) const;
    void SetValue(uint32_t group, const CMessageValue& value);
    void ObserveChanges(CObserver* observer, CSubjectSet* set);

    // The selection as the controller reports it; every change to it is only proposed.
    const CSelectionFixture& GetSelection() const { return m_selection; }
    bool IsSelected(uint32_t slot) const { return m_selection.IsSelected(slot); }
    void BeginDrag(uint32_t cell) { m_selection.BeginDrag(cell); }
    void DragTo(uint32_t cell) { m_selection.DragTo(cell); }
    void EndDrag(uint32_t cell) { m_selection.EndDrag(cell); }
    void ClearSelection() { m_selection.Clear(); }
    void SetClearOnNextPress() { m_selection.SetClearOnNextPress(); }
    bool SetSelection(uint64_t mask) { return m_selection.SetMask(mask); }
    void SendSelection(uint64_t mask);

    // Load and Record address cue of the bound playback.
    void Load(uint32_t cue);
    void Record(uint32_t cue);
    void Clear();
    // Sent when the value differs from the mirrored one or from the one asked last.
    void SetBlind(bool blind);
    void SetPlayback(uint32_t playback);
    uint32_t GetPlayback() const { return m_playback; }
    bool GetClear() const { return m_clear; }
    bool GetBlind() const { return m_blind; }

    void Send(const CMessage& message);
    // Whether a record of the message's target is queued for the controller or on its way.
    bool IsWaiting(const CMessage& message) const;
    void SendRequest(uint32_t command);
    void SendValue(uint32_t command, const CMessageValue& value);
    // Records of managers 44 and 45; anything else is ignored.
    void HandleMessage(const CMessage& message) override;
    // A value queued for the programmer or one of its groups was taken back before it left: what
    // it asked for is forgotten (TForget says how much).
    void ForgetAsked(const CMessage::STarget& target, TForget what);

    // Enables the groups the selected fixtures have.
    void Rebuild();

private:
    static void OnSelectionChange(void* context, uint64_t mask);

    std::vector<std::unique_ptr<CProgrammerChange>> m_changes;
    CSelectionFixture m_selection;
    CFixtureManager* m_fixtures = nullptr;
    CMessageSink* m_sink = nullptr;
    uint32_t m_playback = 0;
    bool m_clear = false;
    bool m_blind = false;
    CAskedValue<uint32_t> m_askedPlayback;
    CAskedValue<bool> m_askedBlind;
};
