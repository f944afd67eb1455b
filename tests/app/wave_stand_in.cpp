#include "tests/app/wave_stand_in.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"

#include <QPainter>

#include <cmath>

WaveStandIn::WaveStandIn(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {}

WaveStandIn::~WaveStandIn() = default;

CSkinBase* WaveStandIn::Create(QWidget* parent, int windowId, uint32_t style) {
    return new WaveStandIn(parent, windowId, style);
}

bool WaveStandIn::UseCustomSkin(const void* record) {
    if (record == nullptr || *static_cast<const uint32_t*>(record) != sizeof(SCWAVEFORMRES)) return false;
    m_record = *static_cast<const SCWAVEFORMRES*>(record);
    m_ruler.LoadFromHandle(m_record.source);
    SetSkinned(true);
    return true;
}

void WaveStandIn::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int ruler = m_record.timeHeight;
    painter.fillRect(rect(), ToQColor(m_record.waveBlankColor));
    m_ruler.DrawFrame(painter, QRect(0, 0, width(), ruler), 0);
    const QRect wave(0, ruler, width(), height() - ruler);
    const int selectionStart = width() / 5, selectionEnd = width() * 3 / 5;
    painter.fillRect(wave, ToQColor(m_record.waveBgColor));
    painter.fillRect(QRect(selectionStart, wave.top(), selectionEnd - selectionStart, wave.height()),
                     ToQColor(m_record.waveBgSelColor));
    const int middle = wave.center().y();
    for (int x = 0; x < width(); ++x) {
        const double amplitude = std::abs(std::sin(x * 0.09) * std::sin(x * 0.011)) * (wave.height() / 2 - 8);
        painter.setPen(
            ToQColor(x >= selectionStart && x < selectionEnd ? m_record.waveDataSelColor : m_record.waveDataColor));
        painter.drawLine(x, middle - static_cast<int>(amplitude), x, middle + static_cast<int>(amplitude));
    }
    painter.setPen(ToQColor(m_record.waveCenterColor));
    painter.drawLine(0, middle, width(), middle);
    painter.setPen(ToQColor(m_record.waveBorderColor));
    painter.drawRect(wave.adjusted(0, 0, -1, -1));
    m_ruler.DrawFrame(painter, QRect(QPoint(selectionStart - 6, 0), m_ruler.GetFrameSize(1)), 1);
    m_ruler.DrawFrame(painter, QRect(QPoint(selectionEnd - 6, 0), m_ruler.GetFrameSize(2)), 2);
}
