#include "TableRowKeys.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QTableWidget>

TableRowKeys::TableRowKeys(QTableWidget *table) : QObject(table), mTable(table)
{
    // A click, not a plain toggle, so the row's own handlers run as for the mouse.
    onKey(Qt::Key_Space, [this](int row) {
        if (QCheckBox *box = rowCheckBox(mTable, row))
            box->click();
    });
    table->installEventFilter(this);
}

void TableRowKeys::onKey(int key, Action action)
{
    mActions[key] = std::move(action);
}

QCheckBox *TableRowKeys::rowCheckBox(const QTableWidget *table, int row)
{
    QWidget *cell = table->cellWidget(row, 0);
    return cell ? cell->findChild<QCheckBox *>(QStringLiteral("checkbox")) : nullptr;
}

void TableRowKeys::nameCheckBox(QCheckBox *box, const QString &rowText)
{
    box->setAccessibleName(tr("选用 %1").arg(rowText));
}

bool TableRowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mTable || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const auto action = mActions.find(key->key());
    const int row = mTable->currentRow();
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (action == mActions.end() || !plain || row < 0)
        return false;
    action->second(row);
    return true;
}
