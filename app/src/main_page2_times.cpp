// CTessalyDlg, page 2: the start, end and length boxes in milliseconds, typed or nudged, and
// the selection of the waveform editor they stand for.
#include "app/main_window.h"

#include <QToolTip>

#include <boost/regex.hpp>

#include <algorithm>

#include "app/skin_holder.h"
#include "app/src/waveform_ruler.h"
#include "engine/render_chain.h"
#include "engine/track.h"
#include "skin/skin_base.h"

namespace {

// Up to three numbers separated by colons, read from the right: seconds, minutes, hours; the
// digits behind the separator (any character) a decimal fraction of a second.
const boost::regex kTimePattern("(([0-9]+):)?(([0-9]+):)?([0-9]+)(.([0-9]+))?");
constexpr int64_t kNudgeMs = 10;
// Beyond this many digits a group could not be a time the editor can hold.
constexpr std::size_t kMaxGroupDigits = 12;
// Typed times are held to about 31 years before the conversion to frames, which cannot
// overflow below it.
constexpr int64_t kMaxMs = 1'000'000'000'000;

const char* const kPatternProblem = "Type a time as SS, MM:SS or HH:MM:SS, with an optional .fraction";
const char* const kOrderProblem = "The start must be before the end";

int64_t GroupValue(const boost::smatch& match, int group) {
    if (!match[group].matched) return 0;
    const std::string digits = match[group].str();
    return digits.size() > kMaxGroupDigits ? -1 : std::stoll(digits);
}

// The fraction's digits as milliseconds: "5" is 500, "25" 250; digits past the third are
// dropped (truncated, never rounded up into the next second).
int64_t FractionMs(const boost::smatch& match, int group) {
    if (!match[group].matched) return 0;
    std::string digits = match[group].str().substr(0, 3);
    digits.resize(3, '0');
    return std::stoll(digits);
}

// A position in frames as milliseconds, rounded to the nearest.
int64_t RoundedMs(int64_t frames, int64_t rate) { return (frames * 1000 + rate / 2) / rate; }

// The tooltip the control table gives a control.
QString TableTooltip(const CSkinHolder& skin, int commandId) {
    for (const _CONTROL_INFO_STRUCT_& entry : skin.Table())
        if (entry.name != nullptr && entry.commandId == commandId && entry.tooltip != nullptr)
            return QString::fromUtf8(entry.tooltip);
    return {};
}

}  // namespace

std::optional<int64_t> CTessalyDlg::ParseTimeText(const QString& text) {
    const std::string value = text.toStdString();
    boost::smatch match;
    if (!boost::regex_match(value, match, kTimePattern)) return std::nullopt;
    // The colon groups present, left to right; the last is minutes, the one before hours.
    int64_t groups[2] = {0, 0};
    int count = 0;
    for (int group : {2, 4}) {
        if (!match[group].matched) continue;
        groups[count++] = GroupValue(match, group);
    }
    const int64_t hours = count == 2 ? groups[0] : 0;
    const int64_t minutes = count == 2 ? groups[1] : groups[0];
    const int64_t seconds = GroupValue(match, 5);
    if (hours < 0 || minutes < 0 || seconds < 0) return std::nullopt;
    return hours * 3600000 + minutes * 60000 + seconds * 1000 + FractionMs(match, 7);
}

QString CTessalyDlg::FormatTime(int64_t ms) { return QString::fromStdString(FormatClockTime(ms)); }

uint32_t CTessalyDlg::TimeRate() const {
    const TrackSlot& slot = m_track1.path.empty() ? m_track2 : m_track1;
    const uint32_t rate = slot.source.Format().Format.nSamplesPerSec;
    // A track not opened yet has no format: the editor's own rate stands in.
    return rate != 0 ? rate : RingtoneTimeline::MixFormat().Format.nSamplesPerSec;
}

void CTessalyDlg::ShowTimes() {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    const int64_t rate = TimeRate();
    int64_t start = wave->GetStartMarker();
    int64_t end = wave->GetEndMarker();
    if (start == end) {
        SetCaption(IDC_PAGE2_TIME_START, FormatTime(std::max<int64_t>(0, wave->GetPlayPosition()) * 1000 / rate));
        SetCaption(IDC_PAGE2_TIME_END, QString());
        SetCaption(IDC_PAGE2_TIME_LEN, QString());
        return;
    }
    start = RoundedMs(start, rate);
    end = RoundedMs(end, rate);
    if (end < start) std::swap(start, end);
    SetCaption(IDC_PAGE2_TIME_START, FormatTime(start));
    SetCaption(IDC_PAGE2_TIME_END, FormatTime(end));
    SetCaption(IDC_PAGE2_TIME_LEN, FormatTime(end - start));
}

