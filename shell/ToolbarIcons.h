// shell/ToolbarIcons.h — the pictures of the frame's toolbar buttons: the desktop theme's icon where
// the theme has one, else a small picture drawn at start.
#pragma once
#include <QIcon>
#include <QString>

namespace plovane {

// The picture for the toolbar item with this component name ("TBBold", "TBInsertTable", ...); an
// unknown name gives an empty icon.
QIcon ToolbarIcon(const QString& item);

}  // namespace plovane
