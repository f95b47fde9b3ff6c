#include "PhraseTable.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace PhraseTable
{

void useDialogFont(QWidget *dialog)
{
    // A sheet, because the application's sheet overrides plain fonts.
    dialog->setStyleSheet(
        QStringLiteral("QLabel, QPushButton, QCheckBox, QLineEdit, QTextEdit, QComboBox "
                       "{ font-size: 13px; } QLabel#one_title_label { font-size: 17px; }"));
}

QFont cellFont()
{
    return QFont(QStringLiteral("Droid Sans Fallback"), 10);
}

void setup(QTableWidget *table, const QStringList &headers, const QList<int> &widths)
{
    table->clear();
    table->setRowCount(0);
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView *header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    for (int i = 0; i < widths.size(); ++i)
        table->setColumnWidth(i, widths.at(i));
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(34);
    table->setShowGrid(false);
}

QString summary(const QString &text, int width, bool firstLineOnly)
{
    QString shown = text;
    const int feed = shown.indexOf(QLatin1Char('\n'));
    if (firstLineOnly && feed >= 0)
        shown = shown.left(feed) + QStringLiteral("...");
    return QFontMetrics(cellFont()).elidedText(shown, Qt::ElideRight, width);
}

} // namespace PhraseTable

void setLabelText(QLabel *label, QString text)
{
    text.remove(QLatin1Char('\n'));
    const QFontMetrics metrics(label->font());
    if (label->width() <= metrics.horizontalAdvance(text))
        text = metrics.elidedText(text, Qt::ElideRight, label->width());
    label->setText(text);
}
