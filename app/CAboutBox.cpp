#include "app/CAboutBox.h"

#include "jobs/StartupSettings.h"
#include "platform/Version.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

CAboutBox::CAboutBox(int editionCode, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("关于 Marquill"));
    const QIcon icon(QStringLiteral(":/icons/edition/%1.svg").arg(editionIconId(editionCode)));
    setWindowIcon(icon);

    auto* picture = new QLabel;
    picture->setPixmap(QIcon(QStringLiteral(":/icons/edition/128.svg")).pixmap(32, 32));
    hiddenText_ = new QLabel(tr("绘图机输出软件"));
    hiddenText_->hide();
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(tr("Marquill %1 版").arg(QString::fromUtf8(MARQUILL_VERSION))), 0, 1);
    layout->addWidget(hiddenText_, 1, 1);
    layout->addWidget(line, 2, 1);
    layout->addWidget(new QLabel(tr("日期")), 3, 1);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAboutBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        hiddenText_->show();
    QDialog::mouseDoubleClickEvent(event);
}
