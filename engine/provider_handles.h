// The engine's face of the audio file provider: owners of its reader, writer and tag handles,
// each closed when its owner goes. Move-only; an owner without a handle holds 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "contracts/provider_api.h"
#include "contracts/wave_format.h"

// A provider handle (0 for none), released once with Release.
template <void (*Release)(uint32_t)>
class OwnedHandle {
public:
    OwnedHandle() = default;
    ~OwnedHandle() { Reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, 0));
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    uint32_t get() const { return handle_; }
    // Releases the handle held, then keeps the given one.
    void Reset(uint32_t handle = 0) {
        if (handle_ != 0) Release(handle_);
        handle_ = handle;
    }

private:
    uint32_t handle_ = 0;
};

// A reader of QoOpenFile.
class ProviderReader {
public:
    // Closes the file held before. False when the provider cannot open this one.
    bool Open(const std::string& path, WAVEFORMATEXTENSIBLE& format, uint32_t& length, QoOpenMode mode);
    void Close() { handle_.Reset(); }
    uint32_t handle() const { return handle_.get(); }
    explicit operator bool() const { return handle_.get() != 0; }

private:
    OwnedHandle<QoCloseFile> handle_;
};

// A writer of QoCoderCreateFile. Closing finishes the file, once: by Close or on destruction.
class ProviderWriter {
public:
    // Finishes the file held before, then creates path for PCM in format. Without an encoder
    // record the provider chooses the coder by the path's extension. totalFrames is the
    // length to come, when known. flags: QoCoderTagsFollow when tags follow the record.
    // False when the provider cannot write the file.
    bool Create(const std::string& path, const WAVEFORMATEXTENSIBLE& format, const void* encoderRecord = nullptr,
                std::optional<uint64_t> totalFrames = std::nullopt, uint32_t flags = 0);
    // Encodes frames frames (bytes bytes) of PCM; false when the coder refuses them.
    bool Add(const void* data, uint32_t frames, uint32_t bytes);
    void Close() { handle_.Reset(); }
    uint32_t handle() const { return handle_.get(); }
    explicit operator bool() const { return handle_.get() != 0; }

private:
    OwnedHandle<QoCoderCloseFile> handle_;
};

// True when the provider can write a file of the type (an extension without its dot) from PCM
// in format: a probe file "qosav<n>.<extension>" is created in the temporary folder and
// deleted at once. Without an encoder record the extension chooses the coder.
bool ProviderCanWrite(const std::string& extension, const WAVEFORMATEXTENSIBLE& format,
                      const void* encoderRecord = nullptr);

// The texts of a file's tags, indexed by QoTagEntry; empty where the file has none.
using TagTexts = std::array<std::string, 16>;

// A tag reader of QoTagOpen.
class ProviderTags {
public:
    explicit ProviderTags(const std::string& path);

    // Reads the texts in the provider's two passes: null texts ask for the capacities, then
    // every entry with a capacity of at least 0 gets a zero-filled buffer (128 characters for
    // a capacity of 0, at most 10001). Nothing without a handle or when a pass fails.
    std::optional<TagTexts> Texts() const;
    void Close() { handle_.Reset(); }
    explicit operator bool() const { return handle_.get() != 0; }

private:
    OwnedHandle<QoTagClose> handle_;
};
