#pragma once

#include "SettingsTable.h"
#include "config/ConfigType.h"

#include <QDialog>
#include <QScopedPointer>

class QCheckBox;
class QComboBox;

namespace Ui
{
class SystemShortcutKeysDialog;
}

// Chooses the Ctrl+Shift+letter keys of the English input mode, of the
// Wubi/pinyin switch and (never shown) of the simplified/traditional
// switch; the three letters always differ.
class SystemShortcutKeysDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SystemShortcutKeysDialog(QWidget *parent = nullptr);
    ~SystemShortcutKeysDialog() override;

    void initSettings();
    void loadSettings(CON_TPYE mode);
    void saveSettings();

    void updateFangjianShortCutCombox();
    void updateEngIMEShortCutCombox();
    void updateWbPyShortCutCombox();

private slots:
    void slot_fangjianShortCutCombox_currentIndexChanged(const QString &text);
    void slot_engIMEShortCutCombox_currentIndexChanged(const QString &text);
    void slot_wbpyShortCutCombox_currentIndexChanged(const QString &text);

    void on_ok_pushButton_clicked();
    void on_cancel_pushButton_clicked();
    void on_restore_default_pushButton_clicked();

private:
    void buildRows();
    void initTable();
    // Fills a combo with the letters the other two combinations leave free
    // and selects its own letter; reconnects its change signal last.
    void rebuildCombox(QComboBox *combox, const QString &own, const QString &other1,
                       const QString &other2, const char *slot);
    void disconnectCombox(QComboBox *combox, const char *slot);

    QScopedPointer<Ui::SystemShortcutKeysDialog> ui;
    QCheckBox *mFanJianCheckBox = nullptr;
    QCheckBox *mEngIMECheckBox = nullptr;
    QCheckBox *mWbpyCheckBox = nullptr;
    QComboBox *mFangjianShortCutCombox = nullptr;
    QComboBox *mEngIMEShortCutCombox = nullptr;
    QComboBox *mWbpyShortCutCombox = nullptr;
    // The letters the three combinations hold, one capital each.
    QString mFanJianKey;
    QString mEngIMEKey;
    QString mWbpyKey;
    SettingsTable mTable;
};
