#include "app/CopyProgressPane.h"

#include "jobs/CopyProgress.h"
#include "jobs/RunTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace {

constexpr int BAR_WIDTH = 120;

} // namespace

CCopyProgressPane::CCopyProgressPane(QWidget* parent)
    : QWidget(parent), copy_(new QLabel), sent_(new QProgressBar), left_(new QLabel)
{
    setObjectName(QStringLiteral("copyProgressPane"));
    sent_->setRange(0, 100);
    sent_->setFixedWidth(BAR_WIDTH);
    sent_->setTextVisible(true);
    sent_->setFormat(QStringLiteral("%p%"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(copy_);
    layout->addWidget(sent_);
    layout->addWidget(left_);
    hide();
}

void CCopyProgressPane::showProgress(const CopyProgress& progress)
{
    if (!progress.running) {
        hide();
        return;
    }
    copy_->setText(QString::fromStdString(copyOfText(progress.copy, progress.copies)));
    sent_->setValue(progress.percent());
    // A copy that sends nothing has no time to tell.
    left_->setText(progress.bytesTotal > 0 ? QString::fromStdString(::timeLeftText(progress.secondsLeft))
                                           : QString());
    show();
    // The copy runs between passes of the event loop: the pane is drawn now.
    repaint();
}

QString CCopyProgressPane::copyText() const { return copy_->text(); }

int CCopyProgressPane::percent() const { return sent_->value(); }

QString CCopyProgressPane::timeLeftText() const { return left_->text(); }
