#pragma once

#include <functional>
#include <string>

// Where the graphics managers write their log lines: the application's log at level 1, unless a
// test has installed a sink of its own (an empty sink restores the application's log).
using GraphicsLogSink = std::function<void(const std::string& category, const std::string& message)>;

void GraphicsLog(const std::string& category, const std::string& message);
void SetGraphicsLogSink(GraphicsLogSink sink);
