#include "platform/TextTrim.h"

namespace plovane {

QString TrimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32) ++first;
    while (last > first && text.at(last - 1).unicode() <= 32) --last;
    return text.mid(first, last - first);
}

}  // namespace plovane
