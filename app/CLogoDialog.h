#pragma once

#include <QDialog>

// The start-up logo of edition 3: the logo picture, "enter" and "leave". Leaving ends the program before
// any setting is read.
class CLOGODLG : public QDialog {
    Q_OBJECT
public:
    explicit CLOGODLG(QWidget* parent = nullptr);
};
