// imaging/QelLUT.h — 256 x 256 lookup tables: row k is a parameter, column v an input channel value.
#pragma once
#include <QtGlobal>
#include <array>

namespace plovane {

struct LookupTable {
    std::array<quint8, 256 * 256> Entries{};  // entry [k][v] at k * 256 + v

    quint8 At(int k, int v) const { return Entries[k * 256 + v]; }
    const quint8* Row(int k) const { return Entries.data() + k * 256; }
};

// The curve kinds the colour dialog uses.
constexpr int LutModeBalance = 11;
constexpr int LutModeBrightness = 15;
constexpr int LutModeContrast = 16;
constexpr int LutModeGamma = 21;

// Fills the table for a mode 0..21; any other mode leaves it as it was.
void BuildLookupTable(int mode, LookupTable& table);

}  // namespace plovane
