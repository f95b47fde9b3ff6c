#pragma once

#include <QString>

class QFont;
class QLabel;
class QTableWidget;
class QWidget;

// Table settings and cell texts shared by the manager and the built-in
// phrase viewer.
namespace PhraseTable
{

// The body text size the given geometry of the phrase dialogs fits.
void useDialogFont(QWidget *dialog);
// The font of every cell label, also used to measure the texts.
QFont cellFont();
// No editing, single whole-row selection, fixed headers, no grid, 34-pixel rows.
void setup(QTableWidget *table, const QStringList &headers, const QList<int> &widths);
// The first line followed by "..." when the text has several lines, elided
// at the right to width pixels.
QString summary(const QString &text, int width, bool firstLineOnly);

} // namespace PhraseTable

// Shows text without line feeds, elided to the label's width when it does
// not fit.
void setLabelText(QLabel *label, QString text);
