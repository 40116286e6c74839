// What painting the detail preview costs: the largest real plot file and a generated 50 MB job, drawn
// into a 1000 x 800 image at fit and zoomed in 16 times about the drawing's centre. Zoomed in, the
// segments outside the image are never handed to the painter, so it must cost clearly less.

#include "LargestPlotFile.h"
#include "TempDir.h"
#include "plotdata/CPlot.h"
#include "plotdata/LoadPlot.h"
#include "ui/preview/PreviewPainting.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 800;

// About 50 MB of HP-GL: short pen-down polylines with eight pens over a 2 x 1 m sheet, a circle now and
// then for the curves.
void writeLargeJob(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "IN;";
    std::mt19937 random(11);
    std::uniform_int_distribution<int> start(0, 80000);
    std::uniform_int_distribution<int> step(-400, 400);
    char line[160];
    size_t written = 3;
    for (int n = 0; written < 50u * 1000 * 1000; ++n) {
        int x = start(random);
        int y = start(random) / 2;
        int length = std::snprintf(line, sizeof line, "SP%d;PU%d,%d;PD", n % 8 + 1, x, y);
        for (int i = 0; i < 6; ++i) {
            x += step(random);
            y += step(random);
            length +=
                std::snprintf(line + length, sizeof line - size_t(length), "%s%d,%d", i ? "," : "", x, y);
        }
        length += std::snprintf(line + length, sizeof line - size_t(length), n % 20 ? ";\n" : ";CI200;\n");
        out.write(line, length);
        written += size_t(length);
    }
}

// The plot as the preview holds it: a copy, turned upside down.
std::unique_ptr<CPlot> previewCopy(const std::string& file)
{
    std::unique_ptr<CPlot> loaded;
    if (loadPlot(loaded, file, IMPORT_MODULE) != 0 || loaded == nullptr)
        return nullptr;
    std::unique_ptr<CPlot> copy = loaded->copy();
    if (copy == nullptr)
        return nullptr;
    turnUpsideDown(*copy);
    return copy;
}

void paint(benchmark::State& state, const CPlot& plot, float zoom)
{
    const FRect& extent = plot.extent;
    const float fit = std::min(float(kWidth - 10) / (extent.right - extent.left),
                               float(kHeight - 10) / (extent.bottom - extent.top));
    const float scale = fit * zoom;
    // The view's top-left corner, such that the drawing's centre lands in the middle of the image.
    const float left = (extent.left + extent.right) / 2 - float(kWidth) / 2 / scale;
    const float top = (extent.top + extent.bottom) / 2 - float(kHeight) / 2 / scale;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        paintPreview(painter, image.rect(), &plot, left, top, scale);
    }
    int segments = 0;
    for (int i = 0; i < plot.count(); ++i)
        segments += int(plot.at(i).count());
    state.counters["items"] = segments;
}

void BM_PaintLargestRealFile(benchmark::State& state)
{
    static const fs::path file = largestPlotFile(MARQUILL_PLOTS_DIR);
    static const std::unique_ptr<CPlot> plot = file.empty() ? nullptr : previewCopy(file.string());
    if (plot == nullptr) {
        state.SkipWithError("no real plot file, or it does not load");
        return;
    }
    state.SetLabel(file.filename().string());
    paint(state, *plot, float(state.range(0)));
}
BENCHMARK(BM_PaintLargestRealFile)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_PaintGenerated50MBJob(benchmark::State& state)
{
    static const std::unique_ptr<CPlot> plot = [] {
        TempDir folder;
        const std::string path = folder.file("large.plt");
        writeLargeJob(path);
        return previewCopy(path);
    }();
    if (plot == nullptr) {
        state.SkipWithError("the generated job does not load");
        return;
    }
    paint(state, *plot, float(state.range(0)));
}
BENCHMARK(BM_PaintGenerated50MBJob)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace
