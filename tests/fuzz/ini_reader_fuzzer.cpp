// Fuzz target for the private-profile functions. Input: a first line "section|key" naming
// what to look up, then the INI file's bytes. Reads must never fail; a value written must
// read back, and so must a struct; deleting must leave nothing behind.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/ini_file.h"

namespace {

// One scratch INI file per fuzzing process, removed at exit.
class ScratchFile {
public:
    ScratchFile() {
        const std::string folder = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : TempFolder();
        std::string pattern = folder + "/morvane-ini-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) std::abort();
        ::close(fd);
        m_path = pattern;
    }
    ~ScratchFile() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "ini_reader_fuzzer: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFile file;
    const std::string& path = file.Path();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = input.find('\n');
    const std::string_view selector = input.substr(0, lineEnd);
    const std::string_view content = lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1);
    const size_t bar = selector.find('|');
    const std::string section(selector.substr(0, bar));
    const std::string key(bar == std::string_view::npos ? "key" : selector.substr(bar + 1));
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }

    GetPrivateProfileInt(section, key, 0, path);
    GetPrivateProfileString(section, key, "default", path, 17);
    uint8_t block[8];
    for (uint32_t length = 0; length <= sizeof block; ++length)
        GetPrivateProfileStruct(section, key, block, length, path);

    if (WritePrivateProfileString(section, key, std::string("fuzz-value"), path)) {
        Check(GetPrivateProfileString(section, key, "", path) == "fuzz-value", "written value does not read back");
        const uint8_t bytes[3] = {0x00, 0x7F, 0xFF};
        Check(WritePrivateProfileStruct(section, key, bytes, 3, path), "struct write failed");
        uint8_t read[3] = {};
        Check(GetPrivateProfileStruct(section, key, read, 3, path) && std::memcmp(read, bytes, 3) == 0,
              "written struct does not read back");
        Check(WritePrivateProfileString(section, key, std::nullopt, path), "key deletion failed");
        Check(GetPrivateProfileString(section, key, "gone", path) == "gone", "deleted key still there");
        Check(WritePrivateProfileString(section, std::string("other"), std::string("1"), path), "second write failed");
        Check(WritePrivateProfileString(section, std::nullopt, std::nullopt, path), "section deletion failed");
        Check(GetPrivateProfileInt(section, "other", -1, path) == -1, "deleted section still there");
    }
    return 0;
}
