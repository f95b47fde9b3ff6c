#include "ThesaurusLookDialog.h"
#include "app/SystemHelpers.h"
#include "ui_ThesaurusLookDialog.h"
#include "window/DialogFrame.h"

#include <QPalette>
#include <QPixmap>

ThesaurusLookDialog::ThesaurusLookDialog(s_cellDicInfo &info, QWidget *parent)
    : QDialog(parent), ui(new Ui::ThesaurusLookDialog)
{
    ui->setupUi(this);
    DialogFrame::apply(this, ui->label_title, ui->title_close_button);
    setFixedSize(500, 375);
    QPalette background = palette();
    background.setBrush(QPalette::Window,
                        QBrush(QPixmap(QStringLiteral("://picture/backImage-500x375.png"))));
    setPalette(background);
    setAutoFillBackground(true);
    DialogFrame::markBottomStrip(ui->widget_bottom);

    ui->label_Name->setText(tr("词库名称:") + QString::fromStdWString(info.strName));
    ui->label_Count->setText(tr("词库条数:") + QString::number(info.nWordsCount));
    ui->label_Date->setText(tr("词库日期:") + time_2_string(info.nDate));
    ui->label_Example->setText(exampleText(QString::fromStdWString(info.strExample)));
    DialogFrame::centreOnDesktop(this);
}

ThesaurusLookDialog::~ThesaurusLookDialog() = default;

QString ThesaurusLookDialog::exampleText(const QString &examples)
{
    QString text;
    const QStringList parts = examples.split(QLatin1Char(' '));
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (part == QLatin1String(" ") || part == QLatin1String("\n"))
            continue;
        text += part + QLatin1String(" \n");
        if (i >= 6)
            break;
    }
    return text;
}

void ThesaurusLookDialog::on_pushButton_ok_clicked()
{
    accept();
}
