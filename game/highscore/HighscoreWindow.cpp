#include "HighscoreWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "Borrowing.h"
#include "GameLengths.h"
#include "Highscore.h"
#include "HighscoreEntry.h"
#include "OnlineLink.h"
#include "OnlineStrip.h"
#include "Platform.h"
#include "TrophyPicture.h"

namespace wf {

namespace {

constexpr int kTables = Highscore::kTables;

const QColor kRed(255, 0, 0);
const QColor kWhite(255, 255, 255);

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int pointSize, const QColor& colour,
                  const QRect& geometry, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* label = new QLabel(text, parent);
    label->setFont(QFont(QStringLiteral("MS Sans Serif"), pointSize));
    label->setAlignment(alignment | Qt::AlignVCenter);
    SetTextColour(label, colour);
    label->setGeometry(geometry);
    return label;
}

}  // namespace

HighscoreWindow::HighscoreWindow(QWidget* mainWindow, HighscoreEntry& entry, QString programDir)
    : QWidget(nullptr), mainWindow_(mainWindow), entry_(entry), programDir_(std::move(programDir)) {
    setWindowTitle(QStringLiteral("Highscore"));
    setFixedSize(480, 420);

    heading = MakeLabel(this, QStringLiteral("Highscore"), 26, QColor(255, 215, 80),
                        QRect(24, 16, 300, 56));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
    trophy = new TrophyPicture(this);
    trophy->setGeometry(372, 10, 90, 108);

    int x = 24;
    for (int t = 0; t < kTables; ++t) {
        QRadioButton* option =
            new QRadioButton(QStringLiteral("%1 Sekunden").arg(GameLengthOfTable(t + 1)), this);
        option->setFont(QFont(QStringLiteral("MS Sans Serif"), 10));
        option->setGeometry(x, 124, 130, 26);
        SetTextColour(option, kWhite);
        connect(option, &QRadioButton::clicked, this, [this, t] { ChooseTable(t + 1); });
        tableOptions[t] = option;
        x += 140;
    }
    tableOptions[0]->setChecked(true);
    SetTextColour(tableOptions[0], kRed);

    const auto placeholders = Highscore::DefaultScores(1);
    for (int i = 0; i < 4; ++i) {
        const int y = 164 + i * 36;
        placeLabels[i] =
            MakeLabel(this, QStringLiteral("%1.)").arg(i + 1), 12, kWhite, QRect(28, y, 44, 30));
        names[i] = MakeLabel(this, QStringLiteral("Nobody"), 12, kWhite, QRect(80, y, 250, 30));
        scores[i] = MakeLabel(this, QString::number(placeholders[i]), 12, QColor(255, 215, 80),
                              QRect(340, y, 110, 30), Qt::AlignRight);
    }

    onlineStrip = new OnlineStrip(this);
    onlineStrip->setGeometry(20, 318, 440, 38);
    connect(onlineStrip, &OnlineStrip::clicked, this, &HighscoreWindow::OpenOnline);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setGeometry(180, 368, 120, 34);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &HighscoreWindow::Confirm);
}

HighscoreWindow* HighscoreWindow::ShowWindow(QWidget* mainWindow, HighscoreEntry& entry,
                                             const QString& programDir) {
    auto* form = new HighscoreWindow(mainWindow, entry, programDir);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<HighscoreWindow> guard(form);
    if (!form->Open())
        return nullptr;
    return guard.data();
}

QString HighscoreWindow::GameIniPath() const {
    return programDir_ + QStringLiteral("/game.ini");
}

QString HighscoreWindow::ScorePath(int table) const {
    return Highscore::ScoreFilePath(programDir_, table);
}

void HighscoreWindow::Message(const QString& text) {
    Platform::Instance().MessageBox(this, MsgIcon::None,
                                    QStringLiteral("SWK Wolkenfang 3.63 Release C"), text);
}

QString HighscoreWindow::AskName(int place) {
    const QString prompt = QStringLiteral(
                               "Wow !!! Sie haben eine neue Highscore aufgestellt . Bitte tippen "
                               "sie ihren Namen ein ! (Platz %1)")
                               .arg(place);
    const std::optional<QString> typed = Platform::Instance().InputBox(
        this, QStringLiteral("Neue Highscore"), prompt, QStringLiteral("Default"));
    return typed.value_or(QString());
}

