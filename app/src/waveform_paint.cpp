// The waveform editor's picture, drawn into an off-screen image the size of the control:
// the ruler with its ticks, labels and marker handles, the wave area with the selection, each
// track's waveform from its drawing cache, and the play cursor.
#include "app/waveform_editor.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "app/src/waveform_cache.h"
#include "app/src/waveform_ruler.h"
#include "app/src/waveform_state.h"
#include "engine/render_chain.h"
#include "engine/track.h"

namespace {

const QColor kTickColor(100, 100, 100);
constexpr int kLongTick = 7;
constexpr int kShortTick = 3;
constexpr int kLabelGap = 3;
constexpr int kNameLeft = 5;
// The name strip's band of the border colour lets a little of the track's background through.
constexpr int kStripAlpha = 200;
// Waves need at least this many pixels each way.
constexpr int kSmallestWaveArea = 3;

QRect ToQRect(const WaveRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

// One band of a waveform: the columns' (minimum, maximum) lines around the band's middle,
// each joined to its neighbour, over the background; the columns inside [selLeft, selRight)
// in the selection's colours.
struct Band {
    int top;
    int bottom;  // outside the band
    int left;
    int right;  // outside the band
    int selLeft;
    int selRight;
};

struct BandColors {
    QColor data, dataSel, bg, bgSel, center;
};

void PaintBand(QPainter& painter, const Band& band, const BandColors& colors, const std::vector<PeakPair>& pairs,
               uint32_t count, const std::vector<int>& columnX) {
    const int height = band.bottom - band.top;
    if (height <= 0 || band.right <= band.left) return;
    painter.fillRect(QRect(band.left, band.top, band.right - band.left, height), colors.bg);
    const int selLeft = std::max(band.selLeft, band.left);
    const int selRight = std::min(band.selRight, band.right);
    if (selLeft < selRight) painter.fillRect(QRect(selLeft, band.top, selRight - selLeft, height), colors.bgSel);

    const int scale = std::max(65536 / height, 1);
    const int y0 = (band.top + band.bottom) / 2;
    bool joined = false;
    int previousX = 0, previousTop = 0, previousBottom = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const int x = columnX[i];
        const PeakPair pair = pairs[i];
        if (x < band.left || x >= band.right || pair.minimum > pair.maximum) {
            joined = false;
            continue;
        }
        int top = y0 - pair.maximum / scale;
        int bottom = y0 - pair.minimum / scale;
        if (joined && previousX == x - 1) {
            if (bottom < previousTop) bottom = previousTop;
            if (top > previousBottom) top = previousBottom;
        }
        top = std::clamp(top, band.top, band.bottom - 1);
        bottom = std::clamp(bottom, band.top, band.bottom - 1);
        painter.setPen(x >= band.selLeft && x < band.selRight ? colors.dataSel : colors.data);
        painter.drawLine(x, top, x, bottom);
        joined = true;
        previousX = x;
        previousTop = top;
        previousBottom = bottom;
    }
    painter.setPen(colors.center);
    painter.drawLine(band.left, y0, band.right - 1, y0);
}

}  // namespace

void CWaveFormKel::RebuildRulerBackground() {
    WaveformEditorState& s = *m_state;
    const WaveRect ruler = s.view.Ruler();
    s.rulerBackground = s.look.skinned && !ruler.IsEmpty()
                            ? s.look.source.RenderFrame(0, QSize(ruler.Width(), ruler.Height()), devicePixelRatioF())
                            : QPixmap();
}

void CWaveFormKel::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    {
        QPainter painter(&image);
        PaintRuler(painter);
        PaintWaves(painter);
        PaintCursor(painter);
    }
    QPainter(this).drawImage(0, 0, image);
}

void CWaveFormKel::PaintRuler(QPainter& painter) const {
    const WaveformEditorState& s = *m_state;
    const WaveRect ruler = s.view.Ruler();
    if (ruler.IsEmpty()) return;
    painter.fillRect(ToQRect(ruler), s.look.waveBlank);
    if (!s.rulerBackground.isNull()) {
        painter.drawPixmap(0, 0, s.rulerBackground);
        painter.setFont(s.look.timeFont);
        const int textHeight = painter.fontMetrics().height();
        const int labelBottom = (textHeight + ruler.Height()) / 2;
        const uint32_t rate = RingtoneTimeline::MixFormat().Format.nSamplesPerSec;
        for (const RulerTick& tick : ComputeRulerTicks(s.view.ViewStart(), s.view.Zoom(), rate, ruler.Width())) {
            const int x = static_cast<int>(tick.x);
            const int length = tick.labelled ? kLongTick : kShortTick;
            painter.setPen(kTickColor);
            painter.drawLine(x, ruler.bottom - 1, x, ruler.bottom - length);
            painter.setPen(Qt::white);
            painter.drawLine(x + 1, ruler.bottom - 1, x + 1, ruler.bottom - length);
            if (!tick.labelled) continue;
            painter.setPen(s.look.timeText);
            painter.drawText(QRect(x + kLabelGap, 0, ruler.Width(), labelBottom), Qt::AlignLeft | Qt::AlignBottom,
                             QString::fromStdString(FormatClockTime(tick.ms)));
        }
    }
    if (s.startHandle.isNull()) return;
    painter.save();
    painter.setClipRect(ToQRect(ruler));
    if (s.look.skinned) {
        s.look.source.DrawFrame(painter, s.startHandle, 1);
        s.look.source.DrawFrame(painter, s.endHandle, 2);
    } else {
        painter.fillRect(s.startHandle, s.look.waveDataSel);
        painter.fillRect(s.endHandle, s.look.waveDataSel);
    }
    painter.restore();
}

