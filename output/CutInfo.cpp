#include <cstdlib>

#include "output/CCutInfo.h"
#include "output/CommandFormat.h"
#include "output/DeviceFileKeys.h"
#include "platform/CProfile.h"

namespace {

// The paper size is stored as the absolute value of the key; INT_MIN has no int absolute value.
float paperSide(int value) { return static_cast<float>(std::llabs(static_cast<long long>(value))); }

} // namespace

void CCutInfo::loadCutInfo(const CProfile& file)
{
    paper.left = 0.0f;
    paper.top = 0.0f;
    paper.right = paper.left + paperSide(readSetting(file, CutInfoKeys::PaperWidth));
    paper.bottom = paper.top + paperSide(readSetting(file, CutInfoKeys::PaperHeight));
    readSetting(file, CutInfoKeys::Port, Port, sizeof Port);
    TestWidth = readSetting(file, CutInfoKeys::TestWidth);
    PageRect = readSetting(file, CutInfoKeys::PageRect);
    AutoFeed = readSetting(file, CutInfoKeys::AutoFeed);
    TextLine = readSetting(file, CutInfoKeys::TextLine);
    Sort = readSetting(file, CutInfoKeys::Sort);
    PenSpeed = static_cast<std::uint16_t>(readSetting(file, CutInfoKeys::PenSpeed));
    PenForce = static_cast<std::uint16_t>(readSetting(file, CutInfoKeys::PenForce));
    SetForce = readSetting(file, CutInfoKeys::SetForce);
    CurveAccurate = readSetting(file, CutInfoKeys::CurveAccurate);
    RemoteCut = readSetting(file, CutInfoKeys::RemoteCut);
    PauseCut = readSetting(file, CutInfoKeys::PauseCut);
    SavePaper = readSetting(file, CutInfoKeys::SavePaper);
    PageGaps = readSetting(file, CutInfoKeys::PageGaps);
    ZoomCut = readSetting(file, CutInfoKeys::ZoomCut);
    Mirror = readSetting(file, CutInfoKeys::Mirror);
    HalfCut = readSetting(file, CutInfoKeys::HalfCut);
    SolidCut = readSetting(file, CutInfoKeys::SolidCut);
    VoidCut = readSetting(file, CutInfoKeys::VoidCut);
    mmPageGap = static_cast<std::uint16_t>(readSetting(file, CutInfoKeys::mmPageGap));
}

void CCutInfo::saveCutInfo(CProfile& file) const
{
    writeSetting(file, CutInfoKeys::Port, Port);
    // Truncated toward zero and held to what an int can carry.
    writeSetting(file, CutInfoKeys::PaperWidth, toDeviceInt(paper.right - paper.left));
    writeSetting(file, CutInfoKeys::PaperHeight, toDeviceInt(paper.bottom - paper.top));
    writeSetting(file, CutInfoKeys::TestWidth, TestWidth);
    writeSetting(file, CutInfoKeys::PageRect, PageRect);
    writeSetting(file, CutInfoKeys::AutoFeed, AutoFeed);
    writeSetting(file, CutInfoKeys::TextLine, TextLine);
    writeSetting(file, CutInfoKeys::Sort, Sort);
    writeSetting(file, CutInfoKeys::CurveAccurate, CurveAccurate);
    writeSetting(file, CutInfoKeys::RemoteCut, RemoteCut);
    writeSetting(file, CutInfoKeys::PauseCut, PauseCut);
    writeSetting(file, CutInfoKeys::SavePaper, SavePaper);
    writeSetting(file, CutInfoKeys::PageGaps, PageGaps);
    writeSetting(file, CutInfoKeys::ZoomCut, ZoomCut);
    writeSetting(file, CutInfoKeys::Mirror, Mirror);
    writeSetting(file, CutInfoKeys::HalfCut, HalfCut);
    writeSetting(file, CutInfoKeys::mmPageGap, mmPageGap);
}