bool HighscoreWindow::LoadTables() {
    Highscore& tables = Highscore::Instance();
    for (int t = 1; t <= kTables; ++t) {
        const auto d = Highscore::DefaultScores(t);
        results_[t - 1] = tables.LoadTableOrDefaults(ScorePath(t), t, d[0], d[1], d[2], d[3]);
    }
    bool all = true;
    for (int result : results_) {
        if (result == 0) {
            Message(QStringLiteral(
                "Fehler beim Laden einer Highscore-Tabelle. Highscore wird nicht angezeigt"));
            all = false;
        }
    }
    return all;
}

void HighscoreWindow::SaveTables() {
    Highscore& tables = Highscore::Instance();
    for (int t = 1; t <= kTables; ++t)
        results_[t - 1] = tables.SaveTable(ScorePath(t), t);
    // A game installed where nothing can be written stays playable: the
    // message is all, the window keeps showing the tables as they are.
    for (int result : results_) {
        if (result == 0) {
            Message(
                QStringLiteral("Fehler beim Speichern einer Highscore-Tabelle (Es werden keine "
                               "neuen Scores gespeichert)"));
        }
    }
}

bool HighscoreWindow::Open() {
    if (!HighscoreSite(GameIniPath())) {
        onlineStrip->SetText(QStringLiteral("Online Highscore - keine Seite eingerichtet"));
    } else {
        onlineStrip->SetText(entry_.pending
                                 ? QStringLiteral("Online Highscore - Jetzt eintragen !!!")
                                 : QStringLiteral("Online Highscore - Jetzt ansehen !!!"));
    }
    if (!LoadTables()) {
        close();
        return false;
    }
    if (mainWindow_)
        BorrowOwner(this, mainWindow_);
    if (entry_.pending) {
        Highscore::Instance().InsertScore(entry_.table, entry_.score,
                                          [this](int place) { return AskName(place); });
    }
    SaveTables();
    if (!LoadTables()) {
        close();
        return false;
    }
    const bool entryTableKnown = entry_.table >= 1 && entry_.table <= kTables;
    const int table = entry_.pending && entryTableKnown ? entry_.table : 1;
    ShowTable(table);
    MarkOption(table);
    show();
    // An open window that takes a new entry comes to the front.
    raise();
    activateWindow();
    return true;
}

void HighscoreWindow::MarkOption(int table) {
    QRadioButton* option = tableOptions[table >= 2 && table <= kTables ? table - 1 : 0];
    option->setChecked(true);
    SetTextColour(option, kRed);
    shownTable_ = table >= 1 && table <= kTables ? table : 1;
}

void HighscoreWindow::ShowTable(int table) {
    for (QRadioButton* option : tableOptions)
        SetTextColour(option, kWhite);
    Highscore& tables = Highscore::Instance();
    for (int i = 0; i < 4; ++i) {
        names[i]->setText(tables.GetEntry(table, 1, i + 1));
        scores[i]->setText(tables.GetEntry(table, 0, i + 1));
    }
}

void HighscoreWindow::ChooseTable(int table) {
    ShowTable(table);
    MarkOption(table);
}

void HighscoreWindow::Confirm() {
    SaveTables();
    entry_.pending = false;
    close();
}

// Without a site nothing leaves the machine: the player learns where one
// is set up.
void HighscoreWindow::OpenOnline() {
    const std::optional<QString> site = HighscoreSite(GameIniPath());
    if (!site) {
        Platform::Instance().MessageBox(
            this, MsgIcon::Information, QStringLiteral("Online Highscore"),
            QStringLiteral("Für Wolkenfang ist keine Online-Highscore-Seite eingerichtet. Ihre "
                           "Adresse gehört in die Datei ") +
                GameIniPath() +
                QStringLiteral(", Abschnitt [game], zum Beispiel: "
                               "highscoreseite=https://highscore.example.org"));
        return;
    }
    if (entry_.pending) {
        entry_.pending = false;
        Platform::Instance().OpenUrl(SubmitUrl(entry_.table, entry_.score, *site));
    } else {
        Platform::Instance().OpenUrl(ViewUrl(*site));
    }
}

void HighscoreWindow::closeEvent(QCloseEvent* event) {
    entry_.pending = false;
    event->accept();
}

void HighscoreWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient night(0, 0, 0, height());
    night.setColorAt(0.0, QColor(14, 26, 72));
    night.setColorAt(1.0, QColor(4, 8, 30));
    painter.fillRect(rect(), night);
}

}  // namespace wf
