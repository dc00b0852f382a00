#pragma once
// The highscore window: loads the three tables, enters a finished game's
// score, saves and reloads, and shows one table. Not modal; the main window
// stays disabled while it is open.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace wf {

struct HighscoreEntry;
class OnlineStrip;
class TrophyPicture;

class Form2 : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open (from the opening step
    // that disables it). entry, the hand-over from the end of a game, must
    // outlive the window: the window enters it and ends it.
    Form2(QWidget* mainWindow, HighscoreEntry& entry, QString programDir);

    // Creates a window that deletes itself when closed and opens it. nullptr
    // when it closed again at once (a table could not be loaded).
    static Form2* ShowWindow(QWidget* mainWindow, HighscoreEntry& entry, const QString& programDir);

    // The opening steps, then shows the window. false when a table could not
    // be loaded: the window is closed again without being shown. An open
    // window runs them again to take a new entry.
    bool Open();

    void ShowTable(int table);
    // The table whose option is marked (1..3).
    int ShownTable() const { return shownTable_; }

    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Command1_Click();
    void Picture1_Click();

    QLabel* Label5;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    std::array<QLabel*, 4> Nam;
    std::array<QLabel*, 4> Scor;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QPushButton* Command1;
    OnlineStrip* Picture1;
    TrophyPicture* Image1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QString ScorePath(int table) const;
    void Message(const QString& text);
    // The name prompt of a new entry; Cancel gives the empty name.
    QString AskName(int place);
    // One message per table that failed; false when any failed.
    bool LoadTables();
    void SaveTables();
    QRadioButton* OptionOf(int table) const;
    void MarkOption(int table);

    QPointer<QWidget> mainWindow_;
    HighscoreEntry& entry_;
    QString programDir_;
    std::array<int, 3> results_{};  // last load or save step, per table
    int shownTable_ = 1;
};

}  // namespace wf
