#include "graphics/graphics_log.h"

#include "shell/app.h"

namespace
{
GraphicsLogSink& Sink()
{
    static GraphicsLogSink sink;
    return sink;
}
}  // namespace

void GraphicsLog(const std::string& category, const std::string& message)
{
    if (Sink())
        Sink()(category, message);
    else
        CApp::Log(category, message, 1);
}

void SetGraphicsLogSink(GraphicsLogSink sink)
{
    Sink() = std::move(sink);
}
