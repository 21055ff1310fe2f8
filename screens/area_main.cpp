#include "screens/area_main.h"

CAreaMain::CAreaMain(CArea2* parent, uint32_t width, uint32_t height, CCore* core)
    : CArea2(parent, width, height), m_core(core)
{
    SetName("CAreaMain");
    SetVisibleFlag(true);
}
