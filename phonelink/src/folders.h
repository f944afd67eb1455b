// Reading folders.
#pragma once

#include <string>
#include <vector>

// The names in folder ("." and ".." left out), sorted; empty when it cannot be read.
std::vector<std::string> NamesIn(const std::string& folder);
// Whether path is a folder (or a link to one).
bool IsFolder(const std::string& path);
