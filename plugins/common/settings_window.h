// What the plug-ins' settings windows share (Qt Widgets; only the window code uses it):
// dialog templates laid out in dialog units of the window's font, a slider that reports the
// end of each user action, the change notification to the host, and the plug-in's
// translated texts.
//
// A settings window derives from CPluginSettingsDialog, passes its template, fills its
// controls inside a FillingScope (no notification is posted while it fills) and calls
// NotifyChanged after each change the user makes. The window is the dialog object: when the
// host destroys it, the object goes with it (closing it deletes it as well).
#pragma once

#include <QSlider>
#include <QString>
#include <QWidget>

#include <functional>
#include <span>

class CPluginSettings;
class QFont;

// ---- dialog templates -------------------------------------------------------------------

enum class DialogControlKind {
    GroupBox,        // a captioned frame
    Frame,           // an uncaptioned etched frame
    Text,            // static text, left-aligned
    CenteredText,    // static text, centred
    VerticalSlider,  // CTrackSlider, minimum at the top
    HorizontalSlider,
    CheckBox,
    RadioFirst,  // a radio button that starts a new group
    Radio,       // a radio button of the group started last
};

// Control id of static texts that need none.
inline constexpr int kNoControlId = -1;

// One control of a template. The caption is the built-in text (translated through the
// plug-in's language file); position and size are in dialog units.
struct DialogControl {
    DialogControlKind kind;
    int id;
    const char* caption;
    int x, y, cx, cy;
};

struct DialogTemplate {
    int id;
    const char* context;  // translation context: the dialog class name
    int cx, cy;           // size in dialog units
    std::span<const DialogControl> controls;
};

// Dialog units of a font: one horizontal unit is the average character width / 4, one
// vertical unit the character height / 8 (pixels).
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    QRect ToPixels(int x, int y, int cx, int cy) const;
    QSize ToPixels(int cx, int cy) const;
    int AverageCharWidth() const { return m_averageCharWidth; }
    int CharHeight() const { return m_charHeight; }

private:
    int m_averageCharWidth;
    int m_charHeight;
};

// ---- slider -----------------------------------------------------------------------------

// A slider that says when a user action on it has ended: the thumb released after a drag, a
// click on the channel, a navigation key let go, a wheel step. Vertical sliders have their
// minimum at the top and move the thumb up with the Up key. The page step is a fifth of the
// range, the line step 1; ticks mark tenths of the range.
class CTrackSlider : public QSlider {
    Q_OBJECT
public:
    CTrackSlider(Qt::Orientation orientation, QWidget* parent);
    // Sets the range and the page step that goes with it.
    void SetTrackRange(int minimum, int maximum);

signals:
    void trackEnded();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool m_channelPressed = false;  // a press away from the thumb awaits its release
};

// ---- the dialog base --------------------------------------------------------------------

class CPluginSettingsDialog : public QWidget {
    Q_OBJECT
public:
    // Builds the controls of the template as children, each named by its decimal id, and
    // fixes the window's size. Loads the plug-in's language file when it changed.
    CPluginSettingsDialog(QWidget* parent, const DialogTemplate& dialogTemplate);

    // The child made for a template control (null for another type or id).
    template <class Control>
    Control* Find(int id) const {
        return findChild<Control*>(QString::number(id), Qt::FindDirectChildrenOnly);
    }

protected:
    // While one exists, changes are the window filling itself: NotifyChanged posts nothing.
    class FillingScope {
    public:
        explicit FillingScope(CPluginSettingsDialog& dialog) : m_dialog(dialog), m_outer(dialog.m_filling) {
            m_dialog.m_filling = true;
        }
        ~FillingScope() { m_dialog.m_filling = m_outer; }
        FillingScope(const FillingScope&) = delete;
        FillingScope& operator=(const FillingScope&) = delete;

    private:
        CPluginSettingsDialog& m_dialog;
        bool m_outer;
    };

    // Posts the change notification (id 0, code PLUGIN_SETTINGS_CHANGED) to the parent
    // unless the window is filling itself; see contracts/plugin_api.h.
    void NotifyChanged();
    // A text of this dialog in the language file's words, else as given.
    QString Text(const char* source) const;
    const DialogUnits& Units() const { return m_units; }
    // Connects the template's slider: each change of its value calls moved, the end of each
    // user action on it ended.
    void ConnectSlider(int id, const std::function<void()>& moved, const std::function<void()>& ended);

    // The template control's child, which must exist (the templates are fixed).
    template <class Control>
    Control& Get(int id) const {
        Control* control = Find<Control>(id);
        Q_ASSERT(control != nullptr);
        return *control;
    }

private:
    void Build(std::span<const DialogControl> controls);

    const char* m_context;
    DialogUnits m_units;
    bool m_filling = false;
};

// ---- making windows, texts ------------------------------------------------------------

// True when a settings window can be made for this parent: there is one, and this is the
// thread of a running QApplication (widgets need both).
bool CanCreateSettingsWindow(QWidget* parent);

// CreatePluginSettingsWindow of a plug-in whose window is a Dialog on its record of type
// Settings: the window as a child of parent, or null when none can be made there.
template <class Dialog, class Settings>
QWidget* MakeSettingsWindow(QWidget* parent, CPluginSettings& settings) {
    if (!CanCreateSettingsWindow(parent)) return nullptr;
    return new Dialog(parent, static_cast<Settings&>(settings));  // owned by parent
}

// The plug-in's text for (context, source) from the language file loaded last, or the
// source itself. LoadPluginTranslation reads PluginLanguageFile() when it differs from the
// file read before; a missing or unreadable file gives the built-in texts.
QString PluginText(const char* context, const char* source);
void LoadPluginTranslation();
