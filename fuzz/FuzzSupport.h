// fuzz/FuzzSupport.h — what the fuzz targets share: the application object Qt's fonts, pictures and
// widgets need, a scratch folder for the files a reader takes by name, and a property check that
// stops the run so that the fuzzer keeps the input.
#pragma once
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace plovane::fuzz {

// Creates the headless application object on the first call; later calls do nothing.
void EnsureApplication();

// A folder that lives as long as the process.
QString ScratchFolder();

// Replaces the file with the bytes; false when it cannot be written.
bool WriteScratchFile(const QString& path, const QByteArray& bytes);

// The fuzzer's bytes without a copy; valid while the fuzzer's buffer is.
QByteArray Bytes(const std::uint8_t* data, std::size_t size);

// Aborts with the property's description when it does not hold, so that the fuzzer reports the
// input as a crash.
void Check(bool holds, const char* property);

}  // namespace plovane::fuzz
