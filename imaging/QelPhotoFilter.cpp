#include "imaging/QelPhotoFilter.h"

#include <initializer_list>
#include <utility>

namespace plovane {
namespace {

struct Tap {
    int Row;
    int Column;
    qint32 Weight;
};

FilterKernel MakeKernel(std::initializer_list<Tap> taps, qint32 divisor, qint32 bias) {
    FilterKernel kernel;
    for (const Tap& tap : taps) kernel.Weights[tap.Row * 5 + tap.Column] = tap.Weight;
    kernel.Divisor = divisor;
    kernel.Bias = bias;
    return kernel;
}

FilterKernel EdgeDetect(qint32 side) {
    return MakeKernel({{1, 2, -side}, {2, 1, -side}, {2, 3, -side}, {3, 2, -side}, {2, 2, 4 * side}}, 1, 0);
}

FilterKernel BlurHigh() {
    FilterKernel kernel;
    kernel.Weights.fill(1);
    for (const int corner : {0, 4, 20, 24}) kernel.Weights[corner] = 0;
    kernel.Divisor = 21;
    kernel.Bias = 1;
    return kernel;
}

}  // namespace

const FilterKernel KernelGlowingEdges = MakeKernel({{1, 1, -40}, {3, 3, 40}}, 1, 0);
const FilterKernel KernelBlurHigh = BlurHigh();
const FilterKernel KernelBlurLow = MakeKernel({{1, 2, 1}, {2, 1, 1}, {2, 2, 2}, {2, 3, 1}, {3, 2, 1}}, 6, 1);
const FilterKernel KernelSharpenHigh = MakeKernel({{1, 1, -2},
                                                   {1, 2, -2},
                                                   {1, 3, -2},
                                                   {2, 1, -2},
                                                   {2, 3, -2},
                                                   {3, 1, -2},
                                                   {3, 2, -2},
                                                   {3, 3, -2},
                                                   {2, 2, 18}},
                                                  2, 0);
const FilterKernel KernelSharpenMedium =
    MakeKernel({{1, 2, -1}, {2, 1, -1}, {2, 3, -1}, {3, 2, -1}, {2, 2, 5}}, 1, 0);
const FilterKernel KernelSharpenLow =
    MakeKernel({{1, 2, -1}, {2, 1, -1}, {2, 3, -1}, {3, 2, -1}, {2, 2, 10}}, 6, 0);
const FilterKernel KernelEmbossHigh =
    MakeKernel({{2, 2, 1}, {2, 3, 1}, {3, 2, 1}, {3, 4, -1}, {4, 3, -1}, {4, 4, -1}}, 1, 204);
const FilterKernel KernelEmbossLow = MakeKernel({{2, 2, 1}, {3, 3, -1}}, 1, 204);
const FilterKernel KernelTexture = MakeKernel(
    {{0, 2, 1}, {2, 0, 1}, {2, 2, 1}, {2, 4, 1}, {4, 2, 1}, {1, 1, -1}, {1, 3, -1}, {3, 1, -1}, {3, 3, -1}},
    1, 0);
const FilterKernel KernelEdgeDetect1 = EdgeDetect(1);
const FilterKernel KernelEdgeDetect2 = EdgeDetect(2);
const FilterKernel KernelEdgeDetect3 = EdgeDetect(4);
const FilterKernel KernelEdgeDetect4 = EdgeDetect(8);

namespace {

const std::pair<const char*, const FilterKernel*> NamedKernels[] = {
    {"Glowing Edges", &KernelGlowingEdges},
    {"Blur High", &KernelBlurHigh},
    {"Blur Low", &KernelBlurLow},
    {"Sharpen High", &KernelSharpenHigh},
    {"Sharpen Medium", &KernelSharpenMedium},
    {"Sharpen Low", &KernelSharpenLow},
    {"Emboss High", &KernelEmbossHigh},
    {"Emboss Low", &KernelEmbossLow},
    {"Texture", &KernelTexture},
    {"Edge Detect 1", &KernelEdgeDetect1},
    {"Edge Detect 2", &KernelEdgeDetect2},
    {"Edge Detect 3", &KernelEdgeDetect3},
    {"Edge Detect 4", &KernelEdgeDetect4},
};

}  // namespace

QStringList KernelNames() {
    QStringList names;
    for (const auto& [name, kernel] : NamedKernels) names << QString::fromLatin1(name);
    return names;
}

const FilterKernel* KernelByName(const QString& name) {
    if (name == QLatin1String("Edge Detect Low")) return &KernelEdgeDetect2;
    if (name == QLatin1String("Edge Detect High")) return &KernelEdgeDetect4;
    for (const auto& [known, kernel] : NamedKernels)
        if (name == QLatin1String(known)) return kernel;
    return nullptr;
}

}  // namespace plovane
