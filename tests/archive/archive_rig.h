#pragma once
// What the archive tests share: hand-made archives written with libzip, file
// contents, shell commands with their output, and an engine on the scripted
// platform that records every message it raises.

#include <sys/stat.h>
#include <zip.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "archive/ZipMstr.h"
#include "support/batch_run.h"
#include "support/fake_platform.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace quillet::archive::test {

struct HandEntry {
    std::string name;
    std::string data;
    unsigned mode = 0;  // Unix mode stored with the entry; 0: none
};

// Writes an archive holding exactly `entries` (a name ending in "/" is a
// folder entry); false when libzip refused.
inline bool writeArchive(const std::string& path, const std::vector<HandEntry>& entries) {
    int error = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (za == nullptr) return false;
    for (const HandEntry& e : entries) {
        zip_int64_t i;
        if (!e.name.empty() && e.name.back() == '/') {
            i = zip_dir_add(za, e.name.c_str(), ZIP_FL_ENC_RAW);
        } else {
            zip_source_t* src = zip_source_buffer(za, e.data.data(), e.data.size(), 0);
            i = zip_file_add(za, e.name.c_str(), src, ZIP_FL_ENC_RAW);
            if (i < 0) zip_source_free(src);
        }
        if (i < 0) return zip_discard(za), false;
        if (e.mode != 0) zip_file_set_external_attributes(za, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX, e.mode << 16);
    }
    return zip_close(za) == 0;
}

// Replaces every occurrence of `from` in an archive's bytes (a name in its
// local and central headers alike) by `to`, of the same length.
inline void replaceAll(std::string& bytes, const std::string& from, const std::string& to) {
    for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size()))
        bytes.replace(at, from.size(), to);
}

// Makes the first `count` entries of an archive declare `size` uncompressed
// bytes, in their local and their central headers.
inline void declareSizes(std::string& bytes, std::uint32_t size, std::size_t count = std::string::npos) {
    auto put = [&](const char* signature, std::size_t field) {
        std::size_t n = 0;
        for (std::size_t at = bytes.find(signature, 0, 4); at != std::string::npos && n < count;
             at = bytes.find(signature, at + 4, 4), ++n)
            for (int i = 0; i < 4; ++i) bytes[at + field + std::size_t(i)] = char((size >> (8 * i)) & 0xff);
    };
    put("PK\x03\x04", 22);
    put("PK\x01\x02", 24);
}

inline void writeFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

// Runs a /bin/sh command; its standard output, and its exit status in `status`.
inline std::string shell(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int st = ::pclose(p);
    if (status != nullptr) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

using testing::fileBytes;
using testing::shellQuote;

// The built run-time libraries' folder.
inline std::string builtLibraries() { return std::string(QUILLET_BUILD_DIR) + "/lib/quillet"; }

// An engine on the fake platform; `events` holds "code: text" per message.
struct EngineRig {
    testing::FakePlatform fake;
    TZipMaster engine{fake};
    std::vector<std::string> events;
    EngineRig() {
        engine.OnMessage = [this](int code, const std::string& text) {
            events.push_back(std::to_string(code) + ": " + text);
        };
    }
};

}  // namespace quillet::archive::test
