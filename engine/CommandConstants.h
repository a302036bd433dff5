// engine/CommandConstants.h — the constants of DHTMLCommands.h by name, for engine.js.
#pragma once
#include <QString>
#include <vector>

namespace plovane {

// One constant of DHTMLCommands.h: its group ("DECMD" for commands, "DECMDF" for status values),
// its name after the group's prefix ("BOLD") and its value.
struct CommandConstant {
    const char* Group;
    const char* Name;
    int Value;
};

// Every DECMD_* and DECMDF_* constant, in the header's order. The list is made from the header
// when the build is configured, so a constant added there needs no second entry anywhere.
const std::vector<CommandConstant>& CommandConstants();

// The same constants as script, put before engine.js:
// "var DECMD = Object.freeze({BOLD: 5000, ...});" and the same for DECMDF.
QString CommandConstantsScript();

}  // namespace plovane
