#pragma once

#include "link/message_value.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Manager identifiers: the kind of object a message record addresses. Fixed by the protocol.
enum : uint32_t
{
    MANAGER_LEGACY = 0,
    MANAGER_NET = 2,
    MANAGER_FLASH = 3,
    MANAGER_FIRMWARE = 4,
    MANAGER_ARTNET = 10,
    MANAGER_ACN = 11,
    MANAGER_DMX = 12,
    MANAGER_BACKGROUND_SCENE = 13,
    MANAGER_BEAT_SYNTHESISER = 14,
    MANAGER_ACTION_MANAGER = 20,
    MANAGER_ACTION_LIST = 21,
    MANAGER_ACTION_TASK = 23,
    MANAGER_FIXTURE_MANAGER = 30,
    MANAGER_FIXTURE = 31,
    MANAGER_PERSONALITY = 32,
    MANAGER_PLAYBACK_MANAGER = 40,
    MANAGER_PLAYBACK = 41,
    MANAGER_CUE_MANAGER = 42,
    MANAGER_CUE = 43,
    MANAGER_PROGRAMMER = 44,
    MANAGER_PROGRAMMER_CHANGE = 45,
    MANAGER_OPTIONS = 50,
    MANAGER_IDENTIFY_RESPONSE = 60,
    MANAGER_DEVICE_MANAGER = 61,
    MANAGER_DEVICE = 62,
    MANAGER_ENGINE = 63,
    // The default and the exclusive upper bound of the link; never valid on it.
    MANAGER_MAX = 64,
    MANAGER_IDENTIFY = 118,
};

// Command identifiers. 75 has no name; 77 is the default and the exclusive upper bound of the link.
enum : uint32_t
{
    COMMAND_NOTIFY = 0,
    COMMAND_SET = 1,
    COMMAND_GET = 2,
    COMMAND_ADD = 3,
    COMMAND_REMOVE = 4,
    COMMAND_GET_LABEL = 5,
    COMMAND_SET_LABEL = 6,
    COMMAND_GET_PERSONALITY = 7,
    COMMAND_SET_PERSONALITY = 8,
    COMMAND_GET_MARGINS = 9,
    COMMAND_SET_MARGINS = 10,
    COMMAND_GET_ADDRESS = 11,
    COMMAND_SET_ADDRESS = 12,
    COMMAND_GET_INVERT_PAN = 13,
    COMMAND_SET_INVERT_PAN = 14,
    COMMAND_GET_INVERT_TILT = 15,
    COMMAND_SET_INVERT_TILT = 16,
    COMMAND_GET_SWAP_PAN_TILT = 17,
    COMMAND_SET_SWAP_PAN_TILT = 18,
    COMMAND_GET_VIRTUAL_DIMMER = 19,
    COMMAND_SET_VIRTUAL_DIMMER = 20,
    COMMAND_GET_SPEED = 21,
    COMMAND_SET_SPEED = 22,
    COMMAND_GET_INTENSITY = 23,
    COMMAND_SET_INTENSITY = 24,
    COMMAND_GET_FX_RATE = 25,
    COMMAND_SET_FX_RATE = 26,
    COMMAND_GET_ATTACK = 27,
    COMMAND_SET_ATTACK = 28,
    COMMAND_GET_BACKGROUND = 29,
    COMMAND_SET_BACKGROUND = 30,
    COMMAND_GET_CHASE = 31,
    COMMAND_SET_CHASE = 32,
    COMMAND_SET_GO_MODE = 33,
    COMMAND_SET_GO_DOWN = 34,
    COMMAND_SET_FLASH_DOWN = 35,
    COMMAND_GET_STATUS = 36,
    COMMAND_GET_ENABLED = 37,
    COMMAND_SET_ENABLED = 38,
    COMMAND_GET_CONDITION = 39,
    COMMAND_SET_CONDITION = 40,
    COMMAND_GET_FADE_TIME = 41,
    COMMAND_SET_FADE_TIME = 42,
    COMMAND_GET_DELAY_TIME = 43,
    COMMAND_SET_DELAY_TIME = 44,
    COMMAND_GET_REPEAT = 45,
    COMMAND_SET_REPEAT = 46,
    COMMAND_GET_CURRENT_CUE = 47,
    COMMAND_GET_PROPERTIES = 48,
    COMMAND_SET_PROPERTIES = 49,
    COMMAND_GET_VALUE = 50,
    COMMAND_SET_VALUE = 51,
    COMMAND_GET_BLIND = 52,
    COMMAND_SET_BLIND = 53,
    COMMAND_LOAD = 54,
    COMMAND_RECORD = 55,
    COMMAND_CLEAR = 56,
    COMMAND_GET_EXCLUSIVE = 57,
    COMMAND_SET_EXCLUSIVE = 58,
    COMMAND_GET_FIXTURES = 59,
    COMMAND_SET_FIXTURES = 60,
    COMMAND_GET_COUNT = 61,
    COMMAND_GET_PLAYBACK = 62,
    COMMAND_SET_PLAYBACK = 63,
    COMMAND_GET_INDEX = 64,
    COMMAND_SET_INDEX = 65,
    COMMAND_RELEASE = 66,
    COMMAND_REMOVE_ALL = 67,
    COMMAND_SET_IP = 68,
    COMMAND_GET_CLEAR = 69,
    COMMAND_GET_CUE_STREAM_BLOCK = 70,
    COMMAND_SET_CUE_STREAM_BLOCK = 71,
    COMMAND_SET_COUNT = 72,
    COMMAND_SWAP = 73,
    COMMAND_HELLO = 74,
    COMMAND_GET_DIGEST = 76,
    COMMAND_MAX = 77,
    COMMAND_END = 78,
};

