#include "SearchService.h"

#include "SearchAnswers.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QTimer>
#include <QVariantMap>

#include <optional>

const char SearchService::kBusName[] = "io.github.bitlens.Bitlens";
const char SearchService::kProviderPath[] = "/io/github/bitlens/Bitlens/SearchProvider";
const char SearchService::kRunnerPath[] = "/runner";
const char SearchService::kIdleVariable[] = "BITLENS_SEARCH_IDLE_MS";

namespace {

const char kIconName[] = "io.github.bitlens.Bitlens";
const char kOpenAction[] = "open";
// KRunner's match types: an exact match comes first among its results.
constexpr int kExactMatch = 100;

} // namespace

// KRunner's match on the wire: (sssida{sv}).
struct RunnerMatch {
    QString id;
    QString text;
    QString iconName;
    int type = kExactMatch;
    double relevance = 0;
    QVariantMap properties;
};

// KRunner's action on the wire: (sss).
struct RunnerAction {
    QString id;
    QString text;
    QString iconName;
};

Q_DECLARE_METATYPE(RunnerMatch)
Q_DECLARE_METATYPE(RunnerAction)

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerMatch& match)
{
    argument.beginStructure();
    argument << match.id << match.text << match.iconName << match.type << match.relevance
             << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerMatch& match)
{
    argument.beginStructure();
    argument >> match.id >> match.text >> match.iconName >> match.type >> match.relevance
        >> match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerAction& action)
{
    argument.beginStructure();
    argument << action.id << action.text << action.iconName;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerAction& action)
{
    argument.beginStructure();
    argument >> action.id >> action.text >> action.iconName;
    argument.endStructure();
    return argument;
}

// Both interfaces' objects, the name and the idle time, on the service's thread.
class SearchServiceWorker : public QObject {
    Q_OBJECT
public:
    SearchServiceWorker(SearchService::Mode mode, int idleMs)
        : fMode(mode)
        , fIdle(this)
    {
        fIdle.setSingleShot(true);
        fIdle.setInterval(idleMs);
        connect(&fIdle, &QTimer::timeout, this, &SearchServiceWorker::finished);
    }
    ~SearchServiceWorker() override
    {
        if (!fBus)
            return;
        fBus->unregisterObject(QLatin1String(SearchService::kProviderPath));
        fBus->unregisterObject(QLatin1String(SearchService::kRunnerPath));
        if (fOwnsName)
            fBus->unregisterService(QLatin1String(SearchService::kBusName));
    }

    void start();
    // Every call counts as use: a search-only service ends only when idle.
    void called()
    {
        if (fMode == SearchService::eSearchOnly)
            fIdle.start();
    }

signals:
    void failed(const QString& why);
    void finished();
    void copyRequested(const QString& text);
    void openRequested(const QStringList& arguments, quint32 timestamp);

private:
    SearchService::Mode fMode;
    // A child, so that it moves to the service's thread with the worker.
    QTimer fIdle;
    std::optional<QDBusConnection> fBus;
    bool fOwnsName = false;
};

// org.gnome.Shell.SearchProvider2. The shell splits the typed text at
// blanks into terms; they are put back together with single spaces.
class GnomeSearchProvider : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")
public:
    explicit GnomeSearchProvider(SearchServiceWorker* worker)
        : QObject(worker)
        , fWorker(worker)
    { }

public slots:
    Q_SCRIPTABLE QStringList GetInitialResultSet(const QStringList& terms)
    {
        fWorker->called();
        QStringList ids;
        for (const SearchAnswer& answer : SearchAnswers(terms.join(u' ')))
            ids << answer.id;
        return ids;
    }

    // The previous results say nothing the new terms do not: a longer
    // number is another number.
    Q_SCRIPTABLE QStringList GetSubsearchResultSet(
        const QStringList& previousResults, const QStringList& terms)
    {
        Q_UNUSED(previousResults);
        return GetInitialResultSet(terms);
    }

    Q_SCRIPTABLE QList<QVariantMap> GetResultMetas(const QStringList& identifiers)
    {
        fWorker->called();
        QList<QVariantMap> metas;
        for (const QString& id : identifiers) {
            const std::optional<SearchAnswer> answer = SearchAnswerFor(id);
            if (!answer)
                continue;
            metas << QVariantMap {
                { QStringLiteral("id"), answer->id },
                { QStringLiteral("name"), answer->title },
                { QStringLiteral("description"), answer->subtitle },
                { QStringLiteral("gicon"), QLatin1String(kIconName) },
                // Newer shells copy this themselves, which a program
                // without a focused window may not do on Wayland.
                { QStringLiteral("clipboardText"), answer->text },
            };
        }
        return metas;
    }

    Q_SCRIPTABLE void ActivateResult(
        const QString& identifier, const QStringList& terms, uint timestamp)
    {
        Q_UNUSED(terms);
        Q_UNUSED(timestamp);
        fWorker->called();
        if (const std::optional<SearchAnswer> answer = SearchAnswerFor(identifier))
            emit fWorker->copyRequested(answer->text);
    }

    Q_SCRIPTABLE void LaunchSearch(const QStringList& terms, uint timestamp)
    {
        fWorker->called();
        emit fWorker->openRequested(LaunchArgumentsFor(terms.join(u' ')), timestamp);
    }