void CTessalyDlg::ApplyTypedTimes(int committedId) {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    // A box's time: empty when the page emptied the box (no selection), none when its text
    // is no time.
    using BoxTime = std::optional<std::optional<int64_t>>;
    auto typed = [this](int commandId) -> BoxTime {
        const CSkinBase* box = m_skin.GetControl(commandId);
        const QString text = box ? box->GetWindowText().trimmed() : QString();
        if (text.isEmpty()) return std::optional<int64_t>();
        const std::optional<int64_t> ms = ParseTimeText(text);
        return ms ? BoxTime(ms) : std::nullopt;
    };
    const BoxTime start = typed(IDC_PAGE2_TIME_START);
    const BoxTime end = typed(IDC_PAGE2_TIME_END);
    const BoxTime length = typed(IDC_PAGE2_TIME_LEN);
    if (!start || !end || !length || !start->has_value()) {
        RefuseTypedTimes(committedId, QString::fromUtf8(kPatternProblem));
        return;
    }
    const int64_t rate = TimeRate();
    const int64_t projectEnd = wave->Timeline().TracksEnd();
    const QString projectEndText = FormatTime(RoundedMs(projectEnd, rate));
    const int64_t startMs = **start;
    if (!end->has_value() && !length->has_value()) {
        // Without a selection the start box shows the play position: a typed time moves it.
        wave->StopPlayback();
        wave->SetPlayPosition(std::min(FramesOfMs(startMs), projectEnd));
        wave->Refresh();
        ShowTimes();
        ClearTimeProblem();
        return;
    }
    int64_t currentStart = RoundedMs(wave->GetStartMarker(), rate);
    int64_t currentEnd = RoundedMs(wave->GetEndMarker(), rate);
    if (currentEnd < currentStart) std::swap(currentStart, currentEnd);
    // The length box wins when it changed; otherwise the end box is taken.
    const bool lengthWins = length->has_value() && (!end->has_value() || currentEnd - currentStart != **length);
    const int64_t endMs = lengthWins ? startMs + **length : **end;
    if (endMs <= startMs) {
        RefuseTypedTimes(committedId, QString::fromUtf8(kOrderProblem));
        return;
    }
    if (FramesOfMs(startMs) >= projectEnd) {
        RefuseTypedTimes(committedId,
                         QStringLiteral("The ringtone ends at %1: the start must be before it").arg(projectEndText));
        return;
    }
    const bool moved = FramesOfMs(endMs) > projectEnd;
    SetSelectionMs(startMs, endMs);
    ShowTimes();
    if (moved)
        ShowTimeProblem(committedId,
                        QStringLiteral("The ringtone ends at %1: the end was moved there").arg(projectEndText));
    else
        ClearTimeProblem();
}

void CTessalyDlg::RefuseTypedTimes(int committedId, const QString& reason) {
    ShowTimes();
    ShowTimeProblem(committedId, reason);
}

void CTessalyDlg::ShowTimeProblem(int commandId, const QString& reason) {
    ClearTimeProblem();
    CSkinBase* box = m_skin.GetControl(commandId);
    if (box == nullptr) return;
    box->SetTooltip(TableTooltip(m_skin, commandId) + QLatin1Char('\n') + reason);
    if (box->isVisible()) QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), reason, box);
}

void CTessalyDlg::ClearTimeProblem() {
    for (int id : {IDC_PAGE2_TIME_START, IDC_PAGE2_TIME_END, IDC_PAGE2_TIME_LEN})
        if (CSkinBase* box = m_skin.GetControl(id)) box->SetTooltip(TableTooltip(m_skin, id));
}

int64_t CTessalyDlg::FramesOfMs(int64_t ms) const {
    return std::max<int64_t>(0, static_cast<int64_t>(TimeRate()) * std::clamp(ms, -kMaxMs, kMaxMs) / 1000);
}

void CTessalyDlg::SetSelectionMs(int64_t startMs, int64_t endMs) {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    // Both ends stay within the audio: a range past it would end the ringtone in silence.
    const int64_t projectEnd = wave->Timeline().TracksEnd();
    const int64_t start = std::min(FramesOfMs(startMs), projectEnd);
    const int64_t end = std::min(FramesOfMs(endMs), projectEnd);
    if (end < start) return;
    wave->StopPlayback();
    wave->SetSelection(start, end);
    wave->SetPlayPosition(end);
    wave->Refresh();
}

void CTessalyDlg::NudgeTime(int commandId) {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    const int64_t rate = TimeRate();
    int64_t start = wave->GetStartMarker();
    int64_t end = wave->GetEndMarker();
    if (start == end) start = end = std::max<int64_t>(0, wave->GetPlayPosition());
    if (end < start) std::swap(start, end);
    start = start * 1000 / rate;
    end = end * 1000 / rate;
    switch (commandId) {
        case IDC_PAGE2_TIME_START_UP: start += kNudgeMs; break;
        case IDC_PAGE2_TIME_START_DOWN: start -= kNudgeMs; break;
        case IDC_PAGE2_TIME_LEN_UP:
        case IDC_PAGE2_TIME_END_UP: end += kNudgeMs; break;
        default: end -= kNudgeMs; break;
    }
    SetSelectionMs(start, end);
}
