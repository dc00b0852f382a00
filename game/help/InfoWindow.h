#pragma once
// The information window: version, credits and links to the project's own
// web pages.
#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace wf {

class LinkLabel;

class InfoWindow : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open and deletes itself
    // when it closes.
    explicit InfoWindow(QWidget* mainWindow);

    // An address below the project's site, page starting with "/".
    static QString SiteAddress(const QString& page);

    // The links open their address and leave the window open.
    void OpenMakerPage();
    void OpenPartnerPage1();
    void OpenPartnerPage2();
    void OpenAdSignUpPage();
    void Confirm();  // "OK"

    QLabel* versionLabel;
    LinkLabel* logo;
    LinkLabel* partnerLink1;
    LinkLabel* partnerLink2;
    LinkLabel* makerLink;
    LinkLabel* adSignUpLink;
    QPushButton* okButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<QWidget> mainWindow_;
};

}  // namespace wf
