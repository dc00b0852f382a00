#pragma once
// The information window: version, credits and links to the project's own
// web pages.
#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace wf {

class LinkLabel;

class Form4 : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open and deletes itself
    // when it closes.
    explicit Form4(QWidget* mainWindow);

    // An address below the project's site, page starting with "/".
    static QString SiteAddress(const QString& page);

    // The links open their address and leave the window open.
    void Image1_Click();
    void Label13_Click();
    void Label14_Click();
    void Label15_Click();
    void Label17_Click();
    void Command1_Click();  // "OK"

    QLabel* versionLabel;
    LinkLabel* Image1;
    LinkLabel* Label13;
    LinkLabel* Label14;
    LinkLabel* Label15;
    LinkLabel* Label17;
    QPushButton* Command1;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<QWidget> mainWindow_;
};

}  // namespace wf
