// platform/TextTrim.h — trimming as the program's text files and status panels want it.
#pragma once
#include <QString>

namespace plovane {

// Leading and trailing blanks and control characters (everything up to code 32) go.
QString TrimControls(const QString& text);

}  // namespace plovane
