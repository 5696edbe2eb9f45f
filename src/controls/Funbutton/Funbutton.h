#pragma once
// The touch button behind every guest button: one picture (its shape), a face colour
// and Ini render a normal, a pressed and a crossed-out face. A press shows the pressed
// face (or the crossed-out one when refused), raises MouseDown, Click and, when refused,
// ClickDisabled; a held accepted press repeats Click. The button can blink.
// Sizes and positions towards the host are in twips, the faces in pixels.
#include "controls/Funbutton/FunbuttonExtras.h"
#include "platform/vbtimer.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

class Funbutton : public QWidget {
    Q_OBJECT
public:
    explicit Funbutton(QWidget* parent = nullptr);
    ~Funbutton() override;

    // True: only presses of the right mouse button are accepted.
    bool OnlyRight = false;
    // Face colour for the next Ini.
    int32_t ColorMy = 0;

    int16_t IniState() const { return mIniState; }
    bool Blinken() const { return mBlinken; }
    void setBlinken(bool Wert);
    // The button's own enabled state: a refused press still raises its events, so the
    // widget itself is never disabled.
    bool Enabled() const { return mEnabled; }
    bool isEnabled() const { return mEnabled; }
    void setEnabled(bool Wert);
    bool EnabledRechts() const { return mEnabledRechts; }
    void setEnabledRechts(bool Wert);
    bool EnabledLinks() const { return mEnabledLinks; }
    void setEnabledLinks(bool Wert);
    bool RepeatEnabled() const { return mRepeatEnabled; }
    void setRepeatEnabled(bool Wert) { mRepeatEnabled = Wert; }
    int32_t Color() const { return shapeFill_; }
    void setColor(int32_t Wert);
    int32_t Schattenfarbe() const { return mSchattenfarbe; }
    void setSchattenfarbe(int32_t Wert) { mSchattenfarbe = Wert; }
    // Setting the picture renders the faces at once (Ini with 100).
    const QImage& PictureMy() const { return mPictureMy; }
    void setPictureMy(const QImage& Pic);
    // The picture as the saved form hands it over at creation: kept, not yet rendered
    // (the host's Ini renders it).
    void ReadPictureMy(const QImage& Pic) { mPictureMy = Pic; }
    // A caption printed onto the faces, centred on the shape, in black or white, whichever
    // reads better on the face: the picture gives only a shape, so letters cut out of it
    // would show the background and the shadow instead. Shows from the next Ini.
    void setBeschriftung(const QString& Text, const QFont& Schrift);
    // Centre in the host's coordinates (twips).
    int32_t X() const { return mX; }
    void setX(int32_t Wert);
    int32_t Y() const { return mY; }
    void setY(int32_t Wert);

    // Renders the faces; call once the button has its final size and the container
    // its final background colour.
    void Ini(int16_t Prozent);

    // Into PicMask a black mask of the non-white pixels of PicIn.
    void MakeMask(const QImage& PicIn, QImage& PicMask);
    // A band of colour Farbe around the outside of the non-white shape in Pic.
    void ZeichneRand(QImage& Pic, int16_t Breite, int32_t Farbe);

    // The faces as rendered (0 normal, 1 pressed, 2 refused) and whether each shows.
    const QImage& Flaeche(int i) const { return faces_.at(static_cast<size_t>(i)); }
    bool FlaecheSichtbar(int i) const { return visible_.at(static_cast<size_t>(i)); }
    // Border colour of the focus frame.
    int32_t Randfarbe() const { return shapeBorder_; }
    bool Gedrueckt() const { return mGedrueckt != 0; }
    const platform::VbTimer& TimerRepeat() const { return timerRepeat_; }
    const platform::VbTimer& TimerVerzoegerung() const { return timerVerzoegerung_; }
    const platform::VbTimer& TimerBlinken() const { return timerBlinken_; }

signals:
    void Click();
    void ClickDisabled();
    void MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void MouseUp(int16_t Button, int16_t Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool event(QEvent* e) override;

private:
    enum Face { Picture1 = 0, Picture2 = 1, Picture3 = 2 };

    void Druecken(int16_t Button, int16_t Shift, float X, float Y);
    void Loslassen(int16_t Button, int16_t Shift, float X, float Y);
    void ZeichneFlaechen(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe);
    // The three arrays into the faces, on the container's colour.
    void FlaechenSetzen(const PixelArray& N, const PixelArray& D, const PixelArray& R);
    // Spare members that nothing calls. The sprite mover draws on Host with the sprite
    // Bild, picHidden_ and picXMask_; the picture scaler fills the first two faces.
    void BildVerschieben(QImage& Host, const QImage& Bild);
    void BilderSkalieren(int16_t Prozent);
    void ZeichneFlaechenAlt(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe);
    void ZeichneSchattenAlt(int32_t p, const PixelArray& S, PixelArray& T);
    void SchattenAufBild(const QImage& Bitmap, QImage& Ziel);
    void TimerBlinken_Timer();
    void TimerRepeat_Timer();
    void TimerVerzoegerung_Timer();
    // The press ends without a release reaching the button (hidden, or a modal window
    // took the input): no repeat may go on.
    void PressAbbrechen();
    void zeige(Face f, bool on);
    void Durchkreuzen();  // the crossed-out face in place of the pressed one
    void Ruhebild();      // the normal face alone
    // Control size := the face's size; mBreite, mHoehe follow.
    void GroesseVonFlaeche();
    int32_t ContainerFarbe() const;

    platform::VbTimer timerBlinken_;
    platform::VbTimer timerRepeat_;
    platform::VbTimer timerVerzoegerung_;

    std::array<QImage, 3> faces_;
    std::array<bool, 3> visible_{true, false, false};
    std::optional<QSize> faceSize_;  // set by Ini
    std::optional<int32_t> backColor_;
    int32_t shapeFill_ = 0;
    bool shapeFilled_ = false;
    int32_t shapeBorder_ = 0;
    bool pressOnSurface_ = false;

    QImage mPictureMy;
    QString beschriftung_;
    QFont beschriftungSchrift_;
    void Beschriften(int32_t p, int16_t OffsetX, int16_t OffsetY);
    QImage picHidden_, picXMask_;
    SpriteLage mSprite;
    int32_t mX = 0, mY = 0;
    int32_t mBreite = 0, mHoehe = 0;
    int32_t mSchattenfarbe = 0;
    int16_t mGedrueckt = 0;
    int16_t mMaustaste = 0;
    int16_t mBlinkPhase = 0;
    bool mBlinken = false;
    bool mRepeatEnabled = false;
    bool mEnabled = true;
    bool mEnabledLinks = true;
    bool mEnabledRechts = true;
    int16_t mIniState = 0;
};
