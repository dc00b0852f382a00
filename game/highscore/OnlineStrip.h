#pragma once
// The clickable strip of the highscore window that leads to the online
// highscore pages. Its one line of text is centred in bold Verdana 12.
#include <QString>
#include <QWidget>

namespace wf {

class OnlineStrip : public QWidget {
    Q_OBJECT
  public:
    explicit OnlineStrip(QWidget* parent = nullptr);

    void SetText(const QString& text);
    const QString& Text() const { return text_; }
    // Top-left corner of the text: half the room left by its width and by
    // the height of an "O".
    QPoint TextStart() const;

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QString text_;
    bool pressed_ = false;
};

}  // namespace wf
