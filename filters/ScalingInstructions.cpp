#include "filters/Interpreter.h"

namespace hpgl {

// IP, IR, SC, RO and PS change how user units reach the page. The current position keeps its place
// in plotter units.
void Interpreter::scalingInstruction(uint16_t code)
{
    double v[7];
    int n = scanner_.numbers(v, 7);
    switch (code) {
    case mnemonic("IP"):
        scaling_.setScalingPoints(v, n);
        break;
    case mnemonic("IR"):
        scaling_.setScalingPercent(v, n);
        break;
    case mnemonic("SC"):
        scaling_.setUserScale(v, n);
        break;
    case mnemonic("RO"):
        scaling_.rotate(n >= 1 ? v[0] : 0);
        break;
    case mnemonic("PS"):
        if (n >= 1)
            scaling_.setPageSize(v[0], n >= 2 ? v[1] : 0);
        break;
    default:
        break;
    }
}

// IW xmin,ymin,xmax,ymax in current units: nothing outside the window is drawn. IW alone sets the
// window to the page when the file gave the page size, and removes it otherwise: a page size guessed
// here must not cut a drawing off.
void Interpreter::inputWindow()
{
    double v[4];
    if (scanner_.numbers(v, 4) < 4) {
        if (scaling_.pageGiven())
            pen_.setWindow({0, 0}, scaling_.frameSize());
        else
            pen_.clearWindow();
        return;
    }
    pen_.setWindow(scaling_.toPlotter({v[0], v[1]}), scaling_.toPlotter({v[2], v[3]}));
}

} // namespace hpgl
