// Test support for presets: a temporary folder and a temporary XDG_CONFIG_HOME (where the
// key store keeps the current user's keys).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

// A fresh folder, removed with its contents.
class ScopedFolder {
public:
    ScopedFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvane-preset-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
        EXPECT_FALSE(m_path.empty());
    }
    ~ScopedFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    ScopedFolder(const ScopedFolder&) = delete;
    ScopedFolder& operator=(const ScopedFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// XDG_CONFIG_HOME pointed at a fresh folder for the object's lifetime.
class ScopedConfigHome {
public:
    ScopedConfigHome() {
        if (const char* previous = std::getenv("XDG_CONFIG_HOME")) m_previous = previous;
        setenv("XDG_CONFIG_HOME", m_folder.path().c_str(), 1);
    }
    ~ScopedConfigHome() {
        if (m_previous)
            setenv("XDG_CONFIG_HOME", m_previous->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;
    const std::string& path() const { return m_folder.path(); }

private:
    ScopedFolder m_folder;
    std::optional<std::string> m_previous;
};
