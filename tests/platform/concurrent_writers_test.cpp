// Writers on separate threads (as the program and its plug-ins are) never lose each
// other's values: every rewrite is a locked read-modify-write.
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "platform/key_store.h"
#include "tests/platform/scratch.h"

namespace {

constexpr int kWritesPerThread = 40;

template <class Write>
void RunWriters(Write&& write) {
    std::vector<std::thread> writers;
    for (int thread = 0; thread < 2; ++thread)
        writers.emplace_back([thread, &write] {
            for (int i = 0; i < kWritesPerThread; ++i) write(thread, i);
        });
    for (std::thread& writer : writers) writer.join();
}

std::string Name(int thread, int i) { return "T" + std::to_string(thread) + "_" + std::to_string(i); }

TEST(ConcurrentWriters, KeyStoreKeepsEveryValue) {
    ScratchFolder folder;
    ScopedEnv configHome("XDG_CONFIG_HOME", folder / "config");
    RunWriters([](int thread, int i) { keystore::SetInt(HKEY_CURRENT_USER, "Shared", Name(thread, i), i); });
    for (int thread = 0; thread < 2; ++thread)
        for (int i = 0; i < kWritesPerThread; ++i)
            EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, "Shared", Name(thread, i), -1), i) << Name(thread, i);
}

TEST(ConcurrentWriters, IniFileKeepsEveryValue) {
    ScratchFolder folder;
    const std::string path = folder / "shared.ini";
    RunWriters([&path](int thread, int i) {
        WritePrivateProfileString("Section" + std::to_string(i % 3), Name(thread, i), std::to_string(i), path);
    });
    for (int thread = 0; thread < 2; ++thread)
        for (int i = 0; i < kWritesPerThread; ++i)
            EXPECT_EQ(GetPrivateProfileInt("Section" + std::to_string(i % 3), Name(thread, i), -1, path), i)
                << Name(thread, i);
}

}  // namespace
