// The waveform editor's state: the view, the timeline it owns, the skin it draws with and the
// state of a mouse action.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include <array>
#include <memory>
#include <vector>

#include "app/src/waveform_view.h"
#include "app/waveform_editor.h"
#include "engine/preview.h"
#include "engine/render_chain.h"
#include "engine/track.h"
#include "skin/data_source.h"
#include "skin/scroll_bar.h"

// A tooltip over a rectangle of the editor (tools 1 and 2 the marker handles; 3, 4, 5 the
// start edge, end edge and body of track 1; 6, 7, 8 those of track 2).
struct WaveformTool {
    int id = 0;
    QRect rect;
    QString text;
};

// What the editor draws with: the skin's values, or the palette's when no skin is applied.
struct WaveformLook {
    CDataSource source;  // 0 ruler background, 1 start handle, 2 end handle
    bool skinned = false;
    QFont titleFont;
    QFont timeFont;
    QColor titleText, timeText;
    QColor waveData, waveDataSel, waveBorder, waveBg, waveBgSel, waveCenter, waveBlank, waveBlankSel;
};

// Everything here belongs to the interface thread. What the player's thread reads (the
// positions, markers and tracks) lives in the timeline, under its guard.
struct WaveformEditorState {
    enum TimerId : int { kBlinkTimer = 0, kCursorTimer = 1, kMarkerTimer = 2, kTrackTimer = 3, kTrimTimer = 4 };
    static constexpr int kBlinkMs = 1000;
    static constexpr int kMarkerScrollMs = 10;
    static constexpr int kTrackScrollMs = 100;
    static constexpr int kTrimScrollMs = 10;
    static constexpr int kEdgeGrip = 2;    // pixels around a track edge that trim it
    static constexpr int kHoverSlack = 3;  // pixels around a track that still hover it
    static constexpr int kMarkerScrollColumns = 10;
    static constexpr int kTrackScrollColumns = 20;

    WaveformView view;
    RingtoneTimeline timeline;
    std::unique_ptr<RingtonePreview> preview;
    QPointer<CSCScrollBar> scrollBar;

    WaveformLook look;
    QPixmap rulerBackground;  // frame 0 at the ruler's size; null without a skin

    std::array<QTimer, 5> timers;
    bool blink = false;

    CWaveFormKel::Mode mode = CWaveFormKel::kIdle;
    int dragOffset = 0;
    TrimEdge trimEdge = TrimEdge::Start;
    QPoint pressPoint;
    QPoint lastPoint;
    QPoint pointer;   // where the pointer was last seen, for the auto-scroll timers
    int hovered = 0;  // track number under the pointer, 0 for none
    // Wheel turns not yet a whole step (in eighths of a degree), kept for fine-grained wheels.
    int wheelScrollRest = 0;
    int wheelZoomRest = 0;
    CWaveFormKel::PopupChooser popupChooser;

    QRect startHandle;
    QRect endHandle;
    std::vector<WaveformTool> tools;
};
