#pragma once
// The site's pages: German, plain HTML5 with the site's own style sheet and
// no script. Every text that did not come from this file is escaped.
#include <QByteArray>
#include <QList>
#include <QString>

#include "Entry.h"
#include "GameLengths.h"
#include "Record.h"

namespace wf {

QString HtmlEscape(QStringView text);

QByteArray StyleSheet();
// A whole page around its main part (HTML).
QByteArray Page(const QString& title, const QString& main);

QByteArray HomePage();
// The main part of the table page: one table per game length, best first, in
// the order of kTimedGameLengths. A row carries the id "e<entry id>".
QString TablesHtml(const QList<Entry> (&tables)[kHighscoreTables]);
// The table page; when newId is not 0 the row of that entry is marked and a
// line above the tables tells its place.
QByteArray TablesPage(const QString& tablesHtml, qint64 newId, int seconds, qint64 place);
// The same as TablesPage(tablesHtml, newId, seconds, place) from the page
// without a marked entry (newId 0), without building the page anew.
QByteArray MarkEntry(const QByteArray& page, qint64 newId, int seconds, qint64 place);

// The submit form for a valid record; error (already HTML) is shown above it.
QByteArray FormPage(const GameResult& result, const QByteArray& digits, const QByteArray& token,
                    const QString& typedName, const QString& error);
QString NameError();

// A short page with a heading, one paragraph (HTML) and the way to the table.
QByteArray MessagePage(const QString& heading, const QString& text);

}  // namespace wf
