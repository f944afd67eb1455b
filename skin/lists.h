// Lists: drop-down lists (CSCComboBox, CSCComboBox2) and the list box (CSCListBox).
#pragma once

#include <cstdint>

#include <QComboBox>
#include <QString>

#include "skin/control_records.h"
#include "skin/skin_base.h"

class QListWidget;

// Drop-down list (kind 10). Items carry a number of item data. A user's choice reports
// SCN_SELCHANGE; setting the selection from the program does not.
class CSCComboBox : public CSkinBase {
    Q_OBJECT
public:
    CSCComboBox(QWidget* parent, int windowId, uint32_t style = CBS_DROPDOWNLIST);
    ~CSCComboBox() override;

    int AddString(const QString& text);  // returns the new item's index
    int InsertString(int index, const QString& text);
    void DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;      // -1 when nothing is selected
    void SetCurSel(int index);  // -1 clears the selection
    QString GetLBText(int index) const;
    void SetItemData(int index, intptr_t data);
    intptr_t GetItemData(int index) const;  // 0 for a bad index
    QString GetWindowText() const override;
    QComboBox* Combo() const { return m_combo; }

protected:
    // Height of a row in the open list, and whether the chosen row shows a check mark.
    virtual int RowHeight() const { return 30; }
    virtual bool MarksCurrent() const { return false; }
    void OnTextChanged() override {}

private:
    QComboBox* m_combo;
};

// Drop-down list with roomy rows and a check mark at the chosen one (kind 11).
class CSCComboBox2 : public CSCComboBox {
    Q_OBJECT
public:
    CSCComboBox2(QWidget* parent, int windowId, uint32_t style = CBS_DROPDOWNLIST);
    ~CSCComboBox2() override;

protected:
    int RowHeight() const override { return 36; }
    bool MarksCurrent() const override { return true; }
};

// List (kind 13): a selection change by the user reports SCN_SELCHANGE, a double click or
// Enter on an item SCN_DBLCLK.
class CSCListBox : public CSkinBase {
    Q_OBJECT
public:
    CSCListBox(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCListBox() override;

    int AddString(const QString& text);
    void DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    void SetCurSel(int index);
    QString GetText(int index) const;
    void SetItemData(int index, intptr_t data);
    intptr_t GetItemData(int index) const;
    QListWidget* List() const { return m_list; }

private:
    QListWidget* m_list;
    bool m_settingSelection = false;
};
