#pragma once

#include "foundation/asked_value.h"
#include "foundation/subject.h"
#include "foundation/time.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CMessage;
class CMessageValue;
class CPlayback;
class TiXmlElement;
class TiXmlNode;

// What a cue tells its observers (codes of the shared set).
enum : uint32_t
{
    CUE_NOTIFY_DELAY = 54,
    CUE_NOTIFY_CONDITION = 90,
    CUE_NOTIFY_HIGHLIGHT = 153,
    CUE_NOTIFY_LABEL = 289,
    CUE_NOTIFY_FADE = 293,
    CUE_NOTIFY_EMPTY = 303,
};

// One cue of a playback's cue list: label, trigger condition, fade and delay times, and the look
// itself as a cue stream of four 800-byte blocks, one 50-byte record per fixture slot. It mirrors
// the controller's cue: setters send records of the cue manager, replies fill the fields. The
// stream is kept byte for byte as the controller sends it; only which fixtures and which attribute
// groups it uses is read from it. Cues are made and removed by their playback.
class CCue : public CSubject
{
public:
    static constexpr uint32_t kBlockCount = 4;
    static constexpr uint32_t kBlockSize = 800;
    static constexpr uint32_t kRecordSize = 50;
    static constexpr uint32_t kRecordsPerBlock = kBlockSize / kRecordSize;
    static constexpr uint32_t kConditionHalt = 0;
    static constexpr uint32_t kConditionFollow = 1;
    static constexpr uint32_t kConditionUnknown = 2;
    static constexpr float kHighlightSeconds = 1.0f;

    using CBlock = std::array<uint8_t, kBlockSize>;

    explicit CCue(CPlayback* owner);
    static std::unique_ptr<CCue> Create(CPlayback* owner) { return std::make_unique<CCue>(owner); }

    CPlayback* GetOwner() const { return m_owner; }
    const std::string& GetLabel() const { return m_label; }
    uint32_t GetCondition() const { return m_condition; }
    const CTime& GetFadeTime() const { return m_fadeTime; }
    const CTime& GetDelayTime() const { return m_delayTime; }
    uint64_t GetFixtureMask() const { return m_fixtureMask; }
    uint32_t GetAttributeMask() const { return m_attributeMask; }
    // Remaining seconds of the highlight the controller asked for.
    float GetHighlight() const { return m_highlight; }
    bool IsEmpty() const { return m_empty; }
    // The cue's place in its playback, -1 when it has none.
    int32_t GetIndex() const;
    // Null for a block above 3.
    const uint8_t* GetBlock(uint32_t block) const;

    // Records of the cue manager addressed to this cue, through the owning playback.
    void Request(uint32_t command);
    void SendCommand(uint32_t command, const CMessageValue& value);
    void RequestBlock(uint32_t block);
    void RequestBlocks();
    // Always sent.
    void SendBlock(uint32_t block, const uint8_t* data);

    // Sent only when the value differs from the mirrored one or from the one asked last.
    void SetLabel(const std::string& label);
    void SetCondition(uint32_t condition);
    void SetFadeTime(const CTime& time);
    void SetDelayTime(const CTime& time);
    // The playback asked this cue with others for the value of a set (the command names which),
    // or a set of it never left and what it asked for is forgotten (TForget says how much).
    void Asked(uint32_t command, const CMessageValue& value);
    void ForgetAsked(uint32_t command, TForget what);

    // A reply or notification of the controller for this cue.
    void ApplyMessage(const CMessage& message);
    // Takes a block from the controller: a wrong block number or size, or the bytes held already,
    // change nothing.
    void SetBlock(uint32_t block, const uint8_t* data, uint32_t size);
    void UpdateMasks();
    // Once per frame: the highlight runs down.
    void Update(float seconds);
    // A change here is a change of the playback too, so its cached digest is computed again.
    void SetChanged() override;
    CDigest ComputeDigest() override;

    // The "cue" element of a show file.
    void Save(TiXmlElement& element) const;
    // Reads the element, then sends what differs and every block; with everything (the cue was
    // just emptied on the controller, so the mirror says nothing of it) every value.
    void Load(const TiXmlNode* node, bool everything = false);
    void LoadBlocks(const TiXmlElement& element);

    static std::string ConditionName(uint32_t condition);
    // "Halt" 0, "Follow" 1, in any letter case; anything else 2.
    static uint32_t ParseCondition(const std::string& text);

private:
    CPlayback* m_owner;
    std::string m_label;
    uint32_t m_condition = kConditionHalt;
    CTime m_fadeTime;
    CTime m_delayTime;
    CAskedValue<std::string> m_askedLabel;
    CAskedValue<uint32_t> m_askedCondition;
    // Times as the milliseconds they go as.
    CAskedValue<uint32_t> m_askedFadeTime;
    CAskedValue<uint32_t> m_askedDelayTime;
    uint64_t m_fixtureMask = 0;
    uint32_t m_attributeMask = 0;
    // None while every block is zero: a playback can be told of 48 cues that hold nothing yet,
    // and a cue takes room for its look only once the look arrives.
    std::unique_ptr<std::array<CBlock, kBlockCount>> m_blocks;
    float m_highlight = 0.0f;
    bool m_empty = true;
};
