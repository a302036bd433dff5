#include "engine/CommandConstants.h"

#include <QStringList>

namespace plovane {

QString CommandConstantsScript() {
    QString script;
    for (const char* group : {"DECMD", "DECMDF"}) {
        QStringList members;
        for (const CommandConstant& constant : CommandConstants())
            if (qstrcmp(constant.Group, group) == 0)
                members << QString("%1: %2").arg(QLatin1String(constant.Name)).arg(constant.Value);
        // var, not const: the world script may be put into a document a second time.
        script += QString("var %1 = Object.freeze({%2});\n").arg(QLatin1String(group), members.join(", "));
    }
    return script;
}

}  // namespace plovane
