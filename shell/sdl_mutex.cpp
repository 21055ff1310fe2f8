#include "shell/sdl_mutex.h"

#include <SDL.h>

CSdlMutex::CSdlMutex() : m_mutex(SDL_CreateMutex())
{
}

CSdlMutex::~CSdlMutex()
{
    Destroy();
}

void CSdlMutex::Destroy()
{
    if (m_mutex)
        SDL_DestroyMutex(m_mutex);
    m_mutex = nullptr;
}

void CSdlMutex::Lock()
{
    if (m_mutex)
        SDL_LockMutex(m_mutex);
}

void CSdlMutex::Unlock()
{
    if (m_mutex)
        SDL_UnlockMutex(m_mutex);
}

CSdlMutexLock::CSdlMutexLock(CSdlMutex* mutex)
{
    if (mutex && mutex->IsValid())
    {
        mutex->Lock();
        m_mutex = mutex;
    }
}

CSdlMutexLock::~CSdlMutexLock()
{
    if (m_mutex)
        m_mutex->Unlock();
}
