#include "ui/dialogs/CReloadPaperDialog.h"

#include "ui/dialogs/DialogValues.h"
#include "ui_CReloadPaperDialog.h"

namespace {
// The roll type list only offers a starting point; the dialog always opens on "custom".
constexpr int kCustomRoll = 3;
} // namespace

CReloadPaperDialog::CReloadPaperDialog(SettingsContext& settings, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CReloadPaperDialog>()), form_(settings)
{
    ui_->setupUi(this);
    form_.open();
    ui_->inchRadio->setChecked(form_.unit == kUnitInch);
    ui_->millimetreRadio->setChecked(form_.unit != kUnitInch);
    ui_->rollTypeList->setCurrentIndex(kCustomRoll);
    showValues();
    connect(ui_->millimetreRadio, &QRadioButton::clicked, this, [this] { setUnit(kUnitMillimetre); });
    connect(ui_->inchRadio, &QRadioButton::clicked, this, [this] { setUnit(kUnitInch); });
    connect(ui_->rollTypeList, &QComboBox::activated, this, [this](int index) {
        form_.widthText = ui_->widthEdit->text().toStdString();
        form_.chooseRollType(index);
        ui_->widthEdit->setText(QString::fromStdString(form_.widthText));
    });
    connect(ui_->okButton, &QPushButton::clicked, this, &CReloadPaperDialog::confirm);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CReloadPaperDialog::~CReloadPaperDialog() = default;

void CReloadPaperDialog::setUnit(int unit)
{
    form_.setUnit(unit);
    showValues();
}

void CReloadPaperDialog::showValues()
{
    ui_->widthEdit->setText(QString::fromStdString(form_.widthText));
    ui_->lengthEdit->setText(QString::fromStdString(form_.lengthText));
}

void CReloadPaperDialog::reject()
{
    form_.cancel();
    QDialog::reject();
}

void CReloadPaperDialog::confirm()
{
    form_.widthText = ui_->widthEdit->text().toStdString();
    form_.lengthText = ui_->lengthEdit->text().toStdString();
    // A width or length that is not above 0 keeps the dialog open for another try.
    if (form_.confirm())
        accept();
}
