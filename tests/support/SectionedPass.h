#pragma once

#include "geometry/CMatrix.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/SectionExtraction.h"
#include "plotdata/CPlot.h"

// A copy of the job as the run sends it in one pass: scaled by the device's ratios, moved to the origin,
// cut into sections along X that overlap by a tenth of their length (by default short ones, so that
// small plots are cut at several borders), each scaled to device units, sorted and sent; then fed.
inline void sendSectionedPass(const CPlot& job, CPlotterDevice& device, const CCutInfo& cutInfo,
                              float sectionLength = 100.0f)
{
    const float kSectionLength = sectionLength;
    const float kOverlap = sectionLength / 10.0f;
    constexpr float kMediaWidth = 1800.0f;

    auto plot = job.copy();
    plot->applyTransform(CMatrix::Scale(device.RatioX, device.RatioY));
    plot->bake();
    plot->applyTransform(CMatrix::Translation(1.0f - plot->extent.left, 1.0f - plot->extent.top));
    plot->bake();

    device.beginPass(MessageSteps::Skip, cutInfo);
    for (float x0 = 0.0f; x0 < plot->extent.right; x0 += kSectionLength - kOverlap) {
        auto piece = extractSection(*plot, x0, 0.0f, x0 + kSectionLength, kMediaWidth);
        if (!piece)
            continue;
        piece->applyTransform(CMatrix::Scale(1.0f / device.RS, 1.0f / device.RS));
        piece->bake();
        sortByLeftEdge(*piece);
        device.emitPlot(*piece);
    }
    device.endPass(PassEnd::FeedAndNewFrame);
}
