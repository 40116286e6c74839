#include "ui/dialogs/CPortSettingsDialog.h"

#include "ui_CPortSettingsDialog.h"

CPortSettingsDialog::CPortSettingsDialog(CProfile& portFile, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CPortSettingsDialog>()), form_(portFile)
{
    ui_->setupUi(this);
    for (const char* speed : PortSettingsForm::kSpeeds)
        ui_->speedList->addItem(QString::fromLatin1(speed));
    for (const char* bits : PortSettingsForm::kDataBits)
        ui_->dataBitsList->addItem(QString::fromLatin1(bits));
    form_.open();
    showSettings();
    connect(ui_->restoreButton, &QPushButton::clicked, this, &CPortSettingsDialog::restore);
    connect(ui_->okButton, &QPushButton::clicked, this, &CPortSettingsDialog::confirm);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CPortSettingsDialog::~CPortSettingsDialog() = default;

void CPortSettingsDialog::showSettings()
{
    ui_->speedList->setCurrentIndex(form_.speedIndex);
    ui_->parityList->setCurrentIndex(form_.parityIndex);
    ui_->dataBitsList->setCurrentIndex(form_.dataBitsIndex);
    ui_->stopBitsList->setCurrentIndex(form_.stopBitsIndex);
    ui_->rtsCtsCheck->setChecked(form_.rtsCts);
    ui_->xonXoffCheck->setChecked(form_.xonXoff);
    ui_->dtrDsrCheck->setChecked(form_.dtrDsr);
}

void CPortSettingsDialog::restore()
{
    form_.restore();
    showSettings();
}

void CPortSettingsDialog::confirm()
{
    form_.speedIndex = ui_->speedList->currentIndex();
    form_.parityIndex = ui_->parityList->currentIndex();
    form_.dataBitsIndex = ui_->dataBitsList->currentIndex();
    form_.stopBitsIndex = ui_->stopBitsList->currentIndex();
    form_.rtsCts = ui_->rtsCtsCheck->isChecked();
    form_.xonXoff = ui_->xonXoffCheck->isChecked();
    form_.dtrDsr = ui_->dtrDsrCheck->isChecked();
    form_.confirm();
    accept();
}