void CWaveFormKel::PaintWaves(QPainter& painter) {
    const WaveformEditorState& s = *m_state;
    const WaveRect area = s.view.WaveArea();
    if (area.IsEmpty()) return;
    painter.fillRect(ToQRect(area), s.look.waveBlank);
    const int64_t start = s.timeline.StartMarker();
    const int64_t end = s.timeline.EndMarker();
    if (start != end) {
        const int left = std::max(s.view.FrameToX(std::min(start, end)), area.left);
        const int right = std::min(s.view.FrameToX(std::max(start, end)), area.right);
        if (left < right) painter.fillRect(QRect(left, area.top, right - left, area.Height()), s.look.waveBlankSel);
    }
    if (area.Width() < kSmallestWaveArea || area.Height() < kSmallestWaveArea) return;
    if (TwoTracks()) {
        painter.setPen(s.look.waveBorder);
        const int middle = area.top + area.Height() / 2;
        painter.drawLine(area.left, middle, area.right - 1, middle);
    }
    for (int number : {1, 2}) PaintTrack(painter, number);
}

// The track's name strip on top of its rectangle, its waves below it, and its outline.
void CWaveFormKel::PaintTrack(QPainter& painter, int number) {
    WaveformEditorState& s = *m_state;
    TrackSource* track = Track(number);
    const std::optional<WaveRect> found = TrackRect(number);
    if (track == nullptr || !found) return;
    const WaveRect rect = *found;
    const std::optional<WaveRect> strip = NameStrip(number);
    WaveRect waves = rect;
    if (strip) waves.top = strip->bottom;
    // Tracks move and change only on this thread; the player's thread only reads them, so
    // painting takes no guard that would hold playback up.
    DrawCache& cache = track->EditorDrawCache();
    if (!cache.valid) BuildDrawCache(*track, s.view.Zoom(), s.view.ViewStart(), s.view.ViewEnd());

    std::vector<int> columnX(cache.validPairs);
    for (uint32_t i = 0; i < cache.validPairs; ++i)
        columnX[i] = s.view.FrameToX(DrawCacheColumnFrame(*track, cache.zoom, cache.firstColumn + i));

    const int64_t startMarker = s.timeline.StartMarker();
    const int64_t endMarker = s.timeline.EndMarker();
    const bool stereo = cache.channels.size() >= 2;
    Band band{waves.top, waves.bottom, waves.left, waves.right, 0, 0};
    if (stereo && startMarker != endMarker) {
        band.selLeft = s.view.FrameToX(std::min(startMarker, endMarker));
        band.selRight = s.view.FrameToX(std::max(startMarker, endMarker));
    }
    const BandColors colors{s.look.waveData, s.look.waveDataSel, s.look.waveBg, s.look.waveBgSel, s.look.waveCenter};
    if (stereo) {
        const int middle = (waves.top + waves.bottom) / 2;
        Band upper = band;
        upper.bottom = middle;
        Band lower = band;
        lower.top = middle + 1;
        PaintBand(painter, upper, colors, cache.channels[0], cache.validPairs, columnX);
        PaintBand(painter, lower, colors, cache.channels[1], cache.validPairs, columnX);
        painter.setPen(s.look.waveBorder);
        painter.drawLine(waves.left, middle, waves.right - 1, middle);
    } else if (!cache.channels.empty()) {
        PaintBand(painter, band, colors, cache.channels[0], cache.validPairs, columnX);
    }

    if (strip) PaintNameStrip(painter, number, *strip);
    painter.setPen(s.look.waveBorder);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
}

// A band of the border colour over the track's background, parted from the waves by a line,
// with the name (and offset) in the title font, cut short with an ellipsis when too long.
void CWaveFormKel::PaintNameStrip(QPainter& painter, int number, const WaveRect& strip) const {
    const WaveformLook& look = m_state->look;
    const QRect area = ToQRect(strip);
    painter.fillRect(area, look.waveBg);
    QColor band = look.waveBorder;
    band.setAlpha(kStripAlpha);
    painter.fillRect(area, band);
    painter.setPen(look.waveBorder);
    painter.drawLine(strip.left, strip.bottom - 1, strip.right - 1, strip.bottom - 1);
    painter.save();
    painter.setClipRect(area);
    painter.setFont(look.titleFont);
    painter.setPen(look.titleText);
    const QRect text = area.adjusted(kNameLeft, 0, -kNameLeft, -1);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(NameStripText(number), Qt::ElideRight, text.width()));
    painter.restore();
}

void CWaveFormKel::PaintCursor(QPainter& painter) const {
    const WaveformEditorState& s = *m_state;
    const int64_t cursor = s.timeline.PlayCursor();
    const WaveRect area = s.view.WaveArea();
    if (!s.blink || cursor < s.view.ViewStart() || cursor >= s.view.ViewEnd() || area.IsEmpty()) return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(QRect(s.view.FrameToX(cursor), area.top, 1, area.Height()), Qt::white);
    painter.restore();
}
