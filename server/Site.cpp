#include "Site.h"

#include "FormToken.h"
#include "Pages.h"
#include "Record.h"
#include "Store.h"

namespace wf {
namespace {

constexpr int kTableLength = 100;
constexpr qint64 kSubmissionWindow = 10 * 60;  // seconds
// How long a built table may be shown when no entry was added by this server.
constexpr qint64 kTablesMaxAge = 5;

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

Site::Site(Store& store, int maxSubmissions)
    : store_(store), limiter_(maxSubmissions, kSubmissionWindow) {
    AddFixedPage("/", "text/html; charset=utf-8", HomePage());
    AddFixedPage("/stil.css", "text/css; charset=utf-8", StyleSheet());
}

void Site::AddFixedPage(const QByteArray& path, const QByteArray& contentType,
                        const QByteArray& body) {
    Response page = Html(200, body);
    page.contentType = contentType;
    fixed_.insert(path, page);
}

Response Site::Handle(const Request& request, qint64 now) {
    const bool get = request.method == "GET" || request.method == "HEAD";
    const auto fixed = fixed_.constFind(request.path);
    if (fixed != fixed_.constEnd() || request.path == "/hs.php") {
        if (!get) {
            Response refused = ErrorResponse(405);
            refused.headers.emplaceBack("Allow", "GET, HEAD");
            return refused;
        }
        return fixed != fixed_.constEnd() ? *fixed : Tables(request, now);
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

const QString* Site::TablesHtml(qint64 now) {
    if (tablesBuilt_ >= 0 && now - tablesBuilt_ < kTablesMaxAge)
        return &tablesHtml_;
    QList<Entry> tables[kHighscoreTables];
    for (int t = 0; t < kHighscoreTables; ++t) {
        auto top = store_.Top(kTimedGameLengths[t], kTableLength);
        if (!top)
            return nullptr;
        tables[t] = *top;
    }
    tablesHtml_ = wf::TablesHtml(tables);
    tablesPage_ = TablesPage(tablesHtml_, 0, 0, 0);
    tablesBuilt_ = now;
    return &tablesHtml_;
}

Response Site::Tables(const Request& request, qint64 now) {
    const QString* tables = TablesHtml(now);
    if (!tables)
        return ErrorResponse(503);
    // "neu" names the entry just stored; anything else in the query is ignored.
    const auto fields = DecodeForm(request.query);
    bool ok = false;
    const qint64 id = fields ? fields->value("neu").toLongLong(&ok) : 0;
    if (ok && id > 0) {
        if (const auto place = store_.PlaceOf(id))
            return Html(200, TablesPage(*tables, id, place->seconds, place->place));
    }
    return Html(200, tablesPage_);
}

Response Site::SubmitForm(const Request& request, qint64 now) {
    const auto fields = DecodeForm(request.query);
    const QByteArray digits = fields ? fields->value("punkte") : QByteArray();
    const auto result = ValidateRecord(digits);
    if (!result)
        return RecordRefused();
    Response form =
        Html(200, FormPage(*result, digits, IssueToken(store_.Secret(), digits, now), {}, {}));
    form.headers.emplaceBack("Cache-Control", "no-store");
    return form;
}

Response Site::Submit(const Request& request, qint64 now) {
    const auto fields = DecodeForm(request.body);
    if (!fields || !request.contentType.startsWith("application/x-www-form-urlencoded"))
        return ErrorResponse(400);
    const QByteArray digits = fields->value("punkte");
    const auto result = ValidateRecord(digits);
    if (!result)
        return RecordRefused();
    const QByteArray token = fields->value("token");
    const TokenCheck check = CheckToken(store_.Secret(), digits, token, now);
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
    if (const qint64 wait = limiter_.Take(request.client, now)) {
        const qint64 minutes = (wait + 59) / 60;
        Response refused = Refusal(
            429, QStringLiteral("Bitte etwas Geduld"),
            QStringLiteral("Von Ihrer Adresse kamen gerade viele Einträge. Bitte versuchen Sie es "
                           "in %1 noch einmal.")
                .arg(minutes == 1 ? QStringLiteral("einer Minute")
                                  : QStringLiteral("%1 Minuten").arg(minutes)));
        refused.headers.emplaceBack("Retry-After", QByteArray::number(wait));
        return refused;
    }
    qint64 id = 0;
    switch (store_.Add(result->seconds, result->score, *name, check.id, now, &id)) {
        case Store::Added::Failed:
            return ErrorResponse(503);
        case Store::Added::TokenUsed:
            return Refusal(409, QStringLiteral("Schon eingetragen"),
                           QStringLiteral("Dieses Ergebnis steht schon in der Tabelle – "
                                          "doppelt zählt es nicht."));
        case Store::Added::Stored:
            break;
    }
    tablesBuilt_ = -1;
    Response redirect = Html(303, MessagePage(QStringLiteral("Eingetragen"),
                                              QStringLiteral("Ihr Ergebnis ist eingetragen.")));
    redirect.headers.emplaceBack(
        "Location", "/hs.php?neu=" + QByteArray::number(id) + "#e" + QByteArray::number(id));
    return redirect;
}

}  // namespace wf
