// The program's profile in the current user's key store.
#include "app/app.h"
#include "platform/platform.h"

namespace {

std::string SectionKey(const std::string& section) { return std::string(kSettingsKey) + "\\" + section; }

}  // namespace

int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) {
    return keystore::GetInt(HKEY_CURRENT_USER, SectionKey(section), entry, defaultValue);
}

bool WriteProfileInt(const std::string& section, const std::string& entry, int value) {
    return keystore::SetInt(HKEY_CURRENT_USER, SectionKey(section), entry, value);
}
