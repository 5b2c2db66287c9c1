#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace patapata::testing {

/// A fresh folder under the system's temporary folder, removed with the object. Made by
/// mkdtemp, so no two objects share one, in one process or in tests of two build trees running
/// at once (a process id would not do: WebAssembly processes under Node all have the same).
class TempDir {
 public:
  TempDir() {
    std::string name = (std::filesystem::temp_directory_path() / "patapata-test-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) {
      throw std::filesystem::filesystem_error("mkdtemp", name,
                                              std::error_code(errno, std::generic_category()));
    }
    path_ = name;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The path of `name` inside the folder, as a byte string.
  std::string file(std::string_view name) const { return path_.string() + "/" + std::string(name); }
  /// Writes `bytes` as `name` inside the folder and gives its path.
  template <typename Bytes>
  std::string write(std::string_view name, const Bytes& bytes) const {
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace patapata::testing
