#include "Pages.h"

#include <QDateTime>

namespace wf {
namespace {

const QString kFairness = QStringLiteral(
    "Ein offenes Wort: Der Schlüssel, mit dem das Spiel sein Ergebnis verschlüsselt, liegt jedem "
    "Spiel bei – wer mag, kann hier also auch erfundene Punkte eintragen, nehmen Sie die Tabelle "
    "darum mit Humor.");

const QString kToTable =
    QStringLiteral("<p><a class=\"knopf\" href=\"/hs.php\">Zur Highscore-Tabelle</a></p>");

QString Row(const Entry& entry, int place) {
    // One arg() call for all: a name holding "%1" must stay as it is.
    return QStringLiteral("<tr id=\"e%1\"><td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>\n")
        .arg(QString::number(entry.id), QString::number(place), HtmlEscape(entry.name),
             QString::number(entry.score),
             QDateTime::fromSecsSinceEpoch(entry.created).toString(QStringLiteral("dd.MM.yyyy")));
}

}  // namespace

QString HtmlEscape(QStringView text) {
    // Also the apostrophe, so that a text is safe in any attribute.
    return text.toString().toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

QByteArray StyleSheet() {
    return QByteArrayLiteral(
        "html{font-family:'DejaVu Sans',Verdana,sans-serif;background:#cfe6fb;color:#1b2733}\n"
        "body{margin:0 auto;max-width:46rem;padding:0 .75rem 1.5rem;line-height:1.45}\n"
        "header{padding:.8rem 0;font-weight:bold}header a{color:#10406a;text-decoration:none}\n"
        "main{background:#fff;border-radius:.6rem;padding:.5rem 1rem 1rem;"
        "box-shadow:0 .1rem .4rem #0002}\n"
        "h1{font-size:1.5rem;color:#10406a}h2{font-size:1.15rem;margin:1.5rem 0 .4rem}\n"
        "nav a{margin-right:1rem}\n"
        "table{width:100%;border-collapse:collapse;font-size:.95rem;table-layout:fixed}\n"
        "th:nth-child(1){width:3.5rem}th:nth-child(3){width:5rem}th:nth-child(4){width:6.5rem}\n"
        "th,td{padding:.3rem .4rem;text-align:left;border-bottom:1px solid #dde6ee}\n"
        "td{overflow-wrap:anywhere}td:nth-child(1),td:nth-child(3),th:nth-child(1),"
        "th:nth-child(3){text-align:right;white-space:nowrap}\n"
        "td:nth-child(4){white-space:nowrap}\n"
        "tr.neu,tr:target{background:#ffe38a;font-weight:bold}\n"
        ".hinweis{background:#ffe38a;padding:.5rem .7rem;border-radius:.4rem}\n"
        ".fehler{background:#fde0dc;padding:.5rem .7rem;border-radius:.4rem}\n"
        ".punkte{font-size:2rem;font-weight:bold;color:#10406a}\n"
        "label{display:block;margin:1rem 0 .3rem}\n"
        "input{font-size:1.1rem;padding:.4rem;width:100%;max-width:20rem;box-sizing:border-box}\n"
        "button,.knopf{display:inline-block;margin-top:.8rem;font-size:1.05rem;padding:.45rem "
        "1.1rem;"
        "border:0;border-radius:.4rem;background:#1d6fb8;color:#fff;text-decoration:none}\n"
        "footer{font-size:.85rem;color:#34495e;padding-top:.8rem}\n"
        "@media (max-width:30rem){th:nth-child(4),td:nth-child(4){display:none}}\n");
}

QByteArray Page(const QString& title, const QString& main) {
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
               "<title>%1 – Wolkenfang</title>\n<link rel=\"stylesheet\" href=\"/stil.css\">\n"
               "</head>\n<body>\n<header><a href=\"/\">Wolkenfang</a> · Online-Highscore</header>\n"
               "<main>\n%2</main>\n<footer><p>%3</p></footer>\n</body>\n</html>\n")
        .arg(HtmlEscape(title), main, kFairness)
        .toUtf8();
}

QByteArray HomePage() {
    return Page(
        QStringLiteral("Online-Highscore"),
        QStringLiteral("<h1>Online-Highscore</h1>\n"
                       "<p>Hier stehen die besten Ergebnisse aus Wolkenfang. Nach einem Spiel über "
                       "30, 60 oder 120 Sekunden bringt Sie der Streifen „Online Highscore - Jetzt "
                       "eintragen !!!“ im Highscore-Fenster des Spiels hierher, und Sie tragen Ihr "
                       "Ergebnis mit Ihrem Namen ein.</p>\n") +
            kToTable);
}

QString TablesHtml(const QList<Entry> (&tables)[kHighscoreTables]) {
    QString html = QStringLiteral(
        "<nav><a href=\"#t30\">30 Sekunden</a> <a href=\"#t60\">60 Sekunden</a> "
        "<a href=\"#t120\">120 Sekunden</a></nav>\n");
    for (int t = 0; t < kHighscoreTables; ++t) {
        html += QStringLiteral("<section id=\"t%1\">\n<h2>%1 Sekunden</h2>\n")
                    .arg(kTimedGameLengths[t]);
        if (tables[t].isEmpty()) {
            html += QStringLiteral("<p>Noch keine Einträge.</p>\n</section>\n");
            continue;
        }
        html += QStringLiteral(
            "<table>\n<thead><tr><th>Platz</th><th>Name</th><th>Punkte</th><th>Datum</th></tr>"
            "</thead>\n<tbody>\n");
        for (int i = 0; i < tables[t].size(); ++i)
            html += Row(tables[t][i], i + 1);
        html += QStringLiteral("</tbody>\n</table>\n</section>\n");
    }
    return html;
}

QByteArray TablesPage(const QString& tablesHtml, qint64 newId, int seconds, qint64 place) {
    const QByteArray page =
        Page(QStringLiteral("Highscore"), QStringLiteral("<h1>Highscore</h1>\n") + tablesHtml);
    return newId == 0 ? page : MarkEntry(page, newId, seconds, place);
}

QByteArray MarkEntry(const QByteArray& page, qint64 newId, int seconds, qint64 place) {
    const QByteArrayView heading = "<h1>Highscore</h1>\n";
    const QByteArray id = QByteArray::number(newId);
    const QByteArray row = "<tr id=\"e" + id + "\">";
    const QByteArray line =
        QStringLiteral(
            "<p class=\"hinweis\">Ihr Ergebnis ist eingetragen: Platz %1 in der Tabelle über %2 "
            "Sekunden%3.</p>\n")
            .arg(place)
            .arg(seconds)
            .arg(place > 100 ? QStringLiteral(" (hier stehen die besten 100)") : QString())
            .toUtf8();
    const qsizetype afterHeading = page.indexOf(heading) + heading.size();
    const qsizetype at = page.indexOf(row, afterHeading);
    QByteArray out;
    out.reserve(page.size() + line.size() + 16);
    out.append(page.first(afterHeading)).append(line);
    if (at < 0)
        return out.append(page.sliced(afterHeading));
    return out.append(page.sliced(afterHeading, at - afterHeading))
        .append("<tr id=\"e" + id + "\" class=\"neu\">")
        .append(page.sliced(at + row.size()));
}

QByteArray FormPage(const GameResult& result, const QByteArray& digits, const QByteArray& token,
                    const QString& typedName, const QString& error) {
    QString main = QStringLiteral(
                       "<h1>Ergebnis eintragen</h1>\n<p><span class=\"punkte\">%1</span> Punkte "
                       "im Spiel über %2 Sekunden</p>\n")
                       .arg(result.score)
                       .arg(result.seconds);
    if (!error.isEmpty())
        main += QStringLiteral("<p class=\"fehler\">%1</p>\n").arg(error);
    main +=
        QStringLiteral(
            "<form method=\"post\" action=\"/wfscore.php\">\n"
            "<input type=\"hidden\" name=\"punkte\" value=\"%1\">\n"
            "<input type=\"hidden\" name=\"token\" value=\"%2\">\n"
            "<label for=\"name\">Ihr Name (1 bis %3 Zeichen)</label>\n"
            "<input id=\"name\" name=\"name\" maxlength=\"%3\" required autofocus "
            "autocomplete=\"nickname\" value=\"%4\">\n"
            "<button type=\"submit\">Eintragen</button>\n</form>\n")
            .arg(HtmlEscape(QString::fromLatin1(digits)), HtmlEscape(QString::fromLatin1(token)),
                 QString::number(kMaxNameLength), HtmlEscape(typedName));
    return Page(QStringLiteral("Ergebnis eintragen"), main);
}

QString NameError() {
    return QStringLiteral(
               "Bitte geben Sie einen Namen mit 1 bis %1 Zeichen ein, ohne Steuerzeichen.")
        .arg(kMaxNameLength);
}

QByteArray MessagePage(const QString& heading, const QString& text) {
    return Page(heading, QStringLiteral("<h1>%1</h1>\n<p>%2</p>\n").arg(HtmlEscape(heading), text) +
                             kToTable);
}

}  // namespace wf
