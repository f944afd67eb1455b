// CTessalyDlg: the main window's frame, its page state machine and the controls common to
// every page.
#include "app/main_window.h"

#include <QDesktopServices>
#include <QResizeEvent>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>

#include "app/about_dialog.h"
#include "app/program.h"
#include "app/progress_dialog.h"
#include "app/settings.h"
#include "app/skin_list.h"
#include "app/src/update_check.h"
#include "app/system_message_box.h"
#include "app/tessaly_app.h"
#include "audiosvc/audiosvc.h"
#include "engine/render_chain.h"
#include "engine/temp_files.h"
#include "engine/track.h"
#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/edits.h"
#include "skin/menu.h"
#include "skin/panels.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/sliders.h"
#include "skin/statics.h"
#include "skin/window_geometry.h"

namespace {

const char* const kPageTitles[3] = {"Step 1: Add audio files", "Step 2: Modify your ringtone",
                                    "Step 3: Save/Send the ringtone"};
const char* const kPanelNames[3] = {"PanelPage1", "PanelPage2", "PanelPage3"};
const QString kBannerPage = QStringLiteral("https://www.zoruvo.example/banner/morvane");
const QString kProductPage = QStringLiteral("https://www.zoruvo.example/morvane/");
const QString kHelpPage = QStringLiteral("https://www.zoruvo.example/help/morvane/");
const QString kSearchPage = QStringLiteral("https://ringtones.zoruvo.example/search");

int ShowMessage(QWidget* parent, const char* text, uint32_t type) {
    return AfxSCMessageBox(text, type, nullptr, parent);
}

}  // namespace

CTessalyDlg::CTessalyDlg(CTessalyApp& app, QWidget* parent)
    : CSkinDialog(parent, kMainFrameControls, "MAINFRAME"), m_app(app), m_recordingsFolder(RecordingsFolder()) {
    const ProgramSettings settings = ReadProgramSettings();
    m_loudnessTargets = {settings.ringtoneLoudness / 10.0, settings.notificationLoudness / 10.0};
    m_saver.SetNormalizeMode(NormalizeModeFromProfile(settings.normalize));
    m_saver.SetLimiter(settings.limiter);
    m_saver.SetLoudnessTarget(m_loudnessTargets.For(PresetFor(PresetFromProfile(settings.preset)).kind));
    m_saver.overwrite = settings.overwrite;
    // A main window, not a dialog: the window manager lets it be maximised.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
}

CTessalyDlg::~CTessalyDlg() = default;

template <class T>
std::vector<T*> CTessalyDlg::Instances(int commandId) const {
    std::vector<T*> controls;
    for (const _CONTROL_INFO_STRUCT_& entry : m_skin.Table()) {
        if (entry.name == nullptr || entry.commandId != commandId) continue;
        for (_MAINFRAME_CONTROL_* node = entry.instances; node != nullptr; node = node->next)
            if (T* control = qobject_cast<T*>(node->control.data())) controls.push_back(control);
    }
    return controls;
}

std::optional<int> CTessalyDlg::OnInitDialog() {
    m_pages[0] = m_skin.GetPanel(kPanelNames[0], WS_CHILD | WS_VISIBLE);
    m_pages[1] = m_skin.GetPanel(kPanelNames[1], WS_CHILD);
    m_pages[2] = m_skin.GetPanel(kPanelNames[2], WS_CHILD);
    m_page = 0;
    if (!m_skin.LoadSkin()) {
        ShowSystemMessageBox(QStringLiteral("Can't load skin ") + QString::fromStdString(GetCurrentSkin().path), MB_OK,
                             {}, parentWidget());
        return IDCANCEL;
    }
    InitControls(ReadProgramSettings());
    SetResizable(true);
    InstallPage2Keys();
    SetUpFileDrops();
    m_laidOut = true;
    LayoutPage();
    setWindowTitle(QString::fromUtf8(kApplicationName));
    return std::nullopt;
}

void CTessalyDlg::OnSkinLoaded() {
    // Every control of every page lies inside its page's designed size, so the largest of
    // them is the least size at which nothing is cut off; a smaller screen still gets the
    // whole window.
    QSize designed;
    for (const CAutoPanelCaption* page : m_pages)
        if (page) designed = designed.expandedTo(page->GetInitialSize());
    const QSize screen = AvailableScreenArea(this).size();
    const auto onScreen = [&screen](const QSize& size) { return screen.isEmpty() ? size : size.boundedTo(screen); };
    setMinimumSize(onScreen(designed));
    RestoreWindowSize(onScreen(designed));
}

