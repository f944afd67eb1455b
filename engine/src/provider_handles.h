// Owned handles of the audio file provider.
#pragma once

#include <cstdint>
#include <string>

#include "contracts/provider_api.h"

// A reader of QoOpenFile, closed on destruction.
class ProviderReader {
public:
    ProviderReader() = default;
    ~ProviderReader() { Close(); }
    ProviderReader(const ProviderReader&) = delete;
    ProviderReader& operator=(const ProviderReader&) = delete;

    bool Open(const std::string& path, WAVEFORMATEXTENSIBLE& format, uint32_t& length, QoOpenMode mode) {
        Close();
        handle_ = QoOpenFile(path.c_str(), &format, &length, mode);
        return handle_ != 0;
    }
    void Close() {
        if (handle_ != 0) QoCloseFile(handle_);
        handle_ = 0;
    }
    uint32_t handle() const { return handle_; }

private:
    uint32_t handle_ = 0;
};

// A tag reader of QoTagOpen, closed on destruction.
class ProviderTag {
public:
    explicit ProviderTag(const std::string& path) : handle_(QoTagOpen(path.c_str())) {}
    ~ProviderTag() {
        if (handle_ != 0) QoTagClose(handle_);
    }
    ProviderTag(const ProviderTag&) = delete;
    ProviderTag& operator=(const ProviderTag&) = delete;

    uint32_t handle() const { return handle_; }

private:
    uint32_t handle_;
};
