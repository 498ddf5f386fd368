#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <system_error>
#include <thread>

namespace sorvo::download::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sorvo-dl-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    // A stopped transfer that ends on its own may still be removing its part file.
    ~ScratchFolder() {
        std::error_code error;
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::filesystem::remove_all(path_, error);
            if (!error) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace sorvo::download::testing
