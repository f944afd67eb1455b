// A track position of the main window and the file behind it.
#include "engine/progress.h"
#include "engine/track.h"

#include <unistd.h>

void TrackSlot::DeleteOwnFile() {
    if (temporary && !path.empty()) ::unlink(path.c_str());
}

void TrackSlot::SetPath(const std::string& newPath) {
    DeleteOwnFile();
    source.Reset();
    path = newPath;
    temporary = false;
    givenName.clear();
}

bool TrackSlot::Open(IProgressFactory& progress) {
    if (path.empty()) return false;
    return source.Open(path, givenName, progress);
}

void TrackSlot::Clear() {
    DeleteOwnFile();
    source.Reset();
    temporary = false;
    path.clear();
    givenName.clear();
}