private:
    SearchServiceWorker* fWorker;
};

// org.kde.krunner1: the default action copies, "open" opens a window.
class KRunnerRunner : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")
public:
    explicit KRunnerRunner(SearchServiceWorker* worker)
        : QObject(worker)
        , fWorker(worker)
    { }

public slots:
    Q_SCRIPTABLE QList<RunnerAction> Actions()
    {
        fWorker->called();
        return { { QLatin1String(kOpenAction),
            QCoreApplication::translate("SearchService", "Open in Bitlens"),
            QLatin1String(kIconName) } };
    }

    Q_SCRIPTABLE QList<RunnerMatch> Match(const QString& query)
    {
        fWorker->called();
        QList<RunnerMatch> matches;
        double relevance = 1.0;
        for (const SearchAnswer& answer : SearchAnswers(query)) {
            matches << RunnerMatch { answer.id, answer.title, QLatin1String(kIconName), kExactMatch,
                relevance, { { QStringLiteral("subtext"), answer.subtitle } } };
            relevance -= 0.1;
        }
        return matches;
    }

    Q_SCRIPTABLE void Run(const QString& matchId, const QString& actionId)
    {
        fWorker->called();
        if (actionId.isEmpty()) {
            if (const std::optional<SearchAnswer> answer = SearchAnswerFor(matchId))
                emit fWorker->copyRequested(answer->text);
        } else if (actionId == QLatin1String(kOpenAction)) {
            emit fWorker->openRequested(LaunchArgumentsFor(QueryOfAnswer(matchId)), 0);
        }
    }

    // Nothing is kept between matches, so nothing is dropped at the end.
    Q_SCRIPTABLE void Teardown() { fWorker->called(); }

private:
    SearchServiceWorker* fWorker;
};

void SearchServiceWorker::start()
{
    qDBusRegisterMetaType<RunnerMatch>();
    qDBusRegisterMetaType<RunnerAction>();
    qDBusRegisterMetaType<QList<RunnerMatch>>();
    qDBusRegisterMetaType<QList<RunnerAction>>();
    qDBusRegisterMetaType<QList<QVariantMap>>();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        emit failed(QStringLiteral("no session bus: %1").arg(bus.lastError().message()));
        return;
    }
    fBus = bus;
    const auto options = QDBusConnection::ExportScriptableSlots;
    if (!bus.registerObject(
            QLatin1String(SearchService::kProviderPath), new GnomeSearchProvider(this), options)
        || !bus.registerObject(
            QLatin1String(SearchService::kRunnerPath), new KRunnerRunner(this), options)) {
        emit failed(
            QStringLiteral("cannot export the search objects: %1").arg(bus.lastError().message()));
        return;
    }

    // A window instance takes the name from a search-only process, which
    // then ends; neither waits in a queue for it.
    QDBusConnectionInterface* names = bus.interface();
    const bool searchOnly = fMode == SearchService::eSearchOnly;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = names->registerService(QLatin1String(SearchService::kBusName),
            searchOnly ? QDBusConnectionInterface::DontQueueService
                       : QDBusConnectionInterface::ReplaceExistingService,
            searchOnly ? QDBusConnectionInterface::AllowReplacement
                       : QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        emit failed(reply.isValid()
                ? QStringLiteral("%1 is taken on the session bus").arg(SearchService::kBusName)
                : reply.error().message());
        return;
    }
    fOwnsName = true;
    if (searchOnly) {
        connect(names, &QDBusConnectionInterface::serviceUnregistered, this,
            [this](const QString& name) {
                if (name != QLatin1String(SearchService::kBusName))
                    return;
                fOwnsName = false;
                emit finished();
            });
        fIdle.start();
    }
}

int SearchService::idleMsFromEnvironment()
{
    bool number = false;
    const int idleMs = qEnvironmentVariableIntValue(kIdleVariable, &number);
    return number && idleMs > 0 ? idleMs : kDefaultIdleMs;
}

SearchService::SearchService(Mode mode, int idleMs, QObject* parent)
    : QObject(parent)
    , fWorker(new SearchServiceWorker(mode, idleMs))
{
    fThread.setObjectName(QStringLiteral("search service"));
    fWorker->moveToThread(&fThread);
    connect(&fThread, &QThread::finished, fWorker, &QObject::deleteLater);
    connect(fWorker, &SearchServiceWorker::failed, this, &SearchService::failed);
    connect(fWorker, &SearchServiceWorker::finished, this, &SearchService::finished);
    connect(fWorker, &SearchServiceWorker::copyRequested, this, &SearchService::copyRequested);
    connect(fWorker, &SearchServiceWorker::openRequested, this, &SearchService::openRequested);
    fThread.start();
}

SearchService::~SearchService()
{
    fThread.quit();
    fThread.wait();
}

void SearchService::start()
{
    QMetaObject::invokeMethod(fWorker, &SearchServiceWorker::start, Qt::QueuedConnection);
}

#include "SearchService.moc"
