// CEffectSettingsWnd: an effect plug-in's settings window in a skinned frame beside the
// main window.
#include "app/src/effect_settings_window.h"

#include <QMetaObject>

#include "app/control_tables.h"
#include "app/resources.h"
#include "skin/panels.h"
#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/window_geometry.h"
#include "xml/xml.h"

namespace {

const char* const kSection = "EFFECT_SETTINGS";

const _CONTROL_INFO_STRUCT_ kEffectSettingsControls[] = {
    {1, CEffectSettingsWnd::kCloseId, "CLOSE", "Close", IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

// Pixels between the plug-in's window and the frame's edges (below the caption bar).
constexpr int kMargin = 16;

}  // namespace

bool CEffectSettingsWnd::SkinHasSection() {
    const enXml* root = GetSkinXMLRoot();
    return root != nullptr && root->FindChild(kSection) != nullptr;
}

CEffectSettingsWnd::CEffectSettingsWnd(QWidget* owner, const QString& caption)
    : CSkinDialog(owner, kEffectSettingsControls, kSection), m_owner(owner), m_caption(caption) {
    // A tool window stays above its owner and out of the task bar; without the skin's
    // section the window system draws the frame, the caption and the close button.
    m_skinned = SkinHasSection();
    setWindowFlags(m_skinned ? Qt::Tool | Qt::FramelessWindowHint : Qt::Tool);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(caption);
}

CEffectSettingsWnd::~CEffectSettingsWnd() {
    if (m_skinned) OnDestroy();
}

bool CEffectSettingsWnd::Open(PFN_CreateSettingsWindow create, void* settings) {
    if (m_skinned && OnInitDialog()) m_skinned = false;  // the section failed to load
    if (!m_skinned) setWindowFlags(Qt::Tool);
    QWidget* content = create(this, settings);
    if (content == nullptr) return false;
    m_content = content;
    ApplySkinLook(*content);
    const int top = m_skinned && MainPanel() ? MainPanel()->GetCaptionHeight() : 0;
    const int margin = m_skinned ? kMargin : 0;
    // The plug-in tells its parent of changes: the window stays this frame's child, above the
    // panel.
    content->raise();
    content->move(margin, top + margin);
    const QSize size = content->size() + QSize(2 * margin, top + 2 * margin);
    if (m_skinned)
        FitToPanel(size);
    else
        setFixedSize(size);
    if (MainPanel()) MainPanel()->SetCaptionText(m_caption);
    const QRect owner = m_owner ? m_owner->frameGeometry() : QRect();
    move(PlaceBeside(owner, frameGeometry().size(), AvailableScreenArea(m_owner), kGap).topLeft());
    content->show();
    show();
    // The keyboard goes on in the window just opened: Tab walks the effect's controls and
    // Escape closes it.
    activateWindow();
    content->setFocus(Qt::ActiveWindowFocusReason);
    focusNextChild();
    return true;
}

bool CEffectSettingsWnd::OnCommand(int commandId, int) {
    if (commandId != kCloseId) return false;
    close();
    return true;
}

void CEffectSettingsWnd::onCommand(int id, int code) {
    if (m_owner && m_owner->metaObject()->indexOfMethod("onCommand(int,int)") >= 0)
        QMetaObject::invokeMethod(m_owner, "onCommand", Qt::DirectConnection, Q_ARG(int, id), Q_ARG(int, code));
}

void ApplySkinLook(QWidget& widget) {
    QPalette palette = widget.palette();
    const QColor surface = SkinPaletteColor(SKINCOLOR_SURFACE), text = SkinPaletteColor(SKINCOLOR_TEXT);
    const QColor border = SkinPaletteColor(SKINCOLOR_BORDER), accent = SkinPaletteColor(SKINCOLOR_ACCENT);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase})
        palette.setColor(role, surface);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, SkinPaletteColor(SKINCOLOR_ACCENT_TEXT));
    palette.setColor(QPalette::Mid, border);
    palette.setColor(QPalette::Dark, border);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, SkinPaletteColor(SKINCOLOR_DISABLED_TEXT));
    palette.setColor(QPalette::Disabled, QPalette::Text, SkinPaletteColor(SKINCOLOR_DISABLED_TEXT));
    widget.setPalette(palette);
    widget.setStyleSheet(QStringLiteral("QGroupBox{border:1px solid %1;border-radius:8px;margin-top:7px;}"
                                        "QGroupBox::title{subcontrol-origin:margin;left:8px;padding:0 4px;color:%2;}")
                             .arg(border.name(), SkinPaletteColor(SKINCOLOR_TEXT_SECONDARY).name()));
}
