// The copies handed to KDE Connect and GSConnect. Their daemons read the file after the
// share call has returned, under the file's own name, so the tone is copied under the name
// it is to have on the phone into a folder of its own below
// $XDG_CACHE_HOME/morvane/outbox (~/.cache/morvane/outbox), which outlives the call.
// Copies older than a day are removed by the next send.
#pragma once

#include <string>

// "<cache>/morvane/outbox".
std::string OutboxFolder();

// Copies file into a new folder of the outbox as fileName; the copy's path, or empty with
// error set.
std::string StageInOutbox(const std::string& file, const std::string& fileName, std::string& error);
