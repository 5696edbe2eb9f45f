#pragma once
// The page about further products: two pictures fade in while the lines of a text block
// beside each fly in from the right, then the letters of the two contact lines fly in one
// by one (a strip fading in at the first), and finally OK closes the page. The page
// measures in pixels; text is printed onto the page itself, the label only carries the
// piece in flight. A page is created for each showing and destroyed after its modal loop.
#include "platform/vbtimer.h"

#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class Funbutton;

class frmWerbung : public QWidget {
    Q_OBJECT
public:
    // Shows the page modally and returns once it is closed (the main screen's opener).
    static void Anzeigen(QWidget* parent = nullptr);

    // Tests: receives the loaded and shown page in place of the modal loop; the page is
    // destroyed when the hook returns. The hook runs Form_Activate itself.
    using ShowHook = std::function<void(frmWerbung&)>;
    static void setShowHook(ShowHook hook);

    ~frmWerbung() override;

    // Events of the page (reachable for the tests).
    void Form_Load();
    void Form_Activate();
    void Timer1_Timer();
    void FunbuttonOK_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    // Zeilen[0] is the block's title (line 1).
    void TextAnimieren(const QStringList& Zeilen, int16_t X, int16_t Y);
    void ZeileAnimieren(const QString& Text, float Groesse, int16_t X, int16_t Y, bool Gesperrt);

    // State for tests and for the picture of the page.
    int16_t BlendWert() const { return mBlendWert; }
    bool BlendAktiv() const { return mBlendAktiv; }
    bool BlendAbnehmend() const { return mBlendAbnehmend; }
    int16_t BildIndex() const { return mBildIndex; }
    bool Abbruch() const { return mAbbruch; }
    bool Geschlossen() const { return mGeschlossen; }
    const platform::VbTimer& Timer1() const { return timer1_; }
    Funbutton& FunbuttonOK() const { return *funbuttonOK_; }
    QLabel& picDest(int i) const { return *picDest_.at(static_cast<size_t>(i)); }
    // What the box shows (its background until the first fade step).
    const QImage& picDestBild(int i) const { return destBild_.at(static_cast<size_t>(i)); }
    const QImage& PicInfo(int i) const { return picInfo_.at(static_cast<size_t>(i)); }
    QLabel& lblText() const { return *lblText_; }
    // Everything printed onto the page so far (cleared only by a new page).
    const QImage& Gedruckt() const { return print_; }
    // The texts as printed, one entry per print call, with its place.
    struct Druck {
        QString text;
        QPoint pos;
    };
    const std::vector<Druck>& Drucke() const { return drucke_; }

    // The page's content.
    static QStringList Block1();
    static QStringList Block2();
    static QString Kontakt1();
    static QString Kontakt2();

protected:
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    explicit frmWerbung(QWidget* parent);

    void BlendeStarten(int16_t Index);
    // One flight of lblText from x = 1000 to cx; False when the page was stopped meanwhile.
    bool Fliegen(const QString& Stueck, int cx, int ly, int Schritt, int Warten);
    void SchriftSetzen(const QFont& f);  // the page's and the label's font
    void Drucken(const QString& Text);  // prints at the print position, moves it right
    bool Beendet() const;               // OK, closed, or the program ends
    void Schliessen();

    platform::VbTimer timer1_;
    std::array<QLabel*, 3> picDest_{};
    std::array<QImage, 3> picInfo_;
    std::array<QImage, 3> destBild_;  // what each picDest box shows
    QLabel* lblText_ = nullptr;
    QPoint positionslabel1_{252, 368};
    QPoint positionslabel2_{228, 412};
    Funbutton* funbuttonOK_ = nullptr;
    QImage print_;
    QFont printFont_;
    QPoint printPos_;
    std::vector<Druck> drucke_;

    int16_t mBlendWert = 250;
    bool mBlendAbnehmend = true;
    int16_t mBildIndex = 0;
    bool mBlendAktiv = false;
    bool mAbbruch = false;
    bool mGeschlossen = false;
    bool mAktiviert = false;
    class QEventLoop* loop_ = nullptr;
};
