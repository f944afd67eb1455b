// The waveform editor's marker handles and the tooltips over handles, tracks and name strips.
#include "app/waveform_editor.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

#include "app/src/waveform_state.h"
#include "skin/statics.h"

namespace {

constexpr int kStartHandleTool = 1;
constexpr int kEndHandleTool = 2;
constexpr int kEdgeToolWidth = 6;
constexpr int kBodyToolInset = 3;

const char* const kStartHandleTip = "Start marker: Drag to change the start point for all tracks";
const char* const kEndHandleTip = "End marker: Drag to change the end point for all tracks";
const char* const kMoveTrackTip = "Right click and drag to move this track";
const char* const kStripTip = "Drag to move this track";
const char* const kTrimStartTip = "Drag to change the start point for this track";
const char* const kTrimEndTip = "Drag to change the end point for this track";

void RemoveTools(std::vector<WaveformTool>& tools, int firstId, int lastId) {
    std::erase_if(tools, [&](const WaveformTool& tool) { return tool.id >= firstId && tool.id <= lastId; });
}

}  // namespace

// With a selection the start handle's left edge lies on the smaller marker and the end
// handle's right edge on the larger, both standing on the ruler's bottom edge.
void CWaveFormKel::PlaceHandles() {
    WaveformEditorState& s = *m_state;
    RemoveTools(s.tools, kStartHandleTool, kEndHandleTool);
    const int64_t start = s.timeline.StartMarker();
    const int64_t end = s.timeline.EndMarker();
    if (start == end) {
        s.startHandle = s.endHandle = QRect();
        return;
    }
    const WaveRect ruler = s.view.Ruler();
    const QSize startSize = s.look.skinned ? s.look.source.GetFrameSize(1) : QSize(10, ruler.Height());
    const QSize endSize = s.look.skinned ? s.look.source.GetFrameSize(2) : QSize(10, ruler.Height());
    const int startX = s.view.FrameToX(std::min(start, end));
    const int endX = s.view.FrameToX(std::max(start, end));
    s.startHandle = QRect(QPoint(startX, ruler.bottom - startSize.height()), startSize);
    s.endHandle = QRect(QPoint(endX - endSize.width(), ruler.bottom - endSize.height()), endSize);
    s.tools.push_back({kStartHandleTool, s.startHandle, QString::fromUtf8(kStartHandleTip)});
    s.tools.push_back({kEndHandleTool, s.endHandle, QString::fromUtf8(kEndHandleTip)});
}

// Each visible track: 6 pixels before its start edge, 6 after its end edge, its name strip
// and the body below it (both narrowed by 3 pixels each side). Tools 3, 4, 5 and 9 for track
// 1; 6, 7, 8 and 10 for track 2.
void CWaveFormKel::UpdateTrackTools() {
    WaveformEditorState& s = *m_state;
    for (int number : {1, 2}) {
        const int base = number == 1 ? 3 : 6;
        const int stripTool = number == 1 ? 9 : 10;
        RemoveTools(s.tools, base, base + 2);
        RemoveTools(s.tools, stripTool, stripTool);
        const std::optional<WaveRect> rect = TrackRect(number);
        if (!rect) continue;
        const QRect whole(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
        s.tools.push_back({base, QRect(whole.left() - kEdgeToolWidth, whole.top(), kEdgeToolWidth, whole.height()),
                           QString::fromUtf8(kTrimStartTip)});
        s.tools.push_back({base + 1, QRect(whole.right() + 1, whole.top(), kEdgeToolWidth, whole.height()),
                           QString::fromUtf8(kTrimEndTip)});
        const QRect strip = GetNameStripRect(number);
        QRect body = whole;
        if (!strip.isEmpty()) {
            body.setTop(strip.bottom() + 1);
            s.tools.push_back(
                {stripTool, strip.adjusted(kBodyToolInset, 0, -kBodyToolInset, 0), QString::fromUtf8(kStripTip)});
        }
        s.tools.push_back(
            {base + 2, body.adjusted(kBodyToolInset, 0, -kBodyToolInset, 0), QString::fromUtf8(kMoveTrackTip)});
    }
}

QString CWaveFormKel::ToolTipAt(const QPoint& point) const {
    for (const WaveformTool& tool : m_state->tools)
        if (tool.rect.contains(point)) return tool.text;
    return {};
}

bool CWaveFormKel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // While a mouse action runs the tips stay away (a track drag shows its offset).
        if (m_state->mode != kIdle) return true;
        const auto* help = static_cast<QHelpEvent*>(event);
        for (const WaveformTool& tool : m_state->tools) {
            if (tool.rect.contains(help->pos())) {
                QToolTip::showText(help->globalPos(), tool.text, this, tool.rect);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return CSCStatic::event(event);
}
