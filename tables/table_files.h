#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The files of a table in its folder, and holding one for exclusive use. Shared by the table
// components, which read a table, and by the re-create rule, which replaces it.
namespace toa::tables {

// The files of `folder` that Windows would take for `fileName`, letter case aside: the exact
// spelling first, then the other spellings in byte order. Empty when there is none or the folder
// cannot be read.
std::vector<std::filesystem::path> filesNamed(const std::filesystem::path& folder,
                                              std::string_view fileName);

// A table file open for exclusive use until destroyed. Off Windows an advisory lock (flock,
// which also keeps two holders apart inside one process); on Windows a share mode. Another
// holder makes the constructor raise "La tabla X está en uso por otro programa".
class HeldFile {
  public:
    HeldFile(const std::filesystem::path& path, std::string_view tableName);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // The whole file as it is now.
    std::string readAll() const;

  private:
    std::filesystem::path path_;
    std::string tableName_;
#ifdef _WIN32
    void* handle_;
#else
    int fd_;
#endif
};

}  // namespace toa::tables
