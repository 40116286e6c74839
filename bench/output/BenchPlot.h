#pragma once

#include "plotdata/CPlot.h"
#include "plotdata/CPlotPath.h"

#include <memory>
#include <random>

// A plot of about `segments` segments in millimetres, 5000 mm long and 1500 mm wide: polylines of 100
// segments wandering over some 200 mm each, every tenth drawn with curves, so that sections cut many of
// them at their borders.
inline std::unique_ptr<CPlot> makeBenchPlot(int segments)
{
    constexpr int kSegmentsPerPath = 100;
    std::mt19937 random(42);
    std::uniform_real_distribution<float> startX(0.0f, 4800.0f);
    std::uniform_real_distribution<float> startY(0.0f, 1400.0f);
    std::uniform_real_distribution<float> step(-1.0f, 3.0f);

    auto plot = std::make_unique<CPlot>();
    for (int made = 0, pathIndex = 0; made < segments; made += kSegmentsPerPath, ++pathIndex) {
        auto path = std::make_unique<CPlotPath>();
        path->pen = pathIndex % 4;
        float x = startX(random);
        float y = startY(random);
        path->append({x, y, PI_MOVETO | PI_ANCHOR});
        const bool curves = pathIndex % 10 == 0;
        for (int s = 0; s < kSegmentsPerPath; ++s) {
            const float nx = x + step(random);
            const float ny = y + step(random) - 1.0f;
            if (curves) {
                path->append({x + 0.5f, y + 2.0f, 0});
                path->append({nx - 0.5f, ny + 2.0f, 0});
            }
            path->append({nx, ny, PI_ANCHOR});
            x = nx;
            y = ny;
        }
        path->appendRaw({0.0f, 0.0f, PI_END});
        plot->add(std::move(path));
    }
    return plot;
}
