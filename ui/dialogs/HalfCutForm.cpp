#include "ui/dialogs/HalfCutForm.h"

#include "output/CCutInfo.h"
#include "output/DeviceFileKeys.h"
#include "platform/CProfile.h"
#include "ui/dialogs/DialogValues.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr std::size_t kTypedMax = 19;

// A typed length, at least minimum. Text that is no finite number counts as 0; a length beyond the float
// range is held at its end.
float typedLength(const std::string& text, float minimum)
{
    double value = parseDecimal(text.substr(0, kTypedMax));
    if (!std::isfinite(value))
        value = 0.0;
    const float length = static_cast<float>(std::min(value, static_cast<double>(FLT_MAX)));
    return length < minimum ? minimum : length;
}

} // namespace

void HalfCutForm::open()
{
    CProfile& file = settings_.deviceFile;
    solidText = formatFixed(storedSetting(file, CutInfoKeys::SolidCut), 2);
    voidText = formatFixed(storedSetting(file, CutInfoKeys::VoidCut), 2);
}

void HalfCutForm::confirm()
{
    CCutInfo& cutInfo = settings_.cutInfo;
    cutInfo.SolidCut = typedLength(solidText, kSolidMinimum);
    cutInfo.VoidCut = typedLength(voidText, kVoidMinimum);
    writeSetting(settings_.deviceFile, CutInfoKeys::SolidCut, cutInfo.SolidCut);
    writeSetting(settings_.deviceFile, CutInfoKeys::VoidCut, cutInfo.VoidCut);
}
