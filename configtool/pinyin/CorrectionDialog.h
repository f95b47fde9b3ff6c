#pragma once

#include "CorrectionFile.h"

#include <QDialog>
#include <QScopedPointer>

class QCheckBox;

namespace Ui
{
class CorrectionDialog;
}

// Switches the pinyin correction rules of Correction.ini on and off; OK
// rewrites the file and rebuilds the key map.
class CorrectionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CorrectionDialog(QWidget *parent = nullptr);
    ~CorrectionDialog() override;

    bool readCorrection(QString dir);
    bool writeCorrection();

private slots:
    void on_ok_pushButton_clicked();
    void on_restore_default_pushButton_clicked();
    void on_cancel_pushButton_clicked();

private:
    QScopedPointer<Ui::CorrectionDialog> ui;
    // The rule boxes, in the order of CorrectionFile::rule().
    QCheckBox *mRuleBoxes[CorrectionFile::kRuleCount] = {};
};
