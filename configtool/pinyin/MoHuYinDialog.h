#pragma once

#include "FuzzyFile.h"
#include "config/ConfigType.h"
#include "window/SettingsTable.h"

#include <QDialog>
#include <QScopedPointer>

class QCheckBox;

namespace Ui
{
class MoHuYinDialog;
}

// Chooses the fuzzy-pinyin pairs (Fuzzy.dat) and smart fuzzy
// recommendation (MohuSmart); OK writes both and rebuilds the key map.
class MoHuYinDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MoHuYinDialog(QWidget *parent = nullptr);
    ~MoHuYinDialog() override;

    bool readMoHuYinIni(QString dir);
    bool writeMoHuYinIni();
    void loadSettings(CON_TPYE mode);

private slots:
    void on_ok_pushButton_clicked();
    void on_restore_default_pushButton_clicked();
    void on_cancel_pushButton_clicked();

private:
    QScopedPointer<Ui::MoHuYinDialog> ui;
    // The pair boxes, in the order of FuzzyFile::pair().
    QCheckBox *mPairBoxes[FuzzyFile::kPairCount] = {};
    SettingsTable mTable;
};
