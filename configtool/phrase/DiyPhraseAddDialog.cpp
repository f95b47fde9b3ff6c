#include "DiyPhraseAddDialog.h"
#include "PhraseTable.h"
#include "ui_DiyPhraseAddDialog.h"
#include "window/DialogFrame.h"
#include "window/KaiwoPromptDialog.h"

#include <QScrollBar>
#include <QTextBlock>

DiyPhraseAddDialog::DiyPhraseAddDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::DiyPhraseAddDialog)
{
    PhraseInput::setupPhraseForm(this, ui.data());
    init();
}

DiyPhraseAddDialog::~DiyPhraseAddDialog() = default;

void DiyPhraseAddDialog::init()
{
    PhraseInput::fillPositions(ui->phrase_position_comboBox, 10);
    connect(ui->textEdit, &QTextEdit::cursorPositionChanged, this,
            &DiyPhraseAddDialog::slot_cursor_position_changed);
}

void DiyPhraseAddDialog::setDiyPhraseAddDialog(const UserPhraseList &list, int)
{
    mPhraseList = list;
}

void DiyPhraseAddDialog::notice(const QString &text)
{
    KaiwoPromptDialog(tr("添加自定义短语"), text, DIALOG_NOTICE, this).exec();
}

int DiyPhraseAddDialog::save_phrase()
{
    const QString abbr = ui->lineEdit->text();
    const QString phrase = ui->textEdit->toPlainText();
    const int pos = ui->phrase_position_comboBox->currentText().toInt();
    if (abbr.isEmpty()) {
        notice(tr("缩写不能为空!"));
        return -1;
    }
    if (phrase.isEmpty()) {
        notice(tr("自定义短语不能为空!"));
        return -1;
    }
    const UserPhraseItem item = PhraseInput::makeItem(abbr, phrase, pos);
    for (const UserPhraseItem &existing : qAsConst(mPhraseList)) {
        // A disabled phrase has a negative position and so never matches.
        if (existing.abbr == item.abbr && existing.phrase == item.phrase &&
            existing.position == pos) {
            notice(tr("自定义短语已存在!"));
            return -1;
        }
    }
    emit signal_add_phrase(item, 0);
    return 0;
}

void DiyPhraseAddDialog::on_ok_pushButton_clicked()
{
    if (save_phrase() == 0)
        accept();
}

void DiyPhraseAddDialog::on_cancel_pushButton_clicked()
{
    close();
}

void DiyPhraseAddDialog::on_continue_pushButton_clicked()
{
    if (save_phrase() != 0)
        return;
    ui->phrase_position_comboBox->setCurrentText(QStringLiteral("1"));
    ui->lineEdit->clear();
    ui->textEdit->clear();
}

void DiyPhraseAddDialog::on_textEdit_textChanged()
{
    PhraseInput::limitPhraseLength(ui->textEdit);
}

void DiyPhraseAddDialog::slot_cursor_position_changed()
{
    const QTextCursor cursor = ui->textEdit->textCursor();
    if (cursor.block() == ui->textEdit->document()->lastBlock()) {
        QScrollBar *bar = ui->textEdit->verticalScrollBar();
        bar->setValue(bar->maximum());
    }
}