// The record that model objects exchange with the connected controller: which kind of object
// (manager), what to do (command), which object (three indexes, their meaning the manager's),
// the sequence number that pairs a reply with its request, and a typed payload.
class CMessage
{
public:
    // Manager MANAGER_MAX and command COMMAND_MAX: a record that is valid nowhere.
    CMessage() = default;
    CMessage(uint32_t manager, uint32_t command) : m_manager(manager), m_command(command) {}

    uint32_t GetManager() const { return m_manager; }
    void SetManager(uint32_t manager) { m_manager = manager; }
    uint32_t GetCommand() const { return m_command; }
    uint32_t GetIndex0() const { return m_index0; }
    void SetIndex0(uint32_t index) { m_index0 = index; }
    uint32_t GetIndex1() const { return m_index1; }
    void SetIndex1(uint32_t index) { m_index1 = index; }
    uint32_t GetIndex2() const { return m_index2; }
    void SetIndex2(uint32_t index) { m_index2 = index; }
    uint16_t GetSequence() const { return m_sequence; }
    void SetSequence(uint16_t sequence) { m_sequence = sequence; }
    CMessageValue GetValue() const { return m_value; }
    // The payload without a copy.
    const CMessageValue& GetValueRef() const { return m_value; }
    void SetValue(const CMessageValue& value) { m_value = value; }

    // What a record addresses: manager, command and indexes.
    struct STarget
    {
        uint32_t manager;
        uint32_t command;
        uint32_t index0;
        uint32_t index1;
        uint32_t index2;
        bool operator==(const STarget& other) const;
    };
    struct STargetHash
    {
        size_t operator()(const STarget& target) const;
    };
    STarget GetTarget() const { return {m_manager, m_command, m_index0, m_index1, m_index2}; }
    // Same manager, command and indexes; sequence and payload do not count.
    bool IsSameTarget(const CMessage& other) const { return GetTarget() == other.GetTarget(); }
    // Whether only the last record of its target matters (a value or a question), so that a newer
    // one may take the place of one still queued. A press, its release and every action reach
    // the controller as often as they were made, and in their place among the values around them.
    bool IsLastValueOnly() const;
    // Whether the record only asks for a value (a Get of any kind).
    bool IsRead() const;
    // Whether the record is the answer a read of the target waits for: one of its own target, or
    // the other programmer manager's value of the same group, since the controller hands a group's
    // value read through either manager to that one group and may answer under either.
    bool AnswersRead(const STarget& read) const;

private:
    uint32_t m_manager = MANAGER_MAX;
    uint32_t m_command = COMMAND_MAX;
    uint32_t m_index0 = 0;
    uint32_t m_index1 = 0;
    uint32_t m_index2 = 0;
    uint16_t m_sequence = 0;
    CMessageValue m_value;
};

// The names of the traffic log; "?" for an identifier without one.
std::string MessageManagerName(uint32_t id);
std::string MessageCommandName(uint32_t id);
