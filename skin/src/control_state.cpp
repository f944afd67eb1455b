// The choice of the frame of a state image that shows a control's state.
#include "skin/control_state.h"

int PickFrame(int frameCount, const SkinState& state) {
    if (frameCount <= 1) return 0;
    auto has = [frameCount](int frame) { return frame < frameCount; };
    int unchecked = 0;
    if (state.disabled)
        unchecked = has(3) ? 3 : 0;
    else if (state.pressed)
        unchecked = has(2) ? 2 : (has(1) ? 1 : 0);
    else if (state.hover)
        unchecked = has(1) ? 1 : 0;
    if (!state.checked) return unchecked;
    if (has(4 + unchecked)) return 4 + unchecked;
    if (has(4)) return 4;
    if (has(2)) return 2;
    return 0;
}

int PickFieldFrame(int frameCount, const SkinState& state) {
    auto has = [frameCount](int frame) { return frame < frameCount; };
    if (state.disabled) return has(3) ? 3 : 0;
    if (state.focused) return has(2) ? 2 : (has(1) ? 1 : 0);
    if (state.hover) return has(1) ? 1 : 0;
    return 0;
}
