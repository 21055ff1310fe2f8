#pragma once

// Helpers shared by the tests of the patch and the programmer: records as the controller sends
// them and the test data's folder, beside the sink and observer every model test uses.

#include "link/message.h"
#include "tests/model/playback_test_support.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// In a namespace of their own: the tests of other model classes link into the same program.
namespace patchtest
{
using ::CRecordingSink;

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
