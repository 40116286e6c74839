#include <cmath>
#include <cstdlib>

#include "output/CCutInfo.h"
#include "output/CommandFormat.h"
#include "output/SettingValues.h"
#include "platform/CProfile.h"

namespace {

constexpr const char* kSection = "CutInfo";

// The paper size is stored as the absolute value of the key; INT_MIN has no int absolute value.
float paperSide(int value) { return static_cast<float>(std::llabs(static_cast<long long>(value))); }

} // namespace

void CCutInfo::loadCutInfo(const CProfile& file)
{
    paper.left = 0.0f;
    paper.top = 0.0f;
    paper.right = paper.left + paperSide(file.getInt(kSection, "PaperWidth", 400));
    paper.bottom = paper.top + paperSide(file.getInt(kSection, "PaperHeight", 900));
    file.getString(kSection, "Port", Port, sizeof Port, "COM2");
    TestWidth = file.getInt(kSection, "TestWidth", 18);
    PageRect = file.getInt(kSection, "PageRect", 0);
    AutoFeed = file.getInt(kSection, "AutoFeed", 1);
    TextLine = file.getInt(kSection, "TextLine", 1);
    Sort = file.getInt(kSection, "Sort", 1);
    PenSpeed = clampToUint16(file.getInt(kSection, "PenSpeed", 60));
    PenForce = clampToUint16(file.getInt(kSection, "PenForce", 60));
    SetForce = file.getInt(kSection, "SetForce", 0);
    CurveAccurate = file.getFloat(kSection, "CurveAccurate", 2.0f);
    if (!(CurveAccurate >= 0.5f))
        CurveAccurate = 0.5f;
    RemoteCut = file.getInt(kSection, "RemoteCut", 0);
    PauseCut = file.getInt(kSection, "PauseCut", 1);
    SavePaper = file.getInt(kSection, "SavePaper", 1);
    PageGaps = file.getInt(kSection, "PageGaps", 10);
    ZoomCut = positiveOr(file.getFloat(kSection, "ZoomCut", 1.0f), 1.0f);
    Mirror = file.getInt(kSection, "Mirror", 0);
    HalfCut = file.getInt(kSection, "HalfCut", 0);
    // A half cut walks its line stretch by stretch; a cut stretch that is not above 0, or a negative
    // gap, would never get to the end of the line.
    SolidCut = positiveOr(file.getFloat(kSection, "SolidCut", 2.0f), 2.0f);
    VoidCut = file.getFloat(kSection, "VoidCut", 0.2f);
    if (!(VoidCut >= 0.0f) || !std::isfinite(VoidCut))
        VoidCut = 0.2f;
    mmPageGap = clampToUint16(file.getInt(kSection, "mmPageGap", 20));
}

void CCutInfo::saveCutInfo(CProfile& file) const
{
    file.setString(kSection, "Port", Port);
    // Truncated toward zero and held to what an int can carry.
    file.setInt(kSection, "PaperWidth", toDeviceInt(paper.right - paper.left));
    file.setInt(kSection, "PaperHeight", toDeviceInt(paper.bottom - paper.top));
    file.setInt(kSection, "TestWidth", TestWidth);
    file.setInt(kSection, "PageRect", PageRect);
    file.setInt(kSection, "AutoFeed", AutoFeed);
    file.setInt(kSection, "TextLine", TextLine);
    file.setInt(kSection, "Sort", Sort);
    file.setFloat(kSection, "CurveAccurate", CurveAccurate);
    file.setInt(kSection, "RemoteCut", RemoteCut);
    file.setInt(kSection, "PauseCut", PauseCut);
    file.setInt(kSection, "SavePaper", SavePaper);
    file.setInt(kSection, "PageGaps", PageGaps);
    file.setFloat(kSection, "ZoomCut", ZoomCut);
    file.setInt(kSection, "Mirror", Mirror);
    file.setInt(kSection, "HalfCut", HalfCut);
    file.setInt(kSection, "mmPageGap", mmPageGap);
}
