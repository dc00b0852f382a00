#include "Form2.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "Borrowing.h"
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

Form2::Form2(QWidget* mainWindow, HighscoreEntry& entry, QString programDir)
    : QWidget(nullptr), mainWindow_(mainWindow), entry_(entry), programDir_(std::move(programDir)) {
    setWindowTitle(QStringLiteral("Highscore"));
    setFixedSize(480, 420);

    Label5 = MakeLabel(this, QStringLiteral("Highscore"), 26, QColor(255, 215, 80),
                       QRect(24, 16, 300, 56));
    QFont heading = Label5->font();
    heading.setBold(true);
    Label5->setFont(heading);
    Image1 = new TrophyPicture(this);
    Image1->setGeometry(372, 10, 90, 108);

    Option1 = new QRadioButton(QStringLiteral("30 Sekunden"), this);
    Option2 = new QRadioButton(QStringLiteral("60 Sekunden"), this);
    Option3 = new QRadioButton(QStringLiteral("120 Sekunden"), this);
    int x = 24;
    for (QRadioButton* option : {Option1, Option2, Option3}) {
        option->setFont(QFont(QStringLiteral("MS Sans Serif"), 10));
        option->setGeometry(x, 124, 130, 26);
        SetTextColour(option, kWhite);
        x += 140;
    }
    Option1->setChecked(true);
    SetTextColour(Option1, kRed);
    connect(Option1, &QRadioButton::clicked, this, &Form2::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form2::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &Form2::Option3_Click);

    std::array<QLabel**, 4> numbers{&Label1, &Label2, &Label3, &Label4};
    const auto placeholders = Highscore::DefaultScores(1);
    for (int i = 0; i < 4; ++i) {
        const int y = 164 + i * 36;
        *numbers[i] =
            MakeLabel(this, QStringLiteral("%1.)").arg(i + 1), 12, kWhite, QRect(28, y, 44, 30));
        Nam[i] = MakeLabel(this, QStringLiteral("Nobody"), 12, kWhite, QRect(80, y, 250, 30));
        Scor[i] = MakeLabel(this, QString::number(placeholders[i]), 12, QColor(255, 215, 80),
                            QRect(340, y, 110, 30), Qt::AlignRight);
    }

    Picture1 = new OnlineStrip(this);
    Picture1->setGeometry(20, 318, 440, 38);
    connect(Picture1, &OnlineStrip::clicked, this, &Form2::Picture1_Click);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(180, 368, 120, 34);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

Form2* Form2::ShowWindow(QWidget* mainWindow, HighscoreEntry& entry, const QString& programDir) {
    auto* form = new Form2(mainWindow, entry, programDir);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<Form2> guard(form);
    if (!form->Open())
        return nullptr;
    return guard.data();
}

QString Form2::ScorePath(int table) const {
    return Highscore::ScoreFilePath(programDir_, table);
}

void Form2::Message(const QString& text) {
    Platform::Instance().MessageBox(this, MsgIcon::None,
                                    QStringLiteral("SWK Wolkenfang 3.63 Release C"), text);
}

QString Form2::AskName(int place) {
    const QString prompt = QStringLiteral(
                               "Wow !!! Sie haben eine neue Highscore aufgestellt . Bitte tippen "
                               "sie ihren Namen ein ! (Platz %1)")
                               .arg(place);
    const std::optional<QString> typed = Platform::Instance().InputBox(
        this, QStringLiteral("Neue Highscore"), prompt, QStringLiteral("Default"));
    return typed.value_or(QString());
}

bool Form2::LoadTables() {
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

void Form2::SaveTables() {
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

bool Form2::Open() {
    Picture1->SetText(entry_.EntryPending ? QStringLiteral("Online Highscore - Jetzt eintragen !!!")
                                          : QStringLiteral("Online Highscore - Jetzt ansehen !!!"));
    if (!LoadTables()) {
        close();
        return false;
    }
    if (mainWindow_)
        BorrowOwner(this, mainWindow_);
    if (entry_.EntryPending) {
        Highscore::Instance().InsertScore(entry_.EntryTable, entry_.Score(),
                                          [this](int place) { return AskName(place); });
    }
    SaveTables();
    if (!LoadTables()) {
        close();
        return false;
    }
    const bool entryTableKnown = entry_.EntryTable >= 1 && entry_.EntryTable <= kTables;
    const int table = entry_.EntryPending && entryTableKnown ? entry_.EntryTable : 1;
    ShowTable(table);
    MarkOption(table);
    show();
    // An open window that takes a new entry comes to the front.
    raise();
    activateWindow();
    return true;
}

QRadioButton* Form2::OptionOf(int table) const {
    switch (table) {
        case 2:
            return Option2;
        case 3:
            return Option3;
        default:
            return Option1;
    }
}

void Form2::MarkOption(int table) {
    QRadioButton* option = OptionOf(table);
    option->setChecked(true);
    SetTextColour(option, kRed);
    shownTable_ = table >= 1 && table <= kTables ? table : 1;
}

void Form2::ShowTable(int table) {
    for (QRadioButton* option : {Option1, Option2, Option3})
        SetTextColour(option, kWhite);
    Highscore& tables = Highscore::Instance();
    for (int i = 0; i < 4; ++i) {
        Nam[i]->setText(tables.GetEntry(table, 1, i + 1));
        Scor[i]->setText(tables.GetEntry(table, 0, i + 1));
    }
}

void Form2::Option1_Click() {
    ShowTable(1);
    MarkOption(1);
}

void Form2::Option2_Click() {
    ShowTable(2);
    MarkOption(2);
}

void Form2::Option3_Click() {
    ShowTable(3);
    MarkOption(3);
}

void Form2::Command1_Click() {
    SaveTables();
    entry_.EntryPending = false;
    close();
}

void Form2::Picture1_Click() {
    if (entry_.EntryPending) {
        entry_.EntryPending = false;
        Platform::Instance().OpenUrl(SubmitUrl(entry_.EntryTable, entry_.Score()));
    } else {
        Platform::Instance().OpenUrl(ViewUrl());
    }
}

void Form2::closeEvent(QCloseEvent* event) {
    entry_.EntryPending = false;
    event->accept();
}

void Form2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient night(0, 0, 0, height());
    night.setColorAt(0.0, QColor(14, 26, 72));
    night.setColorAt(1.0, QColor(4, 8, 30));
    painter.fillRect(rect(), night);
}

}  // namespace wf
