#include "SettingAboutWidget.h"
#include "PageWidgets.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace
{

const char kWebSite[] = "https://www.kaiwoime.com/";
const char kProductVersion[] = "1.0.0";
const char kVisitButtonStyle[] =
    "QPushButton{background-color:rgb(216,220,227);border:none;}"
    "QPushButton{font-family:'微软雅黑';font-size:12px;color:rgb(0,0,0,255);}";

QLabel *textLabel(const QString &text, int pointSize)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

SettingAboutWidget::SettingAboutWidget(QWidget *parent) : SettingsPage(parent)
{
    init();
}

void SettingAboutWidget::init()
{

    auto *visitButton = new QPushButton(tr("进入官网(G)"));
    visitButton->setFixedSize(90, 30);
    visitButton->setStyleSheet(QString::fromUtf8(kVisitButtonStyle));
    connect(visitButton, &QPushButton::clicked, this, &SettingAboutWidget::slot_visitWeb);
    auto *visitRow = new QHBoxLayout;
    visitRow->setContentsMargins(0, 0, 46, 0);
    visitRow->addStretch();
    visitRow->addWidget(visitButton);

    auto *logoLabel = new QLabel;
    logoLabel->setFixedSize(78, 76);
    logoLabel->setPixmap(QPixmap(QStringLiteral(":/picture/about_logo_new.png")));

    auto *nameLabel = textLabel(tr("凯沃输入法"), 20);
    nameLabel->setStyleSheet(QStringLiteral("color:#000000"));
    auto *versionLabel = textLabel(tr("版本:") + QLatin1String(kProductVersion), 12);

    auto *licenseeLabel = textLabel(tr("本产品授权给：凯沃软件技术有限公司使用。"), 12);
    licenseeLabel->setFixedHeight(16);
    auto *rightsLabel = textLabel(tr("© 2026 凯沃输入法团队 保留所有权利"), 12);
    rightsLabel->setFixedHeight(20);
    auto *warningLabel =
        textLabel(tr("警告：本软件受著作权法及国际版权公约保护。未经授权，擅自复制、传播本软件的"
                     "全部或部分内容，将依法承担相应的民事和刑事责任。"),
                  12);
    warningLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    warningLabel->setWordWrap(true);
    warningLabel->setFixedSize(500, 80);
    warningLabel->setStyleSheet(QStringLiteral("color:#898989"));

    auto *legalBlock = new QVBoxLayout;
    legalBlock->setContentsMargins(30, 20, 30, 20);
    legalBlock->setSpacing(0);
    legalBlock->addWidget(licenseeLabel);
    legalBlock->addSpacing(10);
    legalBlock->addWidget(rightsLabel);
    legalBlock->addSpacing(34);
    legalBlock->addWidget(warningLabel, 0, Qt::AlignHCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    auto *emptyStrip = new QHBoxLayout;
    emptyStrip->addStretch();
    layout->addLayout(emptyStrip);
    layout->addSpacing(20);
    layout->addLayout(visitRow);
    layout->addSpacing(3);
    layout->addWidget(logoLabel, 0, Qt::AlignHCenter);
    layout->addSpacing(28);
    layout->addWidget(nameLabel);
    layout->addSpacing(10);
    layout->addWidget(versionLabel);
    layout->addSpacing(24);
    layout->addLayout(legalBlock);
    layout->addSpacing(92);
}

void SettingAboutWidget::slot_visitWeb()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebSite), QUrl::TolerantMode));
}
