#pragma once

#include "foundation/digest.h"
#include "tools/standin/show_state.h"

#include <string>

namespace standin
{
// The show digest by the program's own rules (patch first, then playbacks), computed from the
// stand-in's state: equal digests mean the program mirrors this show.
CDigest ComputeShowDigest(const SShow& show);

// A personality text as the program keeps it: read field by field between quotes, then written
// back in the four-field form.
std::string NormalisePersonality(const std::string& csv);
}  // namespace standin
