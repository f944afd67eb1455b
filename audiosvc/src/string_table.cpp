#include "string_table.h"

namespace audiosvc {
namespace {

constexpr const char* kTexts[] = {
    "Channel %d",
    "Unknown channel",
    "Front Left",
    "Front Right",
    "Front Center",
    "Side Left",
    "Side Right",
    "Back Left",
    "Back Right",
    "Back Center",
    "Low Frequency",
    "Front Left Of Center",
    "Front Right Of Center",
};
constexpr int kFirstId = IDS_CHANNEL_N;
constexpr int kCount = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
static_assert(kFirstId + kCount - 1 == IDS_FRONT_RIGHT_OF_CENTER);

}  // namespace

const char* LoadLibraryString(int id) { return id >= kFirstId && id < kFirstId + kCount ? kTexts[id - kFirstId] : ""; }

}  // namespace audiosvc
