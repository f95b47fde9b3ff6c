#pragma once

#include <QDialog>
#include <QScopedPointer>

class QHBoxLayout;
class QQuickWidget;

namespace Ui
{
class ShuangPinSettingDialog;
}

// Chooses the double-pinyin scheme the input method uses, shows its keys on
// a keyboard view, deletes per-user schemes and opens the scheme editor.
class ShuangPinSettingDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShuangPinSettingDialog(QWidget *parent);
    ~ShuangPinSettingDialog() override;

    void init();
    bool setCurrentSpScheme();
    bool writeCurrentSpScheme(QString title);

public slots:
    void on_pushButton_new_clicked();
    void on_pushButton_delete_clicked();
    void on_pushButton_restoreDefault_clicked();
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();
    void on_comboBox_currentIndexChanged(const QString &arg1);
    void SlotRefurbishSpSchemeList();

private:
    void selectTitle(const QString &title);

    QScopedPointer<Ui::ShuangPinSettingDialog> ui;
    QHBoxLayout *mViewLayout = nullptr;
    QQuickWidget *mView = nullptr;
};
