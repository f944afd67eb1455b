// CEffectSettingsWnd: the floating window around an effect plug-in's settings window.
#pragma once

#include <QPointer>
#include <QString>

#include "app/skin_dialog.h"
#include "contracts/plugin_api.h"

// A modeless skinned window (skin section "EFFECT_SETTINGS": MainPanel with a caption bar,
// and CLOSE) that holds the settings window a plug-in makes, shows the effect's caption in
// its bar and opens beside its owner. The plug-in's window is its child and takes the skin's
// colours and font from it; the plug-in's change notifications reach the owner's onCommand.
// Closing it deletes it. Everything here belongs to the user-interface thread.
class CEffectSettingsWnd : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int kCloseId = 1500;
    static constexpr int kGap = 12;  // pixels between the owner and the window

    // The skin has the window's section (else the plug-in's window floats in a plain
    // frame of the window system, see Open).
    static bool SkinHasSection();

    CEffectSettingsWnd(QWidget* owner, const QString& caption);
    ~CEffectSettingsWnd() override;

    // Makes the plug-in's window inside and shows the frame beside the owner. False (and
    // nothing shown) when the plug-in makes no window.
    bool Open(PFN_CreateSettingsWindow create, void* settings);
    QWidget* Content() const { return m_content; }

    // The plug-in's change notification, passed on to the owner.
    Q_INVOKABLE void onCommand(int id, int code);

protected:
    bool OnCommand(int commandId, int code) override;

private:
    QPointer<QWidget> m_owner;
    QString m_caption;
    QPointer<QWidget> m_content;
    bool m_skinned = false;
};

// The palette and style sheet that give a plug-in's standard widgets the skin's colours.
void ApplySkinLook(QWidget& widget);
