#pragma once
// Placed on a form, cuts the form's window down to the outlines of its visible controls,
// keeps it above other windows on request and lets the host start a drag of the window.
// Controls are matched by object name; a control's dynamic properties "Shape" and
// "BorderWidth" give ovals, rounded rectangles and hollow frames.
#include <QList>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

class FormX : public QWidget {
    Q_OBJECT
public:
    explicit FormX(QWidget* parent = nullptr);
    ~FormX() override;

    // Read by the next region build.
    QWidget* IgnoreControl = nullptr;
    QWidget* DoChildControlsInControl = nullptr;
    QList<QWidget*> ChildControls;
    QString ControlWithShapeProperty;
    QString ControlWithBorderWidthProperty;

    // What the saved form gives the control at its creation.
    void ReadProperties(int32_t Transparent = 0, bool TopMost = false);

    int32_t Transparent() const { return mTransparent; }
    // 0 whole window, 1 the visible controls, 2 the same but invisible without any,
    // 3 invisible. Other values: error 380.
    void setTransparent(int32_t New_Transparent);
    bool TopMost() const { return mTopMost; }
    void setTopMost(bool New_TopMost);
    void DragForm();
    void Refresh();

    // The region handed to the window (client coordinates); none while the window is whole.
    const std::optional<QRegion>& Fensterregion() const { return mRgn; }

    // The host's events (also taken from the host's own event stream).
    void eForm_Load();
    void eForm_Resize();
    void eForm_Unload();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void MakeRegion();
    void AddControlRegion(QWidget* c, bool mitContainertest);
    void RemoveRegion(bool RahmenZurueck = true);
    void ApplyTopMost();
    // A shaped window has no frame: the shape is its whole outline.
    void Rahmenlos(bool an);
    void Fensterflag(Qt::WindowType flag, bool an);
    void UserControl_Resize();

    QPointer<QWidget> eForm;
    QString mFormName;
    int32_t mTransparent = 0;
    bool mTopMost = false;
    bool mPending = false;
    bool mGeladen = false;
    bool mInResize = false;
    bool mRahmenGenommen = false;
    int32_t mSavedLeft = 0, mSavedTop = 0;
    std::optional<QRegion> mRgnBuild;
    std::optional<QRegion> mRgn;
};
