#include "ThesaurusLabelWidget.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

ThesaurusLabelWidget::ThesaurusLabelWidget(bool active, s_cellDicInfo &info, QWidget *parent)
    : QWidget(parent), mInfo(info), mActive(active), mLookLabel(new QLabel(tr("查看"), this)),
      mDeleteLabel(new QLabel(tr("删除"), this))
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(mLookLabel);
    layout->addWidget(mDeleteLabel);
    for (QLabel *label : {mLookLabel, mDeleteLabel}) {
        label->setCursor(Qt::PointingHandCursor);
        if (mActive) {
            label->setStyleSheet(
                QStringLiteral("QLabel {border:1px;font-size:13px;color:#1355db;}"));
            label->installEventFilter(this);
        }
    }
}

bool ThesaurusLabelWidget::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (label != mLookLabel && label != mDeleteLabel)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        emit sig_lookLabel_or_deleteLabel(label == mLookLabel ? QStringLiteral("lookLabel")
                                                              : QStringLiteral("deleteLabel"),
                                          mInfo);
        break;
    case QEvent::Enter:
        label->setStyleSheet(QStringLiteral("QLabel {border:1px;font-size:13px;color:#43a2db}"));
        break;
    case QEvent::Leave:
        label->setStyleSheet(QStringLiteral("QLabel {border:1px;font-size:13px;color:#1355db}"));
        break;
    default:
        break;
    }
    // Never consumed: the release must still reach the table as a click.
    return false;
}
