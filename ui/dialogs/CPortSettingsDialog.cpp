#include "ui/dialogs/CPortSettingsDialog.h"

#include "platform/Hooks.h"
#include "ports/CPlotPort.h"
#include "ports/DeviceProbe.h"
#include "ports/PortKind.h"

#include "ui_CPortSettingsDialog.h"

#include <QApplication>

CPortSettingsDialog::CPortSettingsDialog(CProfile& portFile, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CPortSettingsDialog>()), form_(portFile), portFile_(portFile)
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
    connect(ui_->checkDeviceButton, &QPushButton::clicked, this, &CPortSettingsDialog::checkDevice);
    setPortToCheck({});
}

void CPortSettingsDialog::setPortToCheck(const std::string& name)
{
    portToCheck_ = name;
    ui_->checkDeviceButton->setEnabled(classifyPortName(name.c_str()) > 0);
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

void CPortSettingsDialog::readControls()
{
    form_.speedIndex = ui_->speedList->currentIndex();
    form_.parityIndex = ui_->parityList->currentIndex();
    form_.dataBitsIndex = ui_->dataBitsList->currentIndex();
    form_.stopBitsIndex = ui_->stopBitsList->currentIndex();
    form_.rtsCts = ui_->rtsCtsCheck->isChecked();
    form_.xonXoff = ui_->xonXoffCheck->isChecked();
    form_.dtrDsr = ui_->dtrDsrCheck->isChecked();
}

void CPortSettingsDialog::confirm()
{
    readControls();
    form_.confirm();
    accept();
}

// Asks the device on the port with the line settings as shown, saved or not, and says what it answered.
void CPortSettingsDialog::checkDevice()
{
    readControls();
    CPlotPort port(portFile_.path());
    port.SelectPort(portToCheck_.c_str());
    port.settings = form_.shownSettings();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DeviceProbe probe = probeDevice(port);
    QApplication::restoreOverrideCursor();
    std::string text;
    for (const std::string& line : describeProbe(probe))
        text += (text.empty() ? "" : "\n") + line;
    platform::messageBox(text, windowTitle().toStdString(), platform::MB_OK | platform::MB_ICONINFORMATION);
}
