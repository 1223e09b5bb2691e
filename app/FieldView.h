// The field on the screen: the widget that shows the field picture and takes the keys.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

namespace kestrum {

class X11FieldOutput;

// Shows the persistent field picture; repaints only what it is asked to.
class FieldView : public QWidget {
    Q_OBJECT
public:
    FieldView(QWidget* parent, const QImage& image);
    ~FieldView() override;
    std::function<void(QKeyEvent*)> onKey;
    // Called once, when the field has been painted for the first time.
    std::function<void()> onFirstPaint;

    // On X11, once the field has been shown, it takes a window of its own that its cells
    // are put into directly (see X11FieldOutput); elsewhere Qt paints it as before.
    void takeOwnWindow();
    QPaintEngine* paintEngine() const override;

    // A line of text centred on `centre` over the field picture while the game waits; an
    // empty text takes it away. The picture itself is never drawn on, so nothing of the
    // text stays behind.
    void setNotice(const QString& text, QPoint centre);
    QString notice() const { return noticeText_; }
    QRect noticeRect() const { return noticeRect_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }  // Tab is a game key too

private:
    // The picture's part under the notice with the notice drawn over it.
    QImage noticeOverPicture() const;

    const QImage& image_;
    QString noticeText_;
    QRect noticeRect_;
    QImage noticeImage_;  // the outlined text, transparent around it
    bool painted_ = false;
    bool direct_ = false;
    std::unique_ptr<X11FieldOutput> output_;
};

}  // namespace kestrum
