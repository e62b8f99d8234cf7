#pragma once
#include <filesystem>
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

namespace toa {

// Files replaced together. Each one's new content goes to a temporary file in its target's folder
// and is flushed to disk; only when every one is written does commit() rename them over their
// targets, so that a write that fails (a full disk, a writer's error) replaces none of them.
// What is not committed is removed when the object goes.
class AtomicReplacement {
  public:
    AtomicReplacement() = default;
    ~AtomicReplacement();
    AtomicReplacement(const AtomicReplacement&) = delete;
    AtomicReplacement& operator=(const AtomicReplacement&) = delete;

    // When `write` throws or the disk refuses, an Error naming the target is raised (the
    // writer's own Error passes unchanged) and the targets are untouched.
    void stage(const std::filesystem::path& target,
               const std::function<void(std::ostream&)>& write);
    // Renames every staged file over its target, in the order staged.
    void commit();

  private:
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> staged_;  // temp, target
};

// One file replaced so that a reader sees either the whole old file or the whole new one.
void writeFileAtomically(const std::filesystem::path& target,
                         const std::function<void(std::ostream&)>& write);

}  // namespace toa
