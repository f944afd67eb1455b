#include "tests/btlink/btlink_test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

namespace {

class CoreApplicationEnvironment final : public ::testing::Environment {
public:
    void Make() {
        if (!m_app) m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
    }
    void SetUp() override { Make(); }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[12] = "btlink_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
};

CoreApplicationEnvironment* const g_app =
    static_cast<CoreApplicationEnvironment*>(::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment));

}  // namespace

void EnsureCoreApplication() { g_app->Make(); }

void SearchRecorder::OnDeviceFound(const char* name, uint32_t addressLow, uint32_t addressHigh) {
    {
        std::lock_guard lock(m_mutex);
        m_devices.push_back({name != nullptr ? name : "(null)", addressLow, addressHigh});
        if (m_finishCount > 0) m_deviceAfterFinish = true;
    }
    m_changed.notify_all();
    if (onDevice) onDevice();
}

void SearchRecorder::OnSearchFinished(bool stopped) {
    {
        std::lock_guard lock(m_mutex);
        ++m_finishCount;
        m_stopped = stopped;
    }
    m_changed.notify_all();
}

void SearchRecorder::OnBluetoothChecked(int state) {
    {
        std::lock_guard lock(m_mutex);
        m_checkedStates.push_back(state);
        if (m_finishCount > 0) m_checkAfterFinish = true;
    }
    m_changed.notify_all();
}

bool SearchRecorder::WaitForCheck(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !m_checkedStates.empty(); });
}

std::vector<int> SearchRecorder::CheckedStates() {
    std::lock_guard lock(m_mutex);
    return m_checkedStates;
}

bool SearchRecorder::CheckAfterFinish() {
    std::lock_guard lock(m_mutex);
    return m_checkAfterFinish;
}

bool SearchRecorder::WaitForDevices(size_t count, int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_devices.size() >= count; });
}

bool SearchRecorder::WaitForFinish(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_finishCount > 0; });
}

std::vector<FoundDevice> SearchRecorder::Devices() {
    std::lock_guard lock(m_mutex);
    return m_devices;
}

int SearchRecorder::FinishCount() {
    std::lock_guard lock(m_mutex);
    return m_finishCount;
}

bool SearchRecorder::Stopped() {
    std::lock_guard lock(m_mutex);
    return m_stopped;
}

bool SearchRecorder::DeviceAfterFinish() {
    std::lock_guard lock(m_mutex);
    return m_deviceAfterFinish;
}

void UploadRecorder::OnUploadFinished(bool cancelled) {
    {
        std::lock_guard lock(m_mutex);
        ++(cancelled ? m_cancelled : m_finished);
    }
    m_changed.notify_all();
}

void UploadRecorder::OnUploadError() {
    {
        std::lock_guard lock(m_mutex);
        ++m_errors;
    }
    m_changed.notify_all();
}

bool UploadRecorder::ReadData(void* buffer, uint32_t count, uint32_t* bytesRead) {
    if (beforeRead && !beforeRead(m_offset)) return false;
    const uint64_t left = m_data.size() - m_offset;
    const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>({left, count, m_chunk}));
    std::memcpy(buffer, m_data.data() + m_offset, take);
    m_offset += take;
    *bytesRead = take;
    return true;
}

bool UploadRecorder::WaitForEnd(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_finished + m_cancelled + m_errors > 0; });
}

int UploadRecorder::Finished() {
    std::lock_guard lock(m_mutex);
    return m_finished;
}

int UploadRecorder::Cancelled() {
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

int UploadRecorder::Errors() {
    std::lock_guard lock(m_mutex);
    return m_errors;
}

int UploadRecorder::Ends() {
    std::lock_guard lock(m_mutex);
    return m_finished + m_cancelled + m_errors;
}

TempFolderScope::TempFolderScope() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() / ("morvane-bt-tmp-" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
    if (const char* previous = std::getenv("TMPDIR")) {
        m_previous = previous;
        m_hadPrevious = true;
    }
    setenv("TMPDIR", m_path.c_str(), 1);
}

TempFolderScope::~TempFolderScope() {
    if (m_hadPrevious)
        setenv("TMPDIR", m_previous.c_str(), 1);
    else
        unsetenv("TMPDIR");
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
