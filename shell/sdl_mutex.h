#pragma once

struct SDL_mutex;

// One SDL mutex owned on the heap. SDL mutexes are recursive: the thread that holds one may
// lock it again, which the log relies on when it logs from inside its own lock.
class CSdlMutex
{
public:
    CSdlMutex();
    ~CSdlMutex();
    CSdlMutex(const CSdlMutex&) = delete;
    CSdlMutex& operator=(const CSdlMutex&) = delete;

    // Destroys the SDL mutex early; later locks on this cell do nothing.
    void Destroy();
    bool IsValid() const { return m_mutex != nullptr; }
    void Lock();
    void Unlock();

private:
    SDL_mutex* m_mutex = nullptr;
};

// Holds a mutex for the length of a scope. A missing cell, or one whose mutex is gone, is not
// locked at all.
class CSdlMutexLock
{
public:
    explicit CSdlMutexLock(CSdlMutex* mutex);
    explicit CSdlMutexLock(CSdlMutex& mutex) : CSdlMutexLock(&mutex) {}
    ~CSdlMutexLock();
    CSdlMutexLock(const CSdlMutexLock&) = delete;
    CSdlMutexLock& operator=(const CSdlMutexLock&) = delete;

private:
    CSdlMutex* m_mutex = nullptr;
};
