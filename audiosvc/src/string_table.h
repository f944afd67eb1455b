// The library's string table: fixed English texts under numeric identifiers.
#pragma once

namespace audiosvc {

enum StringId : int {
    IDS_CHANNEL_N = 610,
    IDS_UNKNOWN_CHANNEL = 611,
    IDS_FRONT_LEFT = 612,
    IDS_FRONT_RIGHT = 613,
    IDS_FRONT_CENTER = 614,
    IDS_SIDE_LEFT = 615,
    IDS_SIDE_RIGHT = 616,
    IDS_BACK_LEFT = 617,
    IDS_BACK_RIGHT = 618,
    IDS_BACK_CENTER = 619,
    IDS_LOW_FREQUENCY = 620,
    IDS_FRONT_LEFT_OF_CENTER = 621,
    IDS_FRONT_RIGHT_OF_CENTER = 622,
};

// The text of an identifier; "" for an identifier the table does not hold.
const char* LoadLibraryString(int id);

}  // namespace audiosvc
