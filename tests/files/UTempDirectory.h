#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A fresh directory under the system's temporary folder, removed with everything in it.
class UTempDirectory {
public:
    UTempDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            root = pattern;
        }
    }
    ~UTempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    UTempDirectory(const UTempDirectory&) = delete;
    UTempDirectory& operator=(const UTempDirectory&) = delete;

    // The directory with its trailing '/'.
    std::string Directory() const { return root + "/"; }
    std::string Path(const std::string& name) const { return root + "/" + name; }

    static void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<unsigned char> ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static bool Exists(const std::string& path) {
        std::error_code ignored;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
    }

private:
    std::string root;
};
