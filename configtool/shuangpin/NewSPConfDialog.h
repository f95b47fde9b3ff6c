#pragma once

#include <QDialog>
#include <QScopedPointer>

class QHBoxLayout;
class QQuickWidget;

namespace Ui
{
class NewSPConfDialog;
}

// Builds a new double-pinyin scheme from a blank or existing base, one
// syllable at a time, and saves it as a per-user scheme file.
class NewSPConfDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NewSPConfDialog(QWidget *parent);
    ~NewSPConfDialog() override;

    void init();

signals:
    void SigRefurbishSpSchemeList();

public slots:
    void on_pushButton_keep_clicked();
    void on_pushButton_cancel_clicked();
    void on_comboBox_baseOn_currentIndexChanged(const QString &arg1);
    void on_comboBox_syllable_currentIndexChanged(const QString &arg1);
    void on_comboBox_key_currentIndexChanged(const QString &arg1);
    void SlotHandelMessageBox();

private:
    void notice(const QString &text, int kind);

    QScopedPointer<Ui::NewSPConfDialog> ui;
    QHBoxLayout *mViewLayout = nullptr;
    QQuickWidget *mView = nullptr;
    bool mComboReady = false;
    int mMessageKind = 0;
    QString mFileName;
};
