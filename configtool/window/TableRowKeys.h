#pragma once

#include <QObject>

#include <functional>
#include <map>

class QCheckBox;
class QTableWidget;

// Keyboard use of a table whose rows are made of cell widgets that take no
// focus (check boxes, link-like labels): a key pressed in the focused table
// acts on its current row. Space toggles the row's check box by default, so
// what the mouse does on a row can also be done without it.
class TableRowKeys : public QObject
{
    Q_OBJECT

public:
    using Action = std::function<void(int row)>;

    // Installs itself on the table, which owns it.
    explicit TableRowKeys(QTableWidget *table);

    void onKey(int key, Action action);

    // The check box named "checkbox" in the row's first cell, if made yet.
    static QCheckBox *rowCheckBox(const QTableWidget *table, int row);
    // Names a row's check box after the row, for screen readers.
    static void nameCheckBox(QCheckBox *box, const QString &rowText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableWidget *mTable;
    std::map<int, Action> mActions;
};
