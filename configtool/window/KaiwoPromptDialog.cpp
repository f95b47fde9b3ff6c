#include "KaiwoPromptDialog.h"
#include "DialogFrame.h"
#include "ui_KaiwoPromptDialog.h"

#include <QCloseEvent>

namespace
{

QList<int> nextAnswers;
QString shownTitle;
QString shownContent;
int shownCount = 0;

} // namespace

KaiwoPromptDialog::KaiwoPromptDialog(QString title, QString content, DialogStatus status,
                                     QWidget *parent)
    : QDialog(parent), ui(new Ui::KaiwoPromptDialog)
{
    ui->setupUi(this);
    DialogFrame::apply(this, ui->label_title, ui->title_close_button,
                       Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint |
                           Qt::X11BypassWindowManagerHint,
                       false);
    setFixedSize(320, 191);
    ui->label_title->setText(title);
    ui->label_content->setText(content);
    DialogFrame::centreOnDesktop(this);
    if (status == DIALOG_NOTICE) {
        ui->pushButton_ok->move(120, 150);
        ui->pushButton_cancel->hide();
    }
}

KaiwoPromptDialog::~KaiwoPromptDialog() = default;

int KaiwoPromptDialog::exec()
{
    ++shownCount;
    shownTitle = ui->label_title->text();
    shownContent = ui->label_content->text();
    if (!nextAnswers.isEmpty()) {
        const int answer = nextAnswers.takeFirst();
        setResult(answer);
        return answer;
    }
    return QDialog::exec();
}

bool KaiwoPromptDialog::confirmRestoreDefaults(QWidget *parent)
{
    KaiwoPromptDialog prompt(tr("恢复默认配置"), tr("确定恢复本页默认配置？"), DIALOG_QUESTION,
                             parent);
    prompt.setModal(true);
    return prompt.exec() == QDialog::Accepted;
}

void KaiwoPromptDialog::setNextAnswer(int answer)
{
    nextAnswers = {answer};
}

void KaiwoPromptDialog::setNextAnswers(const QList<int> &answers)
{
    nextAnswers = answers;
}

QString KaiwoPromptDialog::lastTitle()
{
    return shownTitle;
}

QString KaiwoPromptDialog::lastContent()
{
    return shownContent;
}

int KaiwoPromptDialog::promptCount()
{
    return shownCount;
}

void KaiwoPromptDialog::on_pushButton_ok_clicked()
{
    accept();
}

void KaiwoPromptDialog::on_pushButton_cancel_clicked()
{
    close();
}

void KaiwoPromptDialog::closeEvent(QCloseEvent *event)
{
    // A close only hides the dialog: exec() then returns 0.
    event->accept();
}
