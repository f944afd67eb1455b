// Which frame of a state image shows a skinned control's state. Free of Qt.
#pragma once

// The state a control is drawn in, and the frame of an image that shows it.
struct SkinState {
    bool hover = false;
    bool pressed = false;
    bool disabled = false;
    bool checked = false;
    bool focused = false;
};
// Frame order of a state image: 0 normal, 1 hover, 2 pressed, 3 disabled, 4 checked,
// 5 checked + hover, 6 checked + pressed, 7 checked + disabled. A missing frame falls back:
// pressed → hover → normal; disabled → normal; checked ones → their unchecked state's frame
// of the checked row, then checked (4), then pressed (2), then normal.
int PickFrame(int frameCount, const SkinState& state);
// Frame order of an edit field image: 0 normal, 1 hover, 2 focused, 3 disabled.
int PickFieldFrame(int frameCount, const SkinState& state);
