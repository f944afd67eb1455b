// CSkinDialog, the base of the program's skinned dialogs. Everything here belongs to the
// user-interface thread.
#pragma once

#include <QPointer>

#include <optional>
#include <string>

#include "app/control_tables.h"
#include "app/skin_holder.h"
#include "skin/skin.h"

// A skinned dialog built by its CSkinHolder: exec() initialises it from the skin (MainPanel
// and the controls), runs it modally and releases its controls, as a modal dialog's window
// is created and destroyed with each run. When the skin cannot be loaded it shows "Can't
// load skin " and ends with 2 without showing.
class CSkinDialog : public CSCScaleDialog, public ISkinHolderCb {
    Q_OBJECT
public:
    ~CSkinDialog() override;
    int exec() override;
    // Escape, closing the window and the Cancel of a derived dialog end it with IDCANCEL (2).
    void reject() override;
    CSkinHolder& Skin() { return m_skin; }

protected:
    CSkinDialog(QWidget* parent, const _CONTROL_INFO_STRUCT_* table, std::string section);
    // Before the window shows: creates MainPanel and loads the skin. A result ends the run
    // at once with it.
    virtual std::optional<int> OnInitDialog();
    // After the modal run: releases the controls.
    virtual void OnDestroy();
    // A command of a skin control, by its table id; true when handled.
    virtual bool OnCommand(int commandId, int code);
    // Sizes the dialog to MainPanel's initial size and takes the panel's shape.
    void OnSkinLoaded() override;
    bool event(QEvent* event) override;
    CAutoPanelCaption* MainPanel() const { return m_mainPanel; }
    // Sizes the dialog and MainPanel and takes the panel's shape at that size.
    void FitToPanel(const QSize& size);
    template <class T>
    T* Control(int commandId) {
        return qobject_cast<T*>(m_skin.GetControl(commandId));
    }

    CSkinHolder m_skin;

private:
    QPointer<CAutoPanelCaption> m_mainPanel;
};