void CTessalyDlg::InitControls(const ProgramSettings& settings) {
    const QString localBanner = QString::fromStdString(ProgramRelativePath("banners/banner.html"));
    for (CSCHtmlBrowser* banner : Instances<CSCHtmlBrowser>(IDC_BANNER)) {
        banner->InitHtml(0);
        // A banner is a fixed strip: it never scrolls.
        banner->Browser()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        banner->Browser()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Nor does it take the focus: Tab goes past it.
        banner->Browser()->setFocusPolicy(Qt::NoFocus);
        // Without a page to show, an empty view would only leave a blank box.
        banner->setVisible(banner->Navigate(kBannerPage, localBanner));
    }
    for (CSCHyperLinkStatic* link : Instances<CSCHyperLinkStatic>(IDC_TITLE_LINK)) {
        link->SetTransparent(true);
        link->SetLink(kProductPage);
    }
    for (int effect : {IDC_PAGE2_EFFECT1, IDC_PAGE2_EFFECT2, IDC_PAGE2_EFFECT3})
        for (CSCButton* button : Instances<CSCButton>(effect)) button->setEnabled(false);

    const std::pair<int, bool> checks[] = {{IDC_PAGE2_REPEAT, settings.loop},
                                           {IDC_PAGE3_OVERWRITE, m_saver.overwrite},
                                           {IDC_PAGE2_FADE_IN, settings.fadeIn},
                                           {IDC_PAGE2_FADE_OUT, settings.fadeOut}};
    for (const auto& [id, on] : checks)
        for (CSCButton* button : Instances<CSCButton>(id)) button->SetCheck(on ? 1 : 0);
    m_app.Player().SetRepeat(settings.loop);

    if (CWaveFormKel* wave = WaveEditor()) {
        wave->SetFadeIn(settings.fadeIn);
        wave->SetFadeOut(settings.fadeOut);
        wave->AttachChain(&m_app.EffectTree(), &m_app.Volume());
        wave->AttachPlayer(&m_app.Player());
        wave->SetScrollBar(Control<CSCScrollBar>(IDC_PAGE2_SCROLLBAR));
    }

    const int volume = std::clamp(settings.volume, 0, static_cast<int>(CVolumeEffect::kMaxVolume));
    if (CSCSlider* slider = Control<CSCSlider>(IDC_PAGE2_VOLUME_SLIDER)) {
        slider->SetRange(0, CVolumeEffect::kMaxVolume);
        slider->SetPos(volume);
    }
    m_app.Volume().SetVolume(volume);
    SetCaption(IDC_PAGE2_VOLUME_INFO, QString::fromStdString(VolumeLabel(volume)));

    for (CSCEditBox2* path : Instances<CSCEditBox2>(IDC_PAGE3_PATH)) path->SetReadOnly(true);
    for (CSCEditBox2* search : Instances<CSCEditBox2>(IDC_COMMON_SEARCH_EDIT))
        search->SetCueBanner(QStringLiteral("search ringtone..."));
    for (int edit : {IDC_PAGE1_TRACK1_EDIT, IDC_PAGE1_TRACK2_EDIT})
        for (CSCEditBox2* track : Instances<CSCEditBox2>(edit)) track->SetCueBanner(QStringLiteral("No file selected"));

    for (CSCButton* zoom : Instances<CSCButton>(IDC_PAGE2_ZOOM_MENU)) zoom->SetDropDown(true);
    SetCaption(IDC_COMMON_CONTINUE, QString::fromUtf8(kPageTitles[1]));
}

void CTessalyDlg::SetCaption(int commandId, const QString& text) {
    for (CSkinBase* control : Instances<CSkinBase>(commandId)) control->SetWindowText(text);
}

void CTessalyDlg::resizeEvent(QResizeEvent* event) {
    CSkinDialog::resizeEvent(event);
    if (m_laidOut) LayoutPage();
}

void CTessalyDlg::LayoutPage() {
    CAutoPanelCaption* panel = m_pages[m_page];
    if (isMinimized() || panel == nullptr) return;
    const QSize initial = panel->GetInitialSize();
    panel->setGeometry(0, 0, std::max(width(), initial.width()), std::max(height(), initial.height()));
}

