#pragma once

#include <string>
#include <vector>

// Replaces a file's content whole: the bytes go to a new file beside it, are pushed to the disk,
// and the new file is renamed over the target, so the target is at every moment either the old
// content or the whole new one, never a half-written file. The new file's name starts with a dot
// (no listing of shows or options shows it) and ends in ".partial-" and six random characters.
// False, with the reason (the system's words), when anything fails; the target is then as it was
// and nothing is left beside it.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string& reason);

// A replace killed half-way (a crash, a power cut) leaves its new file behind. Removes every such
// file in the folder, those of earlier versions (".name.show.XXXXXX") included, and returns the
// names removed; run at start-up, before anything saves into the folder.
std::vector<std::string> RemoveInterruptedReplaces(const std::string& folder);
