#include "DiyPhraseEditDialog.h"
#include "PhraseTable.h"
#include "ui_DiyPhraseEditDialog.h"
#include "window/DialogFrame.h"
#include "window/KaiwoPromptDialog.h"

#include <cstdlib>

DiyPhraseEditDialog::DiyPhraseEditDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::DiyPhraseEditDialog)
{
    PhraseInput::setupPhraseForm(this, ui.data());
    init();
}

DiyPhraseEditDialog::~DiyPhraseEditDialog() = default;

void DiyPhraseEditDialog::init()
{
    PhraseInput::fillPositions(ui->phrase_position_comboBox, 0);
}

void DiyPhraseEditDialog::setDiyPhraseEditDialog(const UserPhraseList &list, int row)
{
    mPhraseList = list;
    mRow = row;
    if (row < 0 || row >= list.size())
        return;
    mItem = list.at(row);
    ui->lineEdit->setText(QString::fromStdWString(mItem.abbr));
    ui->textEdit->setPlainText(QString::fromStdWString(mItem.phrase));
    ui->phrase_position_comboBox->setCurrentIndex(std::abs(mItem.position) - 1);
}

void DiyPhraseEditDialog::notice(const QString &text)
{
    KaiwoPromptDialog(tr("编辑自定义短语"), text, DIALOG_NOTICE, this).exec();
}

void DiyPhraseEditDialog::on_ok_pushButton_clicked()
{
    const QString abbr = ui->lineEdit->text();
    const QString phrase = ui->textEdit->toPlainText();
    const int pos = ui->phrase_position_comboBox->currentText().toInt();
    if (abbr.isEmpty()) {
        notice(tr("缩写不能为空!"));
        return;
    }
    if (phrase.isEmpty()) {
        notice(tr("自定义短语不能为空!"));
        return;
    }
    const UserPhraseItem item = PhraseInput::makeItem(abbr, phrase, pos);
    // Unchanged input leaves a disabled phrase disabled.
    if (mRow >= 0 && mRow < mPhraseList.size() && item.abbr == mItem.abbr &&
        item.phrase == mItem.phrase && pos == std::abs(mItem.position)) {
        accept();
        return;
    }
    for (int j = 0; j < mPhraseList.size(); ++j) {
        const UserPhraseItem &existing = mPhraseList.at(j);
        if (existing.abbr != item.abbr || existing.phrase != item.phrase)
            continue;
        if (existing.position == pos) {
            if (j == mRow) {
                accept(); // nothing changed
                return;
            }
            notice(tr("自定义短语已存在!"));
            return;
        }
        break; // only the first equal phrase counts
    }
    emit signal_edit_phrase(item, mRow);
    accept();
}

void DiyPhraseEditDialog::on_cancel_pushButton_clicked()
{
    close();
}

void DiyPhraseEditDialog::on_textEdit_textChanged()
{
    PhraseInput::limitPhraseLength(ui->textEdit);
}
