// tests/support/TestPlaces.h — temporary folders and injected file places for tests.
#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "platform/FilePlaces.h"
#include "support/QtPrinters.h"

namespace plovane::test {

// A temporary folder removed with the object; Path and Write work relative to it.
class TempFolder {
public:
    TempFolder();
    QString Root() const { return Dir.path(); }
    QString Path(const QString& relative) const;
    // Writes the bytes (creating sub-folders) and returns the file's path.
    QString Write(const QString& relative, const QByteArray& bytes) const;
    QByteArray Read(const QString& relative) const;

private:
    QTemporaryDir Dir;
};

// Points every file place (program, data, config, cache) at sub-folders of a fresh temporary
// folder for the object's lifetime, then puts the previous places back.
class ScopedFilePlaces {
public:
    ScopedFilePlaces();
    ~ScopedFilePlaces();
    ScopedFilePlaces(const ScopedFilePlaces&) = delete;
    ScopedFilePlaces& operator=(const ScopedFilePlaces&) = delete;

    const TempFolder& Folder() const { return Temp; }
    const FilePlaces& Places() const { return Current; }

private:
    TempFolder Temp;
    FilePlaces Previous;
    FilePlaces Current;
};

// The build's program folder, where the data files the program reads are copied.
QString BuiltProgramFolder();
// A file of the source tree (fixtures under tests/).
QString SourceFile(const QString& relative);

// Removes write permission from a file or folder for the object's lifetime.
class ScopedReadOnly {
public:
    explicit ScopedReadOnly(QString path);
    ~ScopedReadOnly();
    ScopedReadOnly(const ScopedReadOnly&) = delete;
    ScopedReadOnly& operator=(const ScopedReadOnly&) = delete;

private:
    QString Target;
    QFileDevice::Permissions Saved;
};

}  // namespace plovane::test
