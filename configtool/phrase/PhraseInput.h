#pragma once

#include "PhraseTable.h"
#include "app/DicOperationTypes.h"
#include "window/DialogFrame.h"

#include <QDialog>
#include <QList>
#include <QMetaType>
#include <QString>

class QComboBox;
class QLineEdit;
class QTextEdit;

Q_DECLARE_METATYPE(UserPhraseItem)

using UserPhraseList = QList<UserPhraseItem>;

// Input rules the add and edit dialogs share.
namespace PhraseInput
{

constexpr int kMaxAbbrLength = 21;
constexpr int kMaxPhraseLength = 1000;

// At most 21 ASCII letters.
void setupAbbreviationField(QLineEdit *field);
// "1" to "9" with a list view popup; maxVisible 0 keeps the default.
void fillPositions(QComboBox *box, int maxVisible);
// Cuts the text back to 1000 characters by removing what was typed or
// pasted just before the cursor.
void limitPhraseLength(QTextEdit *edit);

UserPhraseItem makeItem(const QString &abbr, const QString &phrase, int position);

// The set-up the add and edit dialogs share: their form, the dialog frame,
// the fixed 500 x 325 size and the abbreviation field's rules.
template <class Form> void setupPhraseForm(QDialog *dialog, Form *ui)
{
    ui->setupUi(dialog);
    PhraseTable::useDialogFont(dialog);
    DialogFrame::apply(dialog, ui->label_title, ui->title_close_button);
    DialogFrame::markBottomStrip(ui->bottom_widget);
    dialog->setFixedSize(500, 325);
    setupAbbreviationField(ui->lineEdit);
}

} // namespace PhraseInput
