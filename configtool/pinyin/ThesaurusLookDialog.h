#pragma once

#include "app/DicOperationTypes.h"

#include <QDialog>
#include <QScopedPointer>

namespace Ui
{
class ThesaurusLookDialog;
}

// Shows one cell dictionary's name, word count, date and examples.
class ThesaurusLookDialog : public QDialog
{
    Q_OBJECT

public:
    ThesaurusLookDialog(s_cellDicInfo &info, QWidget *parent);
    ~ThesaurusLookDialog() override;

    // The examples one per line: at most seven, each followed by a space.
    static QString exampleText(const QString &examples);

private slots:
    void on_pushButton_ok_clicked();

private:
    QScopedPointer<Ui::ThesaurusLookDialog> ui;
};
