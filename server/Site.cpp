#include "Site.h"

#include <QDeadlineTimer>
#include <QMessageAuthenticationCode>
#include <future>

#include "ClientAddress.h"
#include "FormToken.h"
#include "Pages.h"
#include "Record.h"
#include "Store.h"

namespace wf {
namespace {

constexpr int kTableLength = 100;
constexpr qint64 kSubmissionWindow = 10 * 60;  // seconds
// How long built tables may be shown when no entry was added by this server.
constexpr qint64 kTablesMaxAge = 5;
// An entry whose id is not known yet is looked for at most this often, so
// that made-up ids cannot keep the database busy.
constexpr qint64 kPlacesReadGapMs = 100;
// New places are read again for this long, since a PostgreSQL transaction may
// make an entry visible after entries with higher ids.
constexpr qint64 kPlacesOverlap = 10;

qint64 NowMs() {
    return QDeadlineTimer::current().deadline();
}

Response Html(int status, QByteArray body) {
    Response response;
    response.status = status;
    response.body = std::move(body);
    return response;
}

Response Refusal(int status, const QString& heading, const QString& text) {
    return Html(status, MessagePage(heading, text));
}

Response RecordRefused() {
    return Refusal(400, QStringLiteral("Dieses Ergebnis lässt sich nicht eintragen"),
                   QStringLiteral("Der Link enthält kein Ergebnis, wie es Wolkenfang schickt. "
                                  "Bitte öffnen Sie ihn noch einmal über den Streifen im "
                                  "Highscore-Fenster des Spiels."));
}

}  // namespace

Response ErrorResponse(int status) {
    struct Text {
        int status;
        const char* heading;
        const char* text;
    };
    static const Text texts[] = {
        {400, "Anfrage nicht verstanden", "Diese Anfrage kann die Seite nicht verarbeiten."},
        {404, "Seite nicht gefunden", "Diese Seite gibt es hier nicht."},
        {405, "So nicht möglich", "Diese Seite lässt sich so nicht aufrufen."},
        {408, "Zeit abgelaufen",
         "Die Anfrage kam zu langsam an. Bitte versuchen Sie es noch einmal."},
        {413, "Anfrage zu groß", "So viel kann diese Seite nicht annehmen."},
        {414, "Adresse zu lang", "Diese Adresse ist zu lang."},
        {431, "Anfrage zu groß", "Die Anfrage bringt zu viele Angaben mit."},
        {503, "Gerade nicht erreichbar",
         "Die Highscore-Tabelle ist gerade nicht erreichbar. Bitte versuchen Sie es später noch "
         "einmal."},
    };
    for (const Text& t : texts) {
        if (t.status == status)
            return Refusal(status, QString::fromUtf8(t.heading), QString::fromUtf8(t.text));
    }
    return ErrorResponse(400);
}

Site::Site(DbWorkers& db, int maxSubmissions, int waitMs)
    : db_(db), maxSubmissions_(maxSubmissions), waitMs_(waitMs) {
    AddFixedPage("/", "text/html; charset=utf-8", HomePage());
    AddFixedPage("/stil.css", "text/css; charset=utf-8", StyleSheet());
}

void Site::AddFixedPage(const QByteArray& path, const QByteArray& contentType,
                        const QByteArray& body) {
    Response page = Html(200, body);
    page.contentType = contentType;
    fixed_.insert(path, page);
}

bool Site::Start(qint64 now, QString* error) {
    std::promise<bool> done;
    db_.Post(
        [&](Store* store) {
            bool ok = false;
            if (store) {
                std::lock_guard lock(placesMutex_);
                const auto scores = store->ScoresAfter(0);
                if (scores) {
                    ranks_.Add(*scores);
                    checkpoints_.append({now, ranks_.LastId()});
                }
                ok = scores && Build(*store, now, [](const Tables&) { return false; });
            }
            done.set_value(ok);
        },
        60000);
    if (done.get_future().get())
        return true;
    *error = QStringLiteral("the tables cannot be read");
    return false;
}

Site::Answer Site::Handle(const Request& request, qint64 now) {
    const bool get = request.method == "GET" || request.method == "HEAD";
    const auto fixed = fixed_.constFind(request.path);
    if (fixed != fixed_.constEnd() || request.path == "/hs.php") {
        if (!get) {
            Response refused = ErrorResponse(405);
            refused.headers.emplaceBack("Allow", "GET, HEAD");
            return refused;
        }
        if (fixed != fixed_.constEnd())
            return *fixed;
        // "neu" names the entry just stored; anything else in the query is
        // ignored.
        const auto fields = DecodeForm(request.query);
        bool ok = false;
        qint64 newId = fields ? fields->value("neu").toLongLong(&ok) : 0;
        newId = ok && newId > 0 ? newId : 0;
        if (auto page = TablesFromMemory(newId, now))
            return *page;
        return Task(
            [this, newId, now](Store* store) { return TablesFromDatabase(store, newId, now); });
    }
    if (request.path == "/wfscore.php") {
        if (get)
            return SubmitForm(request, now);
        if (request.method == "POST")
            return Submit(request, now);
        Response refused = ErrorResponse(405);
        refused.headers.emplaceBack("Allow", "GET, HEAD, POST");
        return refused;
    }
    return ErrorResponse(404);
}

std::shared_ptr<const Site::Tables> Site::CurrentTables() const {
    std::lock_guard lock(mutex_);
    return tables_;
}

bool Site::Stale(const Tables& tables, qint64 now) const {
    return now - tables.built >= kTablesMaxAge || tables.changes != changes_;
}

std::optional<Response> Site::TablesFromMemory(qint64 newId, qint64 now) {
    const auto tables = CurrentTables();
    if (!tables)
        return std::nullopt;
    // What other servers stored shows within kTablesMaxAge; meanwhile, and
    // while the database is slow, the tables in memory are shown.
    if (Stale(*tables, now))
        RefreshLater(now);
    if (newId == 0)
        return ShowTables(*tables, 0);
    const auto place = ranks_.PlaceOf(newId);
    if (!place) {
        // An id from another server that this one has not read yet, unless
        // it was looked for just now.
        if (newId > ranks_.LastId() && NowMs() - placesReadMs_ >= kPlacesReadGapMs)
            return std::nullopt;
        return ShowTables(*tables, 0);
    }
    if (place->place <= kTableLength && !tables->ids.contains(newId))
        return std::nullopt;  // the tables are older than the entry
    return ShowTables(*tables, newId);
}

Response Site::TablesFromDatabase(Store* store, qint64 newId, qint64 now) {
    if (store && newId > 0 && !ranks_.PlaceOf(newId)) {
        std::lock_guard lock(placesMutex_);
        if (!ranks_.PlaceOf(newId) && NowMs() - placesReadMs_ >= kPlacesReadGapMs) {
            ReadPlaces(*store, ranks_.LastId());
            placesReadMs_ = NowMs();
        }
    }
    const auto place = newId > 0 ? ranks_.PlaceOf(newId) : std::nullopt;
    auto tables = store ? Build(*store, now,
                                [&](const Tables& tables) {
                                    return !place || place->place > kTableLength ||
                                           tables.ids.contains(newId);
                                })
                        : nullptr;
    if (!tables)
        tables = CurrentTables();  // older, but better than none
    if (!tables)
        return ErrorResponse(503);
    return ShowTables(*tables, place ? newId : 0);
}

Response Site::ShowTables(const Tables& tables, qint64 newId) {
    const auto place = newId > 0 ? ranks_.PlaceOf(newId) : std::nullopt;
    if (!place)
        return Html(200, tables.page);
    return Html(200, MarkEntry(tables.page, newId, place->seconds, place->place));
}

std::shared_ptr<const Site::Tables> Site::Build(Store& store, qint64 now,
                                                const std::function<bool(const Tables&)>& enough) {
    std::lock_guard build(buildMutex_);
    if (auto tables = CurrentTables(); tables && enough(*tables))
        return tables;
    auto tables = std::make_shared<Tables>();
    tables->built = now;
    tables->changes = changes_;
    QList<Entry> top[kHighscoreTables];
    for (int t = 0; t < kHighscoreTables; ++t) {
        auto entries = store.Top(kTimedGameLengths[t], kTableLength);
        if (!entries)
            return nullptr;
        top[t] = *entries;
        for (const Entry& entry : top[t])
            tables->ids.insert(entry.id);
    }
    tables->page = TablesPage(wf::TablesHtml(top), 0, 0, 0);
    std::lock_guard lock(mutex_);
    tables_ = tables;
    return tables;
}

void Site::RefreshLater(qint64 now) {
    if (refreshing_.exchange(true))
        return;
    db_.Post(
        [this, now](Store* store) {
            if (store) {
                {
                    // Again from the last id known kPlacesOverlap seconds ago.
                    std::lock_guard lock(placesMutex_);
                    while (checkpoints_.size() > 1 && checkpoints_[1].first <= now - kPlacesOverlap)
                        checkpoints_.removeFirst();
                    ReadPlaces(*store, checkpoints_.isEmpty() ? 0 : checkpoints_[0].second);
                    checkpoints_.append({now, ranks_.LastId()});
                }
                Build(*store, now, [&](const Tables& tables) { return !Stale(tables, now); });
            }
            refreshing_ = false;
        },
        waitMs_);
}

void Site::ReadPlaces(Store& store, qint64 afterId) {
    if (const auto scores = store.ScoresAfter(afterId))
        ranks_.Add(*scores);
}

Response Site::SubmitForm(const Request& request, qint64 now) {
    const auto fields = DecodeForm(request.query);
    const QByteArray digits = fields ? fields->value("punkte") : QByteArray();
    const auto result = ValidateRecord(digits);
    if (!result)
        return RecordRefused();
    Response form =
        Html(200, FormPage(*result, digits, IssueToken(db_.Secret(), digits, now), {}, {}));
    form.headers.emplaceBack("Cache-Control", "no-store");
    return form;
}

Site::Answer Site::Submit(const Request& request, qint64 now) {
    const auto fields = DecodeForm(request.body);
    if (!fields || !request.contentType.startsWith("application/x-www-form-urlencoded"))
        return ErrorResponse(400);
    const QByteArray digits = fields->value("punkte");
    const auto result = ValidateRecord(digits);
    if (!result)
        return RecordRefused();
    const QByteArray token = fields->value("token");
    const TokenCheck check = CheckToken(db_.Secret(), digits, token, now);
    if (check.status == TokenCheck::Expired) {
        return Refusal(400, QStringLiteral("Formular abgelaufen"),
                       QStringLiteral("Dieses Formular ist älter als einen Tag. Bitte öffnen Sie "
                                      "den Link aus dem Spiel noch einmal."));
    }
    if (check.status != TokenCheck::Valid) {
        return Refusal(400, QStringLiteral("Formular nicht erkannt"),
                       QStringLiteral("Dieses Formular stammt nicht von dieser Seite oder wurde "
                                      "verändert. Bitte öffnen Sie den Link aus dem Spiel noch "
                                      "einmal."));
    }
    const auto name = ValidName(fields->value("name"));
    if (!name) {
        return Html(400, FormPage(*result, digits, token, QString::fromUtf8(fields->value("name")),
                                  NameError()));
    }
    // The database keeps a name for the client, not its address.
    const QByteArray client =
        QMessageAuthenticationCode::hash(ClientKey(request.client), db_.Secret(),
                                         QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return Task([this, seconds = result->seconds, score = result->score, name = *name,
                 id = check.id, client, now](Store* store) {
        return Stored(store, seconds, score, name, id, client, now);
    });
}

Response Site::Stored(Store* store, int seconds, qint32 score, const QString& name,
                      const QByteArray& tokenId, const QByteArray& client, qint64 now) {
    if (!store)
        return ErrorResponse(503);
    qint64 value = 0;
    const auto added = store->Add(seconds, score, name, tokenId, now,
                                  {client, maxSubmissions_, kSubmissionWindow}, &value);
    // The tries older than the window, now and then.
    if (qint64 last = lastForget_;
        now - last >= 60 && lastForget_.compare_exchange_strong(last, now))
        store->ForgetTries(now - kSubmissionWindow);
    switch (added) {
        case Store::Added::Failed:
            return ErrorResponse(503);
        case Store::Added::Limited: {
            const qint64 minutes = (value + 59) / 60;
            Response refused = Refusal(
                429, QStringLiteral("Bitte etwas Geduld"),
                QStringLiteral("Von Ihrer Adresse kamen gerade viele Einträge. Bitte versuchen Sie "
                               "es in %1 noch einmal.")
                    .arg(minutes == 1 ? QStringLiteral("einer Minute")
                                      : QStringLiteral("%1 Minuten").arg(minutes)));
            refused.headers.emplaceBack("Retry-After", QByteArray::number(value));
            return refused;
        }
        case Store::Added::TokenUsed:
            return Refusal(409, QStringLiteral("Schon eingetragen"),
                           QStringLiteral("Dieses Ergebnis steht schon in der Tabelle – "
                                          "doppelt zählt es nicht."));
        case Store::Added::Stored:
            break;
    }
    // An entry among the best is shown at once by this server: it gets the
    // tables built anew before its answer. The others change no table.
    ranks_.Add({{value, seconds, score}});
    if (const auto place = ranks_.PlaceOf(value); place && place->place <= kTableLength) {
        ++changes_;
        Build(*store, now, [this](const Tables& tables) { return tables.changes == changes_; });
    }
    Response redirect = Html(303, MessagePage(QStringLiteral("Eingetragen"),
                                              QStringLiteral("Ihr Ergebnis ist eingetragen.")));
    redirect.headers.emplaceBack(
        "Location", "/hs.php?neu=" + QByteArray::number(value) + "#e" + QByteArray::number(value));
    return redirect;
}

}  // namespace wf
