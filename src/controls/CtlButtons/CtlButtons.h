#pragma once
// One button in four looks: a command button (Stil 0), an oval (1), a rounded
// rectangle (2) or a plain rectangle (3), with its caption; clicks and mouse events
// go to the host. It can keep and restore its place, size and caption. Geometry
// towards the host is in twips.
#include <QCursor>
#include <QLabel>
#include <QPainterPath>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

// A label that reports clicks and mouse events as the runtime's controls do, also
// moves without a pressed button.
class CtlButtonsLabel : public QLabel {
    Q_OBJECT
public:
    explicit CtlButtonsLabel(QWidget* parent = nullptr);
    // Whether a point of the label answers the mouse.
    virtual bool Getroffen(const QPointF&) const { return true; }
signals:
    void Click();
    void MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void MouseUp(int16_t Button, int16_t Shift, float X, float Y);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool gedrueckt_ = false;
};

// The drawn shape: 0 rectangle, 2 oval, 4 rounded rectangle. While shown it answers
// the mouse everywhere inside its outline.
class CtlButtonsShape : public CtlButtonsLabel {
    Q_OBJECT
public:
    using CtlButtonsLabel::CtlButtonsLabel;
    int16_t Shape = 0;
    int16_t BorderWidth = 1;
    int32_t FillColor = 0;
    int32_t BorderColor = 0;
    QPainterPath Umriss(const QRectF& r) const;
    bool Getroffen(const QPointF& p) const override { return Umriss(QRectF(rect())).contains(p); }

protected:
    void paintEvent(QPaintEvent* e) override;
};

class CtlButtons : public QWidget {
    Q_OBJECT
    // Read by the window shaper.
    Q_PROPERTY(int Shape READ ShapeWert)
    Q_PROPERTY(int BorderWidth READ BorderWidthWert)
public:
    explicit CtlButtons(QWidget* parent = nullptr);

    void Save();
    void Restore();
    QString Aktion() const { return mAktion; }
    void setAktion(QString Wert) { mAktion = std::move(Wert); }
    int32_t BackColor() const { return mBackColor; }
    void setBackColor(int32_t Wert);
    void setStil(int16_t Wert);
    int16_t Shape() const;
    int32_t hwnd() const { return mHwnd; }
    void setCaption(const QString& Cap);
    void setTransparent(bool Wert);
    void setBorderWidth(int16_t Wert);
    int16_t BorderWidth() const { return mBorderWidth; }
    void setEnabled(bool Wert);
    void setMousePointer(int16_t Wert);
    void setMouseIcon(const QCursor& Wert);
    // Strictly inside, in the host's twips.
    bool PositionCheck(float X, float Y) const;

    // The parts, for hosts and tests.
    QPushButton& Command1() { return *command1_; }
    CtlButtonsLabel& Label1() { return *label1_; }
    CtlButtonsShape& Shape1() { return *shape1_; }
    CtlButtonsLabel& Picture1() { return *picture1_; }

signals:
    void Click();
    void MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void MouseUp(int16_t Button, int16_t Shift, float X, float Y);

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    struct Gespeichert {
        int16_t Left = 0, Top = 0, Height = 0, Width = 0;
        QString Caption;
    };
    int ShapeWert() const { return Shape(); }
    int BorderWidthWert() const { return mBorderWidth; }
    void LabelZentrieren();
    // While the shape shows, it takes the mouse also where the caption lies.
    void Mausziel();
    void UserControl_Resize();

    QPushButton* command1_;
    CtlButtonsLabel* label1_;
    CtlButtonsShape* shape1_;
    CtlButtonsLabel* picture1_;
    QString mAktion;
    int32_t mBackColor = 0;
    int16_t mStil = 0;
    int16_t mBorderWidth = 0;
    int16_t mMousePointer = 0;
    std::optional<QCursor> mMouseIcon;
    Gespeichert mGespeichert;
    int32_t mHwnd = 0;
};
