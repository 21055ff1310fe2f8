#pragma once

#include <string>

// A file this process made under a name nobody had (O_EXCL) and holds open with an exclusive
// advisory lock (flock) for as long as it writes it: what tells other instances of the program
// that the file is in use. The lock goes with the descriptor, so a process that ends, however it
// ends, lets go of its files: they are then old files like any other.
class CHeldFile
{
public:
    CHeldFile() = default;
    ~CHeldFile() { Release(); }
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;

    // Makes the regular file at path, which must not exist yet (error EEXIST when anything stands
    // there, a link that leads nowhere too), and holds it; whatever was held before is released.
    // False with error set.
    bool Create(const std::string& path, int& error);
    // Closes the file, which lets go of the lock.
    void Release();
    // The held file still stands at path: not removed, moved or replaced since it was made.
    bool IsAt(const std::string& path) const;
    // Adds the bytes at the file's end, so that whatever stops the process meanwhile leaves what
    // the file held before whole. A write that fails takes back what it added. False with error
    // set.
    bool Append(const std::string& bytes, int& error);

private:
    int m_file = -1;
};

enum class TRemoval
{
    kRemoved,  // or gone already
    kHeld,     // a running instance holds it
    kFailed,
};
// Removes the file unless someone holds it as CHeldFile does: its lock is tried first, and kept
// until the name has gone.
TRemoval RemoveUnlessHeld(const std::string& path);
