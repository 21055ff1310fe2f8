#include "model/core.h"

CCore* CCore::Create(int, char**)
{
    return new CCore();
}

CCore::~CCore() = default;

void CCore::Update(float)
{
}

void CCore::Suspend()
{
}

void CCore::Resume()
{
}
