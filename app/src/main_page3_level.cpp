// CTessalyDlg, page 3: the ringtone's loudness beside the size estimate, and the warnings
// with their remedies: a range longer than the preset takes (shortened on request) and a
// range that clips with no limiter to catch it (the limiter turned on on request).
#include <QString>

#include <algorithm>
#include <cstdlib>

#include "app/main_window.h"
#include "app/settings.h"
#include "engine/loudness.h"
#include "skin/buttons.h"

namespace {

QString Decibels(double value) { return QString::number(value, 'f', 1); }
// A peak over full scale shows its sign.
QString SignedDecibels(double value) { return (value >= 0.05 ? QStringLiteral("+") : QString()) + Decibels(value); }

// One decimal of a percentage, never shown as 0 when something clips.
QString ClippedText(double percent) { return Decibels(std::max(percent, 0.1)); }

}  // namespace

QString CTessalyDlg::LoudnessText() const {
    if (!m_outputValid) return {};
    const LoudnessResult& range = m_saver.RangeLoudness();
    if (!range.HasLoudness()) return QStringLiteral("Loudness: <b>none</b> (silence)");
    QString text = QStringLiteral("Loudness: <b>%1 LUFS</b>, true peak <b>%2 dBTP</b>")
                       .arg(Decibels(range.integratedLufs), SignedDecibels(range.truePeakDbtp));
    if (range.shortRange) text += QStringLiteral("<br>(") + QString::fromUtf8(kShortRangeLoudnessText) + ')';
    if (m_saver.normalizeMode == NormalizeMode::Loudness)
        text +=
            QStringLiteral("<br>Saved at <b>%1 LUFS</b>, peaks under -1 dBTP").arg(Decibels(m_saver.loudnessTarget));
    return text;
}

void CTessalyDlg::ShowWarnings() {
    const LoudnessResult& range = m_saver.RangeLoudness();
    const bool clips = m_outputValid && range.Clips() && !m_saver.LimiterRuns();
    SetCaption(IDC_PAGE3_CLIP_INFO,
               clips ? ClippedText(range.ClippedPercent()) + QStringLiteral(" % of the ringtone clips") : QString());

    const PresetSettings& preset = ChosenPreset();
    const uint32_t rate = RingtoneTimeline::MixFormat().Format.nSamplesPerSec;
    const bool tooLong = m_outputValid && ExceedsLimit(preset, m_saver.ExportFrames(), rate);
    SetCaption(IDC_PAGE3_LIMIT_INFO, tooLong ? Decibels(double(m_saver.ExportFrames()) / rate) +
                                                   QStringLiteral(" s: over the %1 s limit").arg(preset.limitSeconds)
                                             : QString());
    SetCaption(IDC_PAGE3_SHORTEN, QStringLiteral("Shorten to %1 s").arg(preset.limitSeconds));

    const std::pair<int, bool> shown[] = {{IDC_PAGE3_CLIP_INFO, clips},
                                          {IDC_PAGE3_USE_LIMITER, clips},
                                          {IDC_PAGE3_LIMIT_INFO, tooLong},
                                          {IDC_PAGE3_SHORTEN, tooLong}};
    for (const auto& [id, on] : shown)
        for (CSkinBase* control : Instances<CSkinBase>(id)) control->setVisible(on);
}

void CTessalyDlg::UseLimiter() {
    m_saver.SetLimiter(true);
    StorePage3Settings();
    RefreshPage3();
}

void CTessalyDlg::ShortenToLimit() {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    const int64_t first = std::min(wave->GetStartMarker(), wave->GetEndMarker());
    const int64_t length = std::abs(wave->GetEndMarker() - wave->GetStartMarker());
    const uint32_t rate = RingtoneTimeline::MixFormat().Format.nSamplesPerSec;
    const FrameRange fitted = FitToLimit(ChosenPreset(), {first, length}, rate);
    if (fitted.length == length) return;
    wave->SetSelection(fitted.start, fitted.start + fitted.length);
    wave->Refresh();
    for (CSCButton* box : Instances<CSCButton>(IDC_PAGE2_FADE_OUT)) box->SetCheck(1);
    SetFade(IDC_PAGE2_FADE_OUT);
    // A failed rendering has shown its message; the saver then has no range to save.
    RenderRingtone();
    RefreshPage3();
}
