#include "PhraseInput.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QRegExpValidator>
#include <QTextCursor>
#include <QTextEdit>

namespace PhraseInput
{

void setupAbbreviationField(QLineEdit *field)
{
    field->setMaxLength(kMaxAbbrLength);
    field->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("[a-zA-Z]+$"), Qt::CaseSensitive), field));
}

void fillPositions(QComboBox *box, int maxVisible)
{
    box->setView(new QListView(box));
    if (maxVisible > 0)
        box->setMaxVisibleItems(maxVisible);
    for (int i = 1; i <= 9; ++i)
        box->addItem(QString::number(i));
}

void limitPhraseLength(QTextEdit *edit)
{
    QString text = edit->toPlainText();
    const int excess = text.length() - kMaxPhraseLength;
    if (excess <= 0)
        return;
    const int cursor = edit->textCursor().position();
    const int start = qMax(0, cursor - excess);
    text.remove(start, excess);
    edit->setPlainText(text);
    QTextCursor moved = edit->textCursor();
    moved.setPosition(qMin(start, text.length()));
    edit->setTextCursor(moved);
}

UserPhraseItem makeItem(const QString &abbr, const QString &phrase, int position)
{
    UserPhraseItem item;
    item.abbr = abbr.toStdWString();
    item.phrase = phrase.toStdWString();
    item.position = static_cast<int16_t>(position);
    return item;
}

} // namespace PhraseInput
