// One paint of the download window's 254 x 17 bar at 50 % with the glow on,
// against one paint of a plain QProgressBar of the same size.
//   QT_QPA_PLATFORM=offscreen build/bench/bench/widgets/widgets_bench
#include "app/DownloadWindowLook.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProgressBar>

#include <benchmark/benchmark.h>

namespace {

void BM_SmoothProgressBarPaint(benchmark::State& state)
{
    TAdvSmoothProgressBar bar;
    ApplyDownloadBarLook(bar);
    bar.SetProgressAnimation(false);
    bar.SetPosition(50);
    for (int tick = 0; tick < 20; ++tick)
        bar.Tick(); // the glow is on its way across
    QImage target(bar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        bar.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_SmoothProgressBarPaint);

void BM_PlainProgressBarPaint(benchmark::State& state)
{
    QProgressBar bar;
    bar.resize(254, 17);
    bar.setValue(50);
    QImage target(bar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        bar.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PlainProgressBarPaint);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    RegisterTahoma();
    QApplication::setFont(TahomaFont());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
