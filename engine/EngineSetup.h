// engine/EngineSetup.h — what the design view and the browser control share: the private
// profile, the engine's world script, and pages that only go where the program sends them.
#pragma once
#include <QByteArray>
#include <QString>

class QObject;
class QWebEnginePage;
class QWebEngineProfile;

namespace plovane {

// Chromium refuses content above 2 MB given as data; files above this are loaded by address.
constexpr int MaxContentBytes = 1900 * 1024;

// One off-the-record profile for every engine page, so nothing is written to the home folder.
QWebEngineProfile* EngineProfile();

// The script of the application world: the web channel client, the command constants, engine.js.
QString EngineWorldScript();

// A page on the shared profile with page scripts off. A guarded page refuses every main-frame
// navigation it was not sent on (links, refresh, form posts), so the document stays put.
QWebEnginePage* CreateEnginePage(QObject* parent, bool guarded);
void AllowNextNavigation(QWebEnginePage* page);
void ForbidNavigation(QWebEnginePage* page);

// "text/html", with the charset UTF-8 when the bytes are UTF-8 and declare no charset themselves.
QString ContentTypeFor(const QByteArray& bytes);

}  // namespace plovane
