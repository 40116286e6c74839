#pragma once

#include <string>

struct CPlotJob;

// The texts a row of the automatic list shows for its job. Lengths are shown in millimetres, or in
// inches with two decimals when inchUnits is set.
std::string lengthText(int millimetres, bool inchUnits);
// A length in millimetres as inches with two decimals ("19.69"), without a unit.
std::string inchesNumber(double millimetres);
std::string sectionText(unsigned millimetres, bool inchUnits);
std::string copiesText(const CPlotJob& job);
// The state in the current language; a stored result is shown in the program's own text.
std::string stateText(const CPlotJob& job);
