#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Replaces a file's content whole: the bytes go to a new file beside it, are pushed to the disk,
// and the new file is renamed over the target, so the target is at every moment either the old
// content or the whole new one, never a half-written file. A path that is a symbolic link keeps
// it: the file it leads to is replaced, in its own folder; a chain of up to 40 links is followed,
// as the system follows it, and a loop or a longer chain is refused with ELOOP. The new file
// keeps the old one's permission bits (and owner and group where the process may set them); one
// made anew is 0644. False, with the error (a system error number, or kErrorNotRegularFile when
// something other than a regular file stands at the path), when anything fails; the target is
// then as it was and nothing is left beside it.
//
// The new file is named "." + the target's name + ".tanzo-partial-" + the writer's process id +
// "-" + six random characters (a hidden file no listing of shows or options shows), the target's
// name cut short where the whole would be longer than the folder allows; its writer holds an
// advisory lock on it (flock) until it is renamed or removed.
bool ReplaceFile(const std::string& path, const std::string& bytes, int& error);

// A replace killed half-way (a crash, a power cut) leaves its new file behind, beside the file
// replaced: in the folder, or where one of the folder's symbolic links leads. Removes each such
// file of the folder and of the folders its links to files lead to, and returns the paths
// removed; a file whose writer still lives (its process runs, or anyone holds its lock) is left
// alone, and so is every name not of exactly that form. One call tries at most 64 such files, in
// at most 16 folders beside the folder, and puts in left how many more it found: later calls
// take them. It reads at most kSweepMostNames names in all, those of the folder first: some 30 ms,
// some 90 ms where each is a leftover's, however many names the folders hold. In folders of more
// names, what lies past those in the order the folders list them is not reached.
inline constexpr size_t kSweepMostNames = 65536;
std::vector<std::string> RemoveInterruptedReplaces(const std::string& folder, size_t* left = nullptr);