void CTessalyDlg::ShowPage(int page) {
    const bool focusRing = FocusRingShowing();
    if (m_pages[m_page]) m_pages[m_page]->hide();
    m_page = page;
    CopySearchText();
    if (page == 1) {
        SetCaption(IDC_COMMON_CONTINUE, QString::fromUtf8(kPageTitles[2]));
        SetCaption(IDC_COMMON_GO_BACK, QString::fromUtf8(kPageTitles[0]));
        if (CWaveFormKel* wave = WaveEditor()) wave->Refresh();
    } else if (page == 2) {
        SetCaption(IDC_COMMON_GO_BACK, QString::fromUtf8(kPageTitles[1]));
    } else {
        SetCaption(IDC_COMMON_CONTINUE, QString::fromUtf8(kPageTitles[1]));
        // The tracks may change on the first page: the preview stops with it.
        if (CWaveFormKel* wave = WaveEditor()) wave->StopPlayback();
    }
    if (m_pages[m_page]) m_pages[m_page]->show();
    LayoutPage();
    FocusPageStart(focusRing);
}

void CTessalyDlg::OnContinue() {
    TakeTrackEdits();
    if (m_page == 0) {
        if (m_track1.path.empty() && m_track2.path.empty()) {
            ShowMessage(this, "Please provide at least one audio\nfile to proceed", MB_OK | MB_ICONWARNING);
            if (CSkinBase* edit = m_skin.GetControl(IDC_PAGE1_TRACK1_EDIT)) edit->setFocus(Qt::OtherFocusReason);
            return;
        }
        m_app.BuildEffectTree();
        if (!OpenTracks()) return;
    } else if (m_page == 1) {
        FillPage3Lists();
        if (!RenderRingtone()) return;
        EnterPage3();
    } else {
        return;
    }
    ShowPage(m_page + 1);
    if (m_tracksChanged) {
        m_tracksChanged = false;
        FitEditorToTracks();
    }
}

void CTessalyDlg::OnGoBack() {
    if (m_page == 0) return;
    ShowPage(m_page - 1);
}

void CTessalyDlg::TakeTrackEdits() {
    for (int number : {1, 2}) {
        TrackSlot& slot = Track(number);
        CSkinBase* edit = m_skin.GetControl(number == 1 ? IDC_PAGE1_TRACK1_EDIT : IDC_PAGE1_TRACK2_EDIT);
        if (edit == nullptr || slot.temporary) continue;
        const QString text = edit->GetWindowText();
        const bool differs = slot.path.empty() ? !text.isEmpty()
                                               : text != QString::fromStdString(slot.path) &&
                                                     text != QString::fromStdString(slot.givenName);
        if (differs) SetTrackPath(number, text);
    }
}

bool CTessalyDlg::OpenTracks() {
    CProgressDlgFactory progress(this);
    bool changed = false;
    for (int number : {1, 2}) {
        TrackSlot& slot = Track(number);
        if (slot.path.empty() || slot.source.IsOpen()) continue;
        if (!slot.Open(progress)) return false;
        changed = true;
    }
    // The editor shows exactly the slots that hold an open track; a slot emptied since the
    // last Continue leaves it.
    TrackSlot* const shown[2] = {m_track1.source.IsOpen() ? &m_track1 : nullptr,
                                 m_track2.source.IsOpen() ? &m_track2 : nullptr};
    changed = changed || shown[0] != m_shownTracks[0] || shown[1] != m_shownTracks[1];
    CWaveFormKel* wave = WaveEditor();
    if (changed && wave) {
        m_shownTracks[0] = shown[0];
        m_shownTracks[1] = shown[1];
        wave->SetTracks(shown[0], shown[1]);
        m_tracksChanged = true;
    }
    return true;
}

void CTessalyDlg::FitEditorToTracks() {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    const int64_t length = std::max<int64_t>(m_track1.source.Frames(), m_track2.source.Frames());
    const int64_t width = std::max(1, wave->width());
    uint32_t zoom = 1;
    while (width * zoom < length) zoom *= 2;
    wave->SetZoom(zoom);
    wave->SetSelection(wave->GetViewStart(), length);
    wave->SetPlayPosition(length);
    wave->Refresh();
}

bool CTessalyDlg::RenderRingtone() {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return false;
    CProgressDlgFactory progress(this);
    TempFile exported;
    if (!m_saver.PrepareExport(wave->Timeline(), progress, exported)) return false;
    return m_saver.AdoptExport(std::move(exported));
}

QString CTessalyDlg::SearchText() const {
    std::vector<QString> texts;
    for (CSkinBase* edit : Instances<CSkinBase>(IDC_COMMON_SEARCH_EDIT)) texts.push_back(edit->GetWindowText());
    // Instances are listed newest first; the pages created them in page order.
    std::reverse(texts.begin(), texts.end());
    if (texts.size() < 3) return texts.empty() ? QString() : texts.front();
    if (texts[0] != texts[1] && texts[0] != texts[2]) return texts[0];
    if (texts[0] == texts[2]) return texts[1];
    return texts[2];
}

