#include "app/CLogoDialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CLOGODLG::CLOGODLG(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Kestrava输出中心 0.03"));
    auto* picture = new QLabel;
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setPixmap(QIcon(QStringLiteral(":/icons/edition/146.svg")).pixmap(160, 200));
    auto* enter = new QPushButton(tr("进入"));
    auto* leave = new QPushButton(tr("退出"));
    enter->setDefault(true);
    connect(enter, &QPushButton::clicked, this, &QDialog::accept);
    connect(leave, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(enter);
    buttons->addWidget(leave);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
