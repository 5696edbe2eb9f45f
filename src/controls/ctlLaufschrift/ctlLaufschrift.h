#pragma once
// A news ticker: one line of text moving right to left, 4 pixels per step, two copies
// back to back so the line never runs dry. Clock and countdown tokens in the text are
// replaced by live values before each step. The control's own timer drives the steps
// while it scrolls; a host may call TimerCallback for further steps.
#include "platform/vbtimer.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>

class ctlLaufschrift : public QWidget {
    Q_OBJECT
public:
    explicit ctlLaufschrift(QWidget* parent = nullptr);
    ~ctlLaufschrift() override;

    void TimerCallback(int32_t TimerID);
    int32_t HwndMy() const { return mHwnd; }
    void setLaufschrifttext(const QString& Wert);
    QString Laufschrifttext() const { return mLaufschrifttext; }
    void setTextfarbe(int32_t Wert);
    int32_t Textfarbe() const { return mTextfarbe; }
    void setHintergrundfarbe(int32_t Wert);
    // Stored as a 16-bit value: above 32767 is error 6.
    void setGeschwindigkeit(int32_t Wert);
    QString Textersetzen(const QString& InText) const;

    // For hosts and tests: the surface as last drawn, where the text starts, the font.
    const QImage& Bild() const { return mBild; }
    int32_t XPos() const { return mXPos; }
    const QFont& Schrift() const { return mFont; }
    const platform::VbTimer& Timer1() const { return timer1_; }
    int32_t TimerID() const { return mTimerID; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void ScrollStep();
    void StartScroll();
    void StopScroll();
    void ScrollLoop();
    void Pause(float Millisekunden, int16_t Flag);
    void TwipsPerPixel();
    void UserControl_Resize();
    void Timer1_Timer();

    platform::VbTimer timer1_;
    QImage mBild;
    QFont mFont;
    QString mLaufschrifttext;
    int32_t mXPos = 1;
    int16_t mGeschwindigkeit = 25;
    int32_t mTimerID = 0;
    int32_t mHwnd = 0;
    int32_t mTextfarbe = 0xFF00;
    int32_t mHintergrundfarbe = 0;
    bool mSchleife = false;  // loop mode: nothing switches it on
    int16_t mStop = 0;
    int16_t mTwipsPerPixel = 0;
};
