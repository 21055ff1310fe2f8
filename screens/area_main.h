#pragma once

#include "widgets/area.h"

#include <cstdint>

class CCore;

// The root of the area tree: sized to the window, handed the model root, and shown from the start.
class CAreaMain : public CArea2
{
public:
    CAreaMain(CArea2* parent, uint32_t width, uint32_t height, CCore* core);

    CCore* GetCore() const { return m_core; }

private:
    CCore* m_core;
};
