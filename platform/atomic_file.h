#pragma once
#include <filesystem>
#include <functional>
#include <ostream>

namespace toa {

// Replaces `target` so that a reader sees either the whole old file or the whole new one: the
// content goes to a temporary file in the same folder, is flushed to disk and renamed over the
// target. When `write` throws or the disk refuses, the temporary file is removed, the target is
// untouched and an Error naming the target is raised (the writer's own Error passes unchanged).
void writeFileAtomically(const std::filesystem::path& target,
                         const std::function<void(std::ostream&)>& write);

}  // namespace toa
