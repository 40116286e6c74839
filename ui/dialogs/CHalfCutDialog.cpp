#include "ui/dialogs/CHalfCutDialog.h"

#include "ui_CHalfCutDialog.h"

CHalfCutDialog::CHalfCutDialog(SettingsContext& settings, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CHalfCutDialog>()), form_(settings)
{
    ui_->setupUi(this);
    form_.open();
    ui_->solidEdit->setText(QString::fromStdString(form_.solidText));
    ui_->voidEdit->setText(QString::fromStdString(form_.voidText));
    connect(ui_->okButton, &QPushButton::clicked, this, &CHalfCutDialog::confirm);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CHalfCutDialog::~CHalfCutDialog() = default;

void CHalfCutDialog::confirm()
{
    form_.solidText = ui_->solidEdit->text().toStdString();
    form_.voidText = ui_->voidEdit->text().toStdString();
    form_.confirm();
    accept();
}
