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

class HighscoreWindow : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open (from the opening step
    // that disables it). entry, the hand-over from the end of a game, must
    // outlive the window: the window enters it and ends it.
    HighscoreWindow(QWidget* mainWindow, HighscoreEntry& entry, QString programDir);

    // Creates a window that deletes itself when closed and opens it. nullptr
    // when it closed again at once (a table could not be loaded).
    static HighscoreWindow* ShowWindow(QWidget* mainWindow, HighscoreEntry& entry,
                                       const QString& programDir);

    // The opening steps, then shows the window. false when a table could not
    // be loaded: the window is closed again without being shown. An open
    // window runs them again to take a new entry.
    bool Open();

    void ShowTable(int table);
    // The table whose option is marked (1..3).
    int ShownTable() const { return shownTable_; }

    // The option of table 1, 2 or 3 chosen: its table shown.
    void ChooseTable(int table);
    // "OK": saves the tables and closes the window.
    void Confirm();
    // The strip: the online site, with the pending entry's result if any.
    void OpenOnline();

    QLabel* heading;
    std::array<QLabel*, 4> placeLabels;
    std::array<QLabel*, 4> names;
    std::array<QLabel*, 4> scores;
    std::array<QRadioButton*, 3> tableOptions;
    QPushButton* okButton;
    OnlineStrip* onlineStrip;
    TrophyPicture* trophy;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QString ScorePath(int table) const;
    QString GameIniPath() const;
    void Message(const QString& text);
    // The name prompt of a new entry; Cancel gives the empty name.
    QString AskName(int place);
    // One message per table that failed; false when any failed.
    bool LoadTables();
    void SaveTables();
    void MarkOption(int table);

    QPointer<QWidget> mainWindow_;
    HighscoreEntry& entry_;
    QString programDir_;
    std::array<int, 3> results_{};  // last load or save step, per table
    int shownTable_ = 1;
};

}  // namespace wf
