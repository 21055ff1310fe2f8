#pragma once

// Helpers shared by the tests of the patch and the programmer: a sink that keeps every record it
// is given, an observer that keeps every code it is told, and records as the controller sends them.

#include "foundation/observer.h"
#include "foundation/subject.h"
#include "link/message.h"
#include "model/message_sink.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// In a namespace of their own: the tests of other model classes link into the same program.
namespace patchtest
{
class CRecordingSink : public CMessageSink
{
public:
    bool QueueMessage(const CMessage& message) override
    {
        records.push_back(message);
        return true;
    }

    // (command, index0) of every record, in order.
    std::vector<std::pair<uint32_t, uint32_t>> Commands() const
    {
        std::vector<std::pair<uint32_t, uint32_t>> commands;
        for (const CMessage& record : records)
            commands.emplace_back(record.GetCommand(), record.GetIndex0());
        return commands;
    }

    std::vector<CMessage> records;
};

class CCodeRecorder : public CObserver
{
public:
    void HandleNotify(CSubject*, uint32_t code) override { codes.push_back(code); }
    size_t Count(uint32_t code) const
    {
        size_t n = 0;
        for (uint32_t c : codes)
            n += c == code ? 1 : 0;
        return n;
    }

    std::vector<uint32_t> codes;
};

inline CMessage Record(uint32_t manager, uint32_t command, uint32_t index0 = 0,
                       const CMessageValue& value = CMessageValue())
{
    CMessage message(manager, command);
    message.SetIndex0(index0);
    message.SetValue(value);
    return message;
}

inline CMessage NotifyRecord(uint32_t manager, uint32_t index0, uint32_t code)
{
    return Record(manager, COMMAND_NOTIFY, index0, CMessageValue(code));
}

inline std::string TestDataPath(const std::string& name)
{
    return std::string(TANZO_SOURCE_DIR) + "/tests/model/data/" + name;
}
}  // namespace patchtest
