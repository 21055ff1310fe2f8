#pragma once

#include "foundation/observer.h"

#include <SDL_thread.h>

#include <cstdint>
#include <vector>

// Records the codes a subject sends, with the thread each came on.
class CCodeRecorder : public CObserver
{
public:
    void HandleNotify(CSubject*, uint32_t code) override
    {
        codes.push_back(code);
        threads.push_back(SDL_ThreadID());
    }
    size_t Count(uint32_t code) const
    {
        size_t n = 0;
        for (uint32_t c : codes)
            n += c == code ? 1 : 0;
        return n;
    }

    std::vector<uint32_t> codes;
    std::vector<SDL_threadID> threads;
};
