#pragma once
// A scratch directory for a test or a benchmark: made fresh and unique with
// mkdtemp, removed with everything in it when the object goes, on every
// return path.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace quillet::base {

class TempDir {
public:
    // Makes <parent>/<prefix>-XXXXXX; `parent` defaults to the system
    // temporary directory. path() is empty when the directory could not be
    // made (a parent that is missing or not writable).
    explicit TempDir(const std::string& prefix = "quillet-test", std::string parent = {}) {
        if (parent.empty()) parent = std::filesystem::temp_directory_path().string();
        while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
        if (parent == "/") parent.clear();
        std::string pattern = parent + "/" + prefix + "-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    // A directory made inside `parent` (another file system, say).
    static TempDir inside(const std::string& parent, const std::string& prefix = "quillet-test") {
        return TempDir(prefix, parent);
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(TempDir&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    TempDir& operator=(TempDir&&) = delete;

    // The directory, without a trailing separator.
    const std::string& path() const { return path_; }
    // The path of `name` inside the directory.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // True when `name` exists inside the directory.
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
    // Names of the entries in the directory, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // Writes a file with the given (not necessarily bitmap) content.
    void writeText(const std::string& name, const std::string& text = "not a bitmap") const {
        std::ofstream(file(name), std::ios::binary) << text;
    }
    // Makes a subdirectory (and its parents).
    void makeDir(const std::string& name) const { std::filesystem::create_directories(file(name)); }

private:
    std::string path_;
};

}  // namespace quillet::base
