// Test support for presets: a temporary folder and a temporary XDG_CONFIG_HOME (where the
// key store keeps the current user's keys).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "tests/platform/scratch.h"

// XDG_CONFIG_HOME pointed at a fresh folder for the object's lifetime.
class ScopedConfigHome {
public:
    const std::string& Path() const { return m_folder.Path(); }

private:
    ScratchFolder m_folder;
    ScopedEnv m_configHome{"XDG_CONFIG_HOME", m_folder.Path()};
};
