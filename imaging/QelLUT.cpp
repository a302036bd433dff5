#include "imaging/QelLUT.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plovane {
namespace {

int Entry(int mode, int k, int v) {
    switch (mode) {
        case 0:
            return v;
        case 1:
            return k;
        case 2:
            return 255 - v;
        case 3:
            return 255 - k;
        case 4:
            return (k + v) / 2;
        case 5:
        case 7:
            return std::min(k + v, 255);
        case 6:
            return (k + v) & 255;
        case 8:
            return (v - k) & 255;
        case 9:
            return std::max(v - k, 0);
        case 10:
            return std::abs(v - k);
        case 11:
            return k * v / 255;
        case 12:
            return std::min(k / std::max(v, 1), 255);
        case 13:
            return std::min(v, k);
        case 14:
            return std::max(v, k);
        case 15:
            return std::clamp(v + 2 * k - 256, 0, 255);
        case 16:
            return std::min(4 * k * v / 255, 255);
        case 17:
            return v | k;
        case 18:
            return v & k;
        case 19:
            return v ^ k;
        case 20:
            return std::abs(255 - v - k);
        default:
            return static_cast<int>(255.0 * std::pow(v / 255.0, 64.0 / (k | 1)));
    }
}

}  // namespace

void BuildLookupTable(int mode, LookupTable& table) {
    if (mode < 0 || mode > 21) return;
    for (int k = 0; k < 256; ++k)
        for (int v = 0; v < 256; ++v) table.Entries[k * 256 + v] = static_cast<quint8>(Entry(mode, k, v));
}

}  // namespace plovane
