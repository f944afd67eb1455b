// CTessalyDlg, page 2: the start, end and length boxes in milliseconds, typed or nudged, and
// the selection of the waveform editor they stand for.
#include "app/main_window.h"

#include <QLineEdit>

#include <boost/regex.hpp>

#include <algorithm>

#include "engine/render_chain.h"
#include "engine/track.h"
#include "skin/edits.h"
#include "skin/skin_base.h"

namespace {

// Hours and minutes are the numbers followed by a colon, seconds the plain number, and the
// digits behind the separator a whole number of milliseconds.
const boost::regex kTimePattern("(([0-9]+):)?(([0-9]+):)?([0-9]+)(.([0-9]+))?");
constexpr int64_t kNudgeMs = 10;
// Beyond this many digits a group could not be a time the editor can hold.
constexpr std::size_t kMaxGroupDigits = 12;
// Typed times are held to about 31 years before the conversion to frames, which cannot
// overflow below it.
constexpr int64_t kMaxMs = 1'000'000'000'000;

int64_t GroupValue(const boost::smatch& match, int group) {
    if (!match[group].matched) return 0;
    const std::string digits = match[group].str();
    return digits.size() > kMaxGroupDigits ? -1 : std::stoll(digits);
}

}  // namespace

std::optional<int64_t> CTessalyDlg::ParseTimeText(const QString& text) {
    const std::string value = text.toStdString();
    boost::smatch match;
    if (!boost::regex_match(value, match, kTimePattern)) return std::nullopt;
    const int64_t hours = GroupValue(match, 2);
    const int64_t minutes = GroupValue(match, 4);
    const int64_t seconds = GroupValue(match, 5);
    const int64_t fraction = GroupValue(match, 7);
    if (hours < 0 || minutes < 0 || seconds < 0 || fraction < 0) return std::nullopt;
    return hours * 3600000 + minutes * 60000 + seconds * 1000 + fraction;
}

QString CTessalyDlg::FormatTime(int64_t ms) {
    return QString::asprintf("%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                             static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
}

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
    start = (start * 1000 + rate / 2) / rate;
    end = (end * 1000 + rate / 2) / rate;
    if (end < start) std::swap(start, end);
    SetCaption(IDC_PAGE2_TIME_START, FormatTime(start));
    SetCaption(IDC_PAGE2_TIME_END, FormatTime(end));
    SetCaption(IDC_PAGE2_TIME_LEN, FormatTime(end - start));
}

void CTessalyDlg::ApplyTypedTimes() {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    auto typed = [this](int commandId) -> std::optional<int64_t> {
        const CSkinBase* box = m_skin.GetControl(commandId);
        return box ? ParseTimeText(box->GetWindowText()) : std::nullopt;
    };
    const std::optional<int64_t> start = typed(IDC_PAGE2_TIME_START);
    const std::optional<int64_t> end = typed(IDC_PAGE2_TIME_END);
    const std::optional<int64_t> length = typed(IDC_PAGE2_TIME_LEN);
    if (!start || !end || !length) {
        ShowTimes();
        return;
    }
    const int64_t rate = TimeRate();
    int64_t currentStart = (wave->GetStartMarker() * 1000 + rate / 2) / rate;
    int64_t currentEnd = (wave->GetEndMarker() * 1000 + rate / 2) / rate;
    if (currentEnd < currentStart) std::swap(currentStart, currentEnd);
    // The length box wins only when it is the one that changed.
    if (currentEnd - currentStart == *length)
        SetSelectionMs(*start, *end);
    else
        SetSelectionMs(*start, *start + *length);
    // A refused entry leaves the boxes showing what the editor holds.
    ShowTimes();
}

void CTessalyDlg::SetSelectionMs(int64_t startMs, int64_t endMs) {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    const int64_t rate = TimeRate();
    const int64_t viewEnd = wave->GetViewEnd();
    auto frames = [&](int64_t ms) {
        return std::clamp<int64_t>(rate * std::clamp(ms, -kMaxMs, kMaxMs) / 1000, 0, viewEnd);
    };
    const int64_t start = frames(startMs);
    const int64_t end = frames(endMs);
    if (end < start) return;
    wave->StopPlayback();
    wave->SetSelection(start, end);
    wave->SetPlayPosition(end);
    wave->Refresh();
}

bool CTessalyDlg::focusNextPrevChild(bool next) {
    const int order[3] = {IDC_PAGE2_TIME_START, IDC_PAGE2_TIME_END, IDC_PAGE2_TIME_LEN};
    const QWidget* focused = focusWidget();
    if (m_page == 1 && next && focused != nullptr) {
        for (int i = 0; i < 3; ++i) {
            const CSkinBase* box = m_skin.GetControl(order[i]);
            if (box == nullptr || (box != focused && !box->isAncestorOf(focused))) continue;
            CSkinBase* following = m_skin.GetControl(order[(i + 1) % 3]);
            if (following == nullptr) break;
            const auto* edit = qobject_cast<CSCEditBox2*>(following);
            (edit ? static_cast<QWidget*>(edit->Editor()) : following)->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return CSkinDialog::focusNextPrevChild(next);
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
