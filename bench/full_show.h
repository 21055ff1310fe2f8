#pragma once

// The largest show a user makes: every playback full, with a label and settings and 48 cues, each
// with a label, times and four blocks holding records for a few fixtures (some 13 MB).
#include "foundation/base64.h"
#include "model/cue.h"
#include "model/playback.h"

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace bench
{
inline std::string FullShowXml()
{
    std::mt19937 random(7);
    std::ostringstream xml;
    xml << "<show application=\"Tanzo\"><fixtures/><playbacks>";
    for (uint32_t p = 0; p < 64; ++p)
    {
        xml << "<playback index=\"" << p << "\" label=\"Look " << p << "\" intensity=\"0.5\" gomode=\"Toggle\"><cues>";
        for (uint32_t c = 0; c < CPlayback::kMaxCues; ++c)
        {
            xml << "<cue label=\"Cue " << c + 1 << "\" fade=\"2s\" delay=\"1s\" condition=\"Follow\"><blocks>";
            for (uint32_t b = 0; b < CCue::kBlockCount; ++b)
            {
                std::vector<uint8_t> block(CCue::kBlockSize, 0);
                for (uint32_t n = 0; n < 3; ++n)
                    block[(random() % CCue::kRecordsPerBlock) * CCue::kRecordSize + 16] = uint8_t(1 + random() % 255);
                xml << "<block>" << Base64Encode(block) << "</block>";
            }
            xml << "</blocks></cue>";
        }
        xml << "</cues></playback>";
    }
    xml << "</playbacks></show>";
    return xml.str();
}
}  // namespace bench
