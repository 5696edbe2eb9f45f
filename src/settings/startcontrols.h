#pragma once
// Two small controls of the start dialog: the colour swatch and the clickable label.
#include <QFrame>
#include <QLabel>
#include <cstdint>

// A picture box that shows nothing but its BackColor (&HBBGGRR).
class ColourSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget* parent = nullptr);
    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t colour);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int32_t backColor_ = 0;
};

// A label that raises Click on a left-button release over it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};
