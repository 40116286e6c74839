#pragma once

#include <QDialog>

class QLabel;

// The About box: the edition's icon, the version, the hidden "plotter output software" line that a double
// click of the right mouse button reveals, the date line and OK.
class CAboutBox : public QDialog {
    Q_OBJECT
public:
    CAboutBox(int editionCode, QWidget* parent = nullptr);

    QLabel* hiddenText() const { return hiddenText_; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QLabel* hiddenText_;
};
