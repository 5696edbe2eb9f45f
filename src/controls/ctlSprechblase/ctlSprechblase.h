#pragma once
// A comic speech bubble: a rounded body with a text and a pointed tail whose tip the
// host puts on a point of its form. The tail is a fan of 41 lines from the tip to its
// base: white inside, black at the two edges. Geometry towards the host is in twips.
// Errors are not caught here: they reach the host procedure that set the property.
#include "platform/twipsgeom.h"

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class ctlSprechblase : public QWidget {
    Q_OBJECT
public:
    // One line of the tail; coordinates in twips relative to the control.
    struct Linie {
        int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
        int32_t BorderColor = 0;
        int BorderWidth = 3;
        bool Visible = false;
    };
    static constexpr int LinienZahl = 41;

    explicit ctlSprechblase(QWidget* parent = nullptr);

    // Below 0 is ignored.
    void setMyBorderWidth(int32_t Wert);
    int32_t MyBorderWidth() const { return mBorderWidth; }
    // 0 top, 1 right, 2 bottom right, 3 left bottom; other values keep the tail as drawn.
    void setPfeilposition(int32_t Wert);
    int32_t Pfeilposition() const { return mPfeilposition; }
    // Moves the control so that the tip (as last drawn) lies on the host's point.
    void PunktX(int32_t Wert);
    void PunktY(int32_t Wert);
    void setTextMy(const QString& Wert);
    QString TextMy() const { return label1_; }

    // Extender geometry in twips; a change of size redraws.
    int Left() const { return platform::TwLeft(this); }
    int Top() const { return platform::TwTop(this); }
    int Width() const { return platform::TwWidth(this); }
    int Height() const { return platform::TwHeight(this); }
    void setWidth(int v);
    void setHeight(int v);

    // As drawn last, for tests and painting.
    const platform::TwipsRect& Shape1() const { return shape1_; }
    const platform::TwipsRect& Label1() const { return label1Rect_; }
    // Index 0 always exists; 1 to 40 once the tail has been created.
    const Linie& Linien(int i) const { return linie_.at(static_cast<size_t>(i)); }
    bool LinienGeladen() const { return mLinienGeladen; }
    // Indexes of the existing lines from bottom to top.
    const std::vector<int>& Stapel() const { return stapel_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void UserControl_Initialize();
    void UserControl_Resize();
    void Neuzeichnen();
    void BlaseSetzen(int32_t Left, int32_t Top, int32_t Width, int32_t Height);
    void nachVorn(int i);
    void kante(int i);

    int32_t mBorderWidth = 3;
    int32_t mPfeilposition = 0;
    bool mLinienGeladen = false;
    platform::TwipsRect shape1_;
    platform::TwipsRect label1Rect_;
    QString label1_ = QStringLiteral("Text");
    std::array<Linie, LinienZahl> linie_{};
    std::vector<int> stapel_{0};
};
