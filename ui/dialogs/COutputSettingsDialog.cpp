#include "ui/dialogs/COutputSettingsDialog.h"

#include "platform/Hooks.h"
#include "ports/PortNames.h"
#include "ui/dialogs/CHalfCutDialog.h"
#include "ui/dialogs/CPortSettingsDialog.h"
#include "ui_COutputSettingsDialog.h"

#include <QScrollBar>

namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

constexpr int kPenColumnWidths[] = {60, 80, 150};

QString dashedMark(bool dashed) { return dashed ? QStringLiteral("Y") : QStringLiteral("-"); }

} // namespace

COutputSettingsDialog::COutputSettingsDialog(SettingsContext& settings, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::COutputSettingsDialog>()), settings_(settings),
      form_(settings)
{
    ui_->setupUi(this);
    const bool deviceChoice = form_.deviceChoiceShown();
    ui_->deviceLabel->setVisible(deviceChoice);
    ui_->deviceList->setVisible(deviceChoice);
    ui_->portSettingsButton->setVisible(deviceChoice);
    // The list is wide enough for its three columns, so the tool offsets show without scrolling.
    int listWidth = 2 * ui_->penList->frameWidth() + ui_->penList->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < 3; ++column) {
        ui_->penList->setColumnWidth(column, kPenColumnWidths[column]);
        listWidth += kPenColumnWidths[column];
    }
    ui_->penList->setMinimumWidth(listWidth);
    ui_->penList->horizontalHeader()->setSectionsClickable(false);

    form_.open();
    for (const std::string& device : form_.devices)
        ui_->deviceList->addItem(fromUtf8(device));
    ui_->deviceList->setCurrentIndex(form_.deviceIndex);
    for (const std::string& port : form_.ports)
        ui_->portList->addItem(fromUtf8(port));
    ui_->portList->setCurrentIndex(form_.portIndex);
    ui_->sectionEdit->setText(fromUtf8(form_.sectionText));
    ui_->overlapEdit->setText(fromUtf8(form_.overlapText));
    ui_->pageGapEdit->setText(fromUtf8(form_.pageGapText));
    ui_->plotterOffsetEdit->setText(fromUtf8(form_.plotterOffsetText));
    ui_->autoRotateCheck->setChecked(form_.autoRotate);
    ui_->pageOutCheck->setChecked(form_.pageOut);
    ui_->mirrorCheck->setChecked(form_.mirror);
    ui_->sortPlotCheck->setChecked(form_.sortPlot);
    ui_->adjustOriginCheck->setChecked(form_.adjustOrigin);
    ui_->dashPlotCheck->setChecked(form_.dashPlot);
    ui_->sendFeedCheck->setChecked(form_.sendFeed);
    ui_->lineMarkCheck->setChecked(form_.lineMark);
    ui_->dashedPensEdit->setText(fromUtf8(form_.storedDashedPens));
    showPens();

    connect(ui_->deviceList, &QComboBox::currentIndexChanged, this, &COutputSettingsDialog::selectDevice);
    connect(ui_->mirrorCheck, &QCheckBox::clicked, this, [this](bool on) {
        form_.setMirror(on);
        ui_->adjustOriginCheck->setChecked(form_.adjustOrigin);
    });
    connect(ui_->penList, &QTableWidget::cellClicked, this, &COutputSettingsDialog::penClicked);
    connect(ui_->portSettingsButton, &QPushButton::clicked, this, &COutputSettingsDialog::openPortSettings);
    connect(ui_->halfCutButton, &QPushButton::clicked, this, &COutputSettingsDialog::openHalfCut);
    connect(ui_->okButton, &QPushButton::clicked, this, &COutputSettingsDialog::confirm);
    connect(ui_->exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

COutputSettingsDialog::~COutputSettingsDialog() = default;

void COutputSettingsDialog::showPens()
{
    QTableWidget* list = ui_->penList;
    list->setRowCount(0);
    list->setRowCount(static_cast<int>(form_.pens.size()));
    for (int row = 0; row < list->rowCount(); ++row) {
        const OutputSettingsForm::PenRow& pen = form_.pens[static_cast<std::size_t>(row)];
        auto* number = new QTableWidgetItem(QStringLiteral(" %1 ").arg(row));
        number->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        auto* dashed = new QTableWidgetItem(dashedMark(pen.dashed));
        dashed->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        auto* offset = new QTableWidgetItem(fromUtf8(pen.offsetText));
        offset->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        list->setItem(row, PenNumber, number);
        list->setItem(row, PenDashed, dashed);
        list->setItem(row, PenOffset, offset);
    }
    ui_->ratioXEdit->setText(fromUtf8(form_.ratioXText));
    ui_->ratioYEdit->setText(fromUtf8(form_.ratioYText));
    ui_->handshakeList->setCurrentIndex(form_.handshake);
}

void COutputSettingsDialog::selectDevice(int index)
{
    form_.selectDevice(index);
    showPens();
}

void COutputSettingsDialog::penClicked(int row, int column)
{
    if (column != PenDashed)
        return;
    form_.toggleDashed(row);
    ui_->penList->item(row, PenDashed)->setText(dashedMark(form_.pens[static_cast<std::size_t>(row)].dashed));
}

void COutputSettingsDialog::openPortSettings()
{
    CPortSettingsDialog dialog(settings_.portFile, this);
    const int port = ui_->portList->currentIndex();
    if (port >= 0 && port < static_cast<int>(form_.ports.size()))
        dialog.setPortToCheck(portNameOfEntry(form_.ports[static_cast<std::size_t>(port)]));
    dialog.exec();
}

void COutputSettingsDialog::openHalfCut()
{
    CHalfCutDialog dialog(settings_, this);
    dialog.exec();
}

QString COutputSettingsDialog::fieldName(OutputSettingsForm::Field field) const
{
    const QLabel* label = nullptr;
    switch (field) {
    case OutputSettingsForm::Field::Section:
        label = ui_->sectionLabel;
        break;
    case OutputSettingsForm::Field::OverLap:
        label = ui_->overlapLabel;
        break;
    case OutputSettingsForm::Field::PageGap:
        label = ui_->pageGapLabel;
        break;
    case OutputSettingsForm::Field::RatioX:
        label = ui_->ratioXLabel;
        break;
    case OutputSettingsForm::Field::RatioY:
        label = ui_->ratioYLabel;
        break;
    case OutputSettingsForm::Field::PenOffset:
        return ui_->penList->horizontalHeaderItem(PenOffset)->text();
    }
    QString name = label->text().simplified();
    if (name.endsWith(u':'))
        name.chop(1);
    return name;
}

void COutputSettingsDialog::confirm()
{
    // An offset still being edited counts as typed: taking the focus away ends the edit, as a click does.
    ui_->okButton->setFocus();
    for (int row = 0; row < ui_->penList->rowCount(); ++row)
        form_.pens[static_cast<std::size_t>(row)].offsetText =
            ui_->penList->item(row, PenOffset)->text().toStdString();
    form_.deviceIndex = ui_->deviceList->currentIndex();
    form_.portIndex = ui_->portList->currentIndex();
    form_.sectionText = ui_->sectionEdit->text().toStdString();
    form_.overlapText = ui_->overlapEdit->text().toStdString();
    form_.pageGapText = ui_->pageGapEdit->text().toStdString();
    form_.plotterOffsetText = ui_->plotterOffsetEdit->text().toStdString();
    form_.ratioXText = ui_->ratioXEdit->text().toStdString();
    form_.ratioYText = ui_->ratioYEdit->text().toStdString();
    form_.autoRotate = ui_->autoRotateCheck->isChecked();
    form_.pageOut = ui_->pageOutCheck->isChecked();
    form_.mirror = ui_->mirrorCheck->isChecked();
    form_.sortPlot = ui_->sortPlotCheck->isChecked();
    form_.adjustOrigin = ui_->adjustOriginCheck->isChecked();
    form_.dashPlot = ui_->dashPlotCheck->isChecked();
    form_.sendFeed = ui_->sendFeedCheck->isChecked();
    form_.lineMark = ui_->lineMarkCheck->isChecked();
    form_.handshake = ui_->handshakeList->currentIndex();

    if (const auto refused = form_.confirm()) {
        const bool ratio =
            *refused == OutputSettingsForm::Field::RatioX || *refused == OutputSettingsForm::Field::RatioY;
        const QString text = ratio ? tr("“%1”必须是大于 0 的数。") : tr("“%1”不能为负数。");
        platform::messageBox(text.arg(fieldName(*refused)).toStdString(), windowTitle().toStdString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    if (settings_.refreshJobLists)
        settings_.refreshJobLists();
    accept();
}
