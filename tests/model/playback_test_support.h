#pragma once

// Helpers of the model's tests: a sink that keeps what the model sends, an observer that keeps
// what it is told, and the controller's replies.

#include "link/message.h"
#include "model/message_sink.h"
#include "tests/support/code_recorder.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CRecordingSink : public CMessageSink
{
public:
    bool QueueMessage(const CMessage& message) override
    {
        sent.push_back(message);
        return true;
    }
    // As a queue would answer while the records of every target still wait, or none.
    bool IsWaiting(const CMessage&) const override { return waiting; }

    // "manager/command/index0/index1/index2" of every record, in order.
    std::vector<std::string> Targets() const
    {
        std::vector<std::string> targets;
        for (const CMessage& m : sent)
            targets.push_back(Target(m));
        return targets;
    }
    // The same, each with its value as text.
    std::vector<std::string> TargetsAndValues() const
    {
        std::vector<std::string> records;
        for (const CMessage& m : sent)
            records.push_back(Target(m) + " " + m.GetValue().ToText());
        return records;
    }
    static std::string Target(const CMessage& m)
    {
        return std::to_string(m.GetManager()) + "/" + std::to_string(m.GetCommand()) + "/" +
               std::to_string(m.GetIndex0()) + "/" + std::to_string(m.GetIndex1()) + "/" +
               std::to_string(m.GetIndex2());
    }
    // (command, index0) of every record, in order.
    std::vector<std::pair<uint32_t, uint32_t>> Commands() const
    {
        std::vector<std::pair<uint32_t, uint32_t>> commands;
        for (const CMessage& m : sent)
            commands.emplace_back(m.GetCommand(), m.GetIndex0());
        return commands;
    }
    // The records of one manager and command.
    std::vector<CMessage> Find(uint32_t manager, uint32_t command) const
    {
        std::vector<CMessage> found;
        for (const CMessage& m : sent)
        {
            if (m.GetManager() == manager && m.GetCommand() == command)
                found.push_back(m);
        }
        return found;
    }

    std::vector<CMessage> sent;
    bool waiting = false;
};

inline CMessage Reply(uint32_t manager, uint32_t command, uint32_t index0, uint32_t index1, uint32_t index2,
                      const CMessageValue& value)
{
    CMessage message(manager, command);
    message.SetIndex0(index0);
    message.SetIndex1(index1);
    message.SetIndex2(index2);
    message.SetValue(value);
    return message;
}

inline CMessageValue Raw(const std::vector<uint8_t>& bytes)
{
    CMessageValue value;
    value.SetRawData(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return value;
}