void CTessalyDlg::CopySearchText() {
    const QString text = SearchText();
    for (CSkinBase* edit : Instances<CSkinBase>(IDC_COMMON_SEARCH_EDIT))
        if (edit->GetWindowText() != text) edit->SetWindowText(text);
}

void CTessalyDlg::Search() {
    const QString text = SearchText();
    if (text.isEmpty()) return;
    OpenAddress(QUrl::fromEncoded(kSearchPage.toUtf8() + "?searchKey=" + QUrl::toPercentEncoding(text)));
}

void CTessalyDlg::OpenAddress(const QUrl& address) { QDesktopServices::openUrl(address); }

void CTessalyDlg::ShowHelpMenu() {
    CSCMenu menu(this);
    menu.AppendMenu(CSCMenu::MF_STRING, kMenuOnlineHelp, QStringLiteral("Online Help"));
    menu.AppendMenu(CSCMenu::MF_STRING, kMenuCheckForUpdate, QStringLiteral("Check for Update"));
    switch (ChoosePopup(menu, IDC_MENU_HELP)) {
        case kMenuOnlineHelp: OpenAddress(QUrl(kHelpPage)); break;
        case kMenuCheckForUpdate: CheckForUpdate(this); break;
        default: break;
    }
}

bool CTessalyDlg::OnCommand(int commandId, int code) {
    if (OnPage3Command(commandId, code)) return true;
    switch (commandId) {
        case IDC_COMMON_CONTINUE:
            if (code == SCN_CLICKED) OnContinue();
            return true;
        case IDC_COMMON_GO_BACK:
            if (code == SCN_CLICKED) OnGoBack();
            return true;
        case IDC_COMMON_MINIMIZE:
            if (code == SCN_CLICKED) showMinimized();
            return true;
        case IDC_COMMON_CLOSE:
            if (code == SCN_CLICKED) close();
            return true;
        case IDC_MENU_HOME:
            if (code == SCN_CLICKED) OpenAddress(QUrl(QString::fromUtf8(kMakerHomePage)));
            return true;
        case IDC_MENU_HELP:
            if (code == SCN_CLICKED) ShowHelpMenu();
            return true;
        case IDC_MENU_ABOUT:
            if (code == SCN_CLICKED) CAboutDlg(this).exec();
            return true;
        case IDC_PAGE1_TRACK1_BROWSE:
        case IDC_PAGE1_TRACK2_BROWSE:
            if (code == SCN_CLICKED) ShowTrackSourceMenu(commandId == IDC_PAGE1_TRACK1_BROWSE ? 1 : 2);
            return true;
        case IDC_PAGE1_TRACK1_EDIT:
        case IDC_PAGE1_TRACK2_EDIT:
            if (code == SCN_CHANGE) {
                CSkinBase* edit = m_skin.GetControl(commandId);
                if (edit) SetTrackPath(commandId == IDC_PAGE1_TRACK1_EDIT ? 1 : 2, edit->GetWindowText());
            }
            if (code == SCN_COMMIT) CheckTypedTrack(commandId == IDC_PAGE1_TRACK1_EDIT ? 1 : 2);
            return true;
        case IDC_PAGE1_RECORD:
            if (code == SCN_CLICKED) Record();
            return true;
        case IDC_COMMON_SEARCH_BUTTON:
            if (code == SCN_CLICKED) Search();
            return true;
        case IDC_COMMON_SEARCH_EDIT:
            if (code == SCN_COMMIT) Search();
            return true;
        default: return OnPage2Command(commandId, code);
    }
}

void CTessalyDlg::reject() {
    const std::string question = "Do you really want to exit " + std::string("Qo Morvane") + "?";
    if (ShowMessage(this, question.c_str(), MB_YESNO | MB_ICONWARNING) == IDNO) return;
    if (CSCSlider* slider = Control<CSCSlider>(IDC_PAGE2_VOLUME_SLIDER))
        WriteProfileInt("General", "Volume", slider->GetPos());
    done(1);
}

void CTessalyDlg::OnDestroy() {
    if (m_laidOut) StoreWindowSize();
    if (CWaveFormKel* wave = WaveEditor()) {
        wave->StopPlayback();
        wave->AttachPlayer(nullptr);
    }
    CSkinDialog::OnDestroy();
}
