#include "tests/phonelink/phonelink_test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class CoreApplicationEnvironment final : public ::testing::Environment {
public:
    void Make() {
        if (!m_app) m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[15] = "phonelink_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
};

CoreApplicationEnvironment* const g_app =
    static_cast<CoreApplicationEnvironment*>(::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment));

}  // namespace

void EnsureCoreApplication() { g_app->Make(); }

ScratchFolder::ScratchFolder() {
    std::random_device random;
    m_path = fs::temp_directory_path() / ("morvane-phonelink-" + std::to_string(random()));
    fs::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

void WriteWholeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> EntriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
        names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

EnvironmentScope::EnvironmentScope(const char* name, const std::string& value) : m_name(name) {
    if (const char* previous = std::getenv(name)) {
        m_previous = previous;
        m_hadPrevious = true;
    }
    setenv(name, value.c_str(), 1);
}

EnvironmentScope::~EnvironmentScope() {
    if (m_hadPrevious)
        setenv(m_name.c_str(), m_previous.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}
