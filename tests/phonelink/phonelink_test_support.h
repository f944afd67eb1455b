// What phonelink's tests share: the application object the bus ways need, scratch folders,
// files and environment variables.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Makes the process's QCoreApplication (once; it lives until the tests end).
void EnsureCoreApplication();

// A fresh folder below the temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string RandomBytes(size_t size, unsigned seed);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadWholeFile(const std::filesystem::path& path);
// The names in a folder, sorted (hidden ones included); empty when it does not exist.
std::vector<std::string> EntriesOf(const std::filesystem::path& folder);

// Sets an environment variable for the object's life.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, const std::string& value);
    ~EnvironmentScope();
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    std::string m_name;
    std::string m_previous;
    bool m_hadPrevious = false;
};
