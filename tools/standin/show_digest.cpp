#include "tools/standin/show_digest.h"

namespace standin
{
namespace
{
CDigest CueDigest(const SCue& cue)
{
    CDigestBuilder builder;
    builder.AddString(cue.label);
    builder.AddUnsigned(cue.condition);
    // The program keeps times at 10-ms resolution.
    builder.AddUnsigned(cue.fadeMs / 10 * 10);
    builder.AddUnsigned(cue.delayMs / 10 * 10);
    return builder.GetDigest();
}

CDigest PlaybackDigest(const SPlayback& playback)
{
    CDigestBuilder builder;
    builder.AddString(playback.label);
    builder.AddUnsigned(playback.status);
    builder.AddUnsigned(playback.repeat);
    builder.AddUnsigned(playback.goMode);
    builder.AddFloat(playback.intensity);
    builder.AddFloat(playback.speed);
    builder.AddInt(playback.background ? 1 : 0);
    builder.AddInt(playback.exclusive ? 1 : 0);
    for (const SCue& cue : playback.cues)
        builder.AddDigest(CueDigest(cue));
    return builder.GetDigest();
}

CDigest FixtureDigest(const SFixture& fixture)
{
    CDigestBuilder builder;
    builder.AddString(NormalisePersonality(fixture.personality));
    builder.AddString(fixture.label);
    builder.AddUnsigned(fixture.address);
    builder.AddInt(fixture.invertPan ? 1 : 0);
    builder.AddInt(fixture.invertTilt ? 1 : 0);
    builder.AddInt(fixture.swapPanTilt ? 1 : 0);
    builder.AddInt(fixture.virtualDimmer ? 1 : 0);
    return builder.GetDigest();
}
}  // namespace

std::string NormalisePersonality(const std::string& csv)
{
    std::string fields[4];
    size_t at = csv.find('"');
    for (std::string& field : fields)
    {
        if (at == std::string::npos)
            break;
        const size_t close = csv.find('"', at + 1);
        if (close == std::string::npos)
            break;
        field = csv.substr(at + 1, close - at - 1);
        at = csv.find('"', close + 1);
    }
    return "\"" + fields[0] + "\",\"" + fields[1] + "\",\"" + fields[2] + "\",\"" + fields[3] + "\"";
}

CDigest ComputeShowDigest(const SShow& show)
{
    CDigestBuilder patch;
    for (const SFixture& fixture : show.fixtures)
        patch.AddDigest(FixtureDigest(fixture));
    CDigestBuilder playbacks;
    for (const SPlayback& playback : show.playbacks)
        playbacks.AddDigest(PlaybackDigest(playback));
    CDigestBuilder root;
    root.AddDigest(patch.GetDigest());
    root.AddDigest(playbacks.GetDigest());
    return root.GetDigest();
}
}  // namespace standin
