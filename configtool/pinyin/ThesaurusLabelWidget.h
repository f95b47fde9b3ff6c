#pragma once

#include "app/DicOperationTypes.h"

#include <QWidget>

class QLabel;

// The "操作" cell of a cell dictionary row: "查看" and "删除" for one record.
class ThesaurusLabelWidget : public QWidget
{
    Q_OBJECT

public:
    ThesaurusLabelWidget(bool active, s_cellDicInfo &info, QWidget *parent);

    const s_cellDicInfo &info() const { return mInfo; }

signals:
    void sig_lookLabel_or_deleteLabel(QString action, s_cellDicInfo &info);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    s_cellDicInfo mInfo;
    bool mActive;
    QLabel *mLookLabel;
    QLabel *mDeleteLabel;
};
