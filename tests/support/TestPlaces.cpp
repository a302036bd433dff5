#include "support/TestPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace plovane::test {

TempFolder::TempFolder() : Dir(QDir::tempPath() + QStringLiteral("/plovane-test-XXXXXX")) {}

QString TempFolder::Path(const QString& relative) const { return Dir.path() + QLatin1Char('/') + relative; }

QString TempFolder::Write(const QString& relative, const QByteArray& bytes) const {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

QByteArray TempFolder::Read(const QString& relative) const {
    QFile file(Path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ScopedFilePlaces::ScopedFilePlaces() : Previous(CurrentFilePlaces()) {
    Current.programFolder = Temp.Path(QStringLiteral("program"));
    Current.dataFolder = Temp.Path(QStringLiteral("data"));
    Current.configFolder = Temp.Path(QStringLiteral("config"));
    Current.cacheFolder = Temp.Path(QStringLiteral("cache/Quenlock/Plovane/cache"));
    QDir().mkpath(Current.programFolder);
    SetFilePlaces(Current);
}

ScopedFilePlaces::~ScopedFilePlaces() { SetFilePlaces(Previous); }

QString BuiltProgramFolder() { return QStringLiteral(PLOVANE_PROGRAM_DIR); }

QString SourceFile(const QString& relative) {
    return QStringLiteral(PLOVANE_SOURCE_DIR) + QLatin1Char('/') + relative;
}

ScopedReadOnly::ScopedReadOnly(QString path) : Target(std::move(path)), Saved(QFile::permissions(Target)) {
    QFile::setPermissions(Target, Saved & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                            QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

ScopedReadOnly::~ScopedReadOnly() { QFile::setPermissions(Target, Saved); }

}  // namespace plovane::test
