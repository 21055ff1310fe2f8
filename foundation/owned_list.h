#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Lists of objects their owner holds by std::unique_ptr: the units of the link, the show files,
// the playbacks and their cues, the fixtures, the programmer's groups, the library's entries.

// Empties the list the last first, each object out of the list before it is deleted: the
// observers an object tells of its end find a list without it.
template <typename T>
void DeleteBackwards(std::vector<std::unique_ptr<T>>& list)
{
    while (!list.empty())
    {
        const std::unique_ptr<T> item = std::move(list.back());
        list.pop_back();
    }
}

// The position of the object in the list, or -1.
template <typename T>
int32_t PositionIn(const std::vector<std::unique_ptr<T>>& list, const void* item)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == item)
            return static_cast<int32_t>(i);
    return -1;
}

// The object at the index, or null past the end.
template <typename T>
T* ItemAt(const std::vector<std::unique_ptr<T>>& list, size_t index)
{
    return index < list.size() ? list[index].get() : nullptr;
}
