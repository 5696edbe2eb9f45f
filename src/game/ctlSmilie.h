#pragma once
// One cell of the tic-tac-toe board: a smiley face built from a stack of simple shapes.
// Hidden, the cell shows only its background square; shown, a face in its colour that
// smiles or frowns. Any mouse button going down on it raises Click.
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

class ctlSmilie : public QWidget {
    Q_OBJECT
public:
    explicit ctlSmilie(QWidget* parent = nullptr);

    // One shape of the face. Positions in twips.
    struct Shape {
        QString name;       // e.g. "Shape5(3)"
        bool oval = false;  // oval or rectangle
        QRect twips;
        bool filled = true;
        int32_t fill = 0;
        bool outlined = false;  // black outline
        int lineWidthPx = 1;
        QString tag;
        bool visible = true;
    };

    // The background square takes the colour of the form that holds the cell.
    void Ini();
    void setFarbe(int32_t Wert);
    int32_t Farbe();
    void Mund(bool Gewonnen);
    void setVisibleMy(bool Wert);
    bool VisibleMy();

    // The stack, topmost shape first.
    const std::vector<Shape>& shapes() const { return shapes_; }
    const Shape& shape(const QString& name) const;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void UserControl_Click();
    void UserControl_Initialize();
    void VisibleMy2(bool Wert);
    void UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    Shape& shapeRef(const QString& name);

    std::vector<Shape> shapes_;
    int32_t mFarbe = 0;
    bool mVisibleMy = false;
    bool mGewonnen = false;
};
