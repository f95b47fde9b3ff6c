#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui
{
class DefaultPhraseDialog;
}

// Read-only list of the input method's built-in phrases.
class DefaultPhraseDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DefaultPhraseDialog(QWidget *parent = nullptr);
    ~DefaultPhraseDialog() override;

    void init();
    void setTableWidget();

private slots:
    void on_ok_pushButton_clicked();

private:
    QScopedPointer<Ui::DefaultPhraseDialog> ui;
};
