// imaging/QelPhotoFilter.h — the named 5 x 5 convolution kernels.
#pragma once
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

namespace plovane {

// Weights in row order (row 0 at the top, column 0 at the left, centre at row 2, column 2).
struct FilterKernel {
    std::array<qint32, 25> Weights{};
    qint32 Divisor = 1;
    qint32 Bias = 0;

    qint32 Weight(int row, int column) const { return Weights[row * 5 + column]; }
};

extern const FilterKernel KernelGlowingEdges;
extern const FilterKernel KernelBlurHigh;
extern const FilterKernel KernelBlurLow;
extern const FilterKernel KernelSharpenHigh;
extern const FilterKernel KernelSharpenMedium;
extern const FilterKernel KernelSharpenLow;
extern const FilterKernel KernelEmbossHigh;
extern const FilterKernel KernelEmbossLow;
extern const FilterKernel KernelTexture;
extern const FilterKernel KernelEdgeDetect1;
extern const FilterKernel KernelEdgeDetect2;
extern const FilterKernel KernelEdgeDetect3;
extern const FilterKernel KernelEdgeDetect4;

// The thirteen kernel names ("Glowing Edges", "Blur High", ... "Edge Detect 4").
QStringList KernelNames();

// The kernel of a name from KernelNames(), or of the page's command captions "Edge Detect Low"
// (Edge Detect 2) and "Edge Detect High" (Edge Detect 4); nullptr for any other name.
const FilterKernel* KernelByName(const QString& name);

}  // namespace plovane
