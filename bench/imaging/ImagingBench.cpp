// Speed of the pixel operations on a 4000 x 3000 picture, one thread; counters are in pixels.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cmath>
#include <random>

#include "imaging/QelLUT.h"
#include "imaging/QelPhoto.h"
#include "imaging/QelPhotoFilter.h"

namespace plovane {
namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;

QImage& Source() {
    static QImage picture = [] {
        QImage image(Width, Height, QImage::Format_RGB32);
        std::mt19937 random(1);
        for (int y = 0; y < Height; ++y) {
            auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
            for (int x = 0; x < Width; ++x) row[x] = quint32(random());
        }
        return image;
    }();
    return picture;
}

void CountPixels(benchmark::State& state, qint64 pixels) {
    state.SetItemsProcessed(state.iterations() * pixels);
    state.counters["Mpixel/s"] =
        benchmark::Counter(double(state.iterations()) * double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

void BM_Convolve(benchmark::State& state, const FilterKernel* kernel) {
    QImage source = Source();
    QImage destination;
    MakeSameSize(destination, source);
    const TPhoto from = MakePhoto(source);
    const TPhoto to = MakePhoto(destination);
    for (auto _ : state) {
        Convolve(to, from, *kernel);
        benchmark::ClobberMemory();
    }
    CountPixels(state, qint64(Width) * Height);
}
BENCHMARK_CAPTURE(BM_Convolve, BlurLow, &KernelBlurLow)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convolve, SharpenHigh, &KernelSharpenHigh)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convolve, BlurHigh, &KernelBlurHigh)->Unit(benchmark::kMillisecond);

void BM_ApplyChannelTables(benchmark::State& state) {
    QImage source = Source();
    QImage destination;
    MakeSameSize(destination, source);
    const TPhoto from = MakePhoto(source);
    const TPhoto to = MakePhoto(destination);
    LookupTable table;
    BuildLookupTable(LutModeGamma, table);
    for (auto _ : state) {
        ApplyChannelTables(to, from, table, 40, 64, 90);
        benchmark::ClobberMemory();
    }
    CountPixels(state, qint64(Width) * Height);
}
BENCHMARK(BM_ApplyChannelTables)->Unit(benchmark::kMillisecond);

void BM_RotatePhoto30(benchmark::State& state) {
    QImage source = Source();
    const double angle = M_PI / 6;
    QImage destination(RotatedSize(source, angle, 1.0), QImage::Format_RGB32);
    destination.fill(0);  // first-touch page faults are not part of the rotation
    const TPhoto from = MakePhoto(source);
    const TPhoto to = MakePhoto(destination);
    for (auto _ : state) {
        RotatePhoto(to, from, 0xFFFFFF, angle, 1.0);
        benchmark::ClobberMemory();
    }
    CountPixels(state, qint64(destination.width()) * destination.height());
}
BENCHMARK(BM_RotatePhoto30)->Unit(benchmark::kMillisecond);

template <void (*Operation)(const TPhoto&, const TPhoto&)>
void BM_InPlace(benchmark::State& state) {
    QImage picture = Source();
    const TPhoto photo = MakePhoto(picture);
    for (auto _ : state) {
        Operation(photo, photo);
        benchmark::ClobberMemory();
    }
    CountPixels(state, qint64(Width) * Height);
}
BENCHMARK_TEMPLATE(BM_InPlace, Grayscale)->Name("BM_Grayscale")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_InPlace, Mirror)->Name("BM_Mirror")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plovane

BENCHMARK_MAIN();
