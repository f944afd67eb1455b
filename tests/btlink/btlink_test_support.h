// The application object btlink needs, and callbacks that record what btlink reports.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "btlink/btlink.h"

// Makes the process's QCoreApplication (once).
void EnsureCoreApplication();

struct FoundDevice {
    std::string name;
    uint32_t low = 0;
    uint32_t high = 0;
    bool operator==(const FoundDevice&) const = default;
};

// m_mutex guards everything recorded; the waits run on the test's thread.
class SearchRecorder : public IBtSearchCb {
public:
    void OnDeviceFound(const char* name, uint32_t addressLow, uint32_t addressHigh) override;
    void OnSearchFinished(bool stopped) override;
    void OnBluetoothChecked(int state) override;
    // Called (outside the lock) after a device was recorded.
    std::function<void()> onDevice;

    bool WaitForDevices(size_t count, int timeoutMs = 10000);
    bool WaitForFinish(int timeoutMs = 10000);
    std::vector<FoundDevice> Devices();
    int FinishCount();
    bool Stopped();
    bool DeviceAfterFinish();
    // The states OnBluetoothChecked told, in order; whether one came after the finish.
    bool WaitForCheck(int timeoutMs = 10000);
    std::vector<int> CheckedStates();
    bool CheckAfterFinish();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<FoundDevice> m_devices;
    std::vector<int> m_checkedStates;
    bool m_checkAfterFinish = false;
    int m_finishCount = 0;
    bool m_stopped = false;
    bool m_deviceAfterFinish = false;
};

// Serves a byte string through ReadData in chunks of at most chunk bytes.
// m_mutex guards the recorded ends.
class UploadRecorder : public IBtUploadCb {
public:
    explicit UploadRecorder(std::string data, uint32_t chunk = 7777) : m_data(std::move(data)), m_chunk(chunk) {}
    void OnUploadFinished(bool cancelled) override;
    void OnUploadError() override;
    bool ReadData(void* buffer, uint32_t count, uint32_t* bytesRead) override;
    // Called before each read; returning false fails the read.
    std::function<bool(uint64_t offset)> beforeRead;

    bool WaitForEnd(int timeoutMs = 15000);
    int Finished();
    int Cancelled();
    int Errors();
    int Ends();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::string m_data;
    const uint32_t m_chunk;
    uint64_t m_offset = 0;  // ReadData only, on btlink's thread
    int m_finished = 0, m_cancelled = 0, m_errors = 0;
};

// A fresh folder made the temporary folder ($TMPDIR) for the test, removed afterwards.
class TempFolderScope {
public:
    TempFolderScope();
    ~TempFolderScope();
    TempFolderScope(const TempFolderScope&) = delete;
    TempFolderScope& operator=(const TempFolderScope&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::string m_previous;
    bool m_hadPrevious = false;
};

std::string RandomBytes(size_t size, unsigned seed);
std::string ReadWholeFile(const std::filesystem::path& path);
