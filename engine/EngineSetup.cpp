#include "engine/EngineSetup.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "engine/CommandConstants.h"
#include "platform/Errors.h"

// Resources of a static library are only linked in when something asks for them by name.
static void InitEngineResources() { Q_INIT_RESOURCE(engine); }

namespace plovane {

namespace {

QString ReadResource(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(QString("The engine resource %1 is missing.").arg(name));
    return QString::fromUtf8(file.readAll());
}

class EnginePage : public QWebEnginePage {
public:
    EnginePage(QWebEngineProfile* profile, QObject* parent, bool guarded)
        : QWebEnginePage(profile, parent), Guarded(guarded) {}
    bool AllowNext = false;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!Guarded || !isMainFrame) return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        const bool allowed = AllowNext;
        AllowNext = false;
        return allowed;
    }

private:
    const bool Guarded;
};

}  // namespace

QWebEngineProfile* EngineProfile() {
    static QWebEngineProfile* profile = [] {
        // Software rendering is all a headless run has; asking for the GPU only costs start-up time.
        if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
            QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
            if (!flags.contains("--disable-gpu"))
                qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --disable-gpu").trimmed());
        }
        auto* created = new QWebEngineProfile(QCoreApplication::instance());
        created->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        created->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        QWebEngineScript script;
        script.setName("plovane-engine");
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setInjectionPoint(QWebEngineScript::DocumentReady);
        script.setRunsOnSubFrames(false);
        script.setSourceCode(EngineWorldScript());
        created->scripts()->insert(script);
        return created;
    }();
    return profile;
}

QString EngineWorldScript() {
    InitEngineResources();
    return ReadResource(":/qtwebchannel/qwebchannel.js") + "\n" + CommandConstantsScript() +
           ReadResource(":/plovane/engine/engine.js");
}

QWebEnginePage* CreateEnginePage(QObject* parent, bool guarded) {
    auto* page = new EnginePage(EngineProfile(), parent, guarded);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setDefaultTextEncoding("iso-8859-1");
    return page;
}

void AllowNextNavigation(QWebEnginePage* page) {
    if (auto* guarded = dynamic_cast<EnginePage*>(page)) guarded->AllowNext = true;
}

void ForbidNavigation(QWebEnginePage* page) {
    if (auto* guarded = dynamic_cast<EnginePage*>(page)) guarded->AllowNext = false;
}

QString ContentTypeFor(const QByteArray& bytes) {
    static const QRegularExpression declared("<meta[^>]*charset", QRegularExpression::CaseInsensitiveOption);
    const QByteArray head = bytes.left(4096);
    if (declared.match(QString::fromLatin1(head)).hasMatch()) return "text/html";
    bool ascii = true;
    for (char c : bytes)
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return "text/html";
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? "text/html" : "text/html;charset=UTF-8";
}

}  // namespace plovane
