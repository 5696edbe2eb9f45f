#include "platform/input.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"

#include "base/ErrorHandler.h"
#include "controls/ctlVirtuelleTastatur/TastaturLayout.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/program.h"
#include "platform/mixer.h"
#include "platform/twipsgeom.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <cmath>

namespace {

using platform::vbButton;
using platform::vbShift;

const QString kObjekt = QStringLiteral("ctlVirtuelleTastatur");
constexpr double kTastenPunkte = 24;     // letter keys
constexpr double kSonderPunkte = 15.75;  // special keys
constexpr int kIcon = 32;                // pixels

// The return arrow of the Enter key and the left arrow of the Backspace key,
// black on a transparent 32 x 32 field.
QIcon arrowIcon(bool returnArrow) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const int y = returnArrow ? 22 : 16;
    if (returnArrow) p.drawRect(24, 4, 4, 20);  // the bar down the right side
    p.drawRect(12, y - 2, returnArrow ? 16 : 17, 4);
    p.drawPolygon(QPolygon({QPoint(3, y), QPoint(13, y - 8), QPoint(13, y + 8)}));
    return QIcon(pm);
}

// Brings a window of this program to the front; 0 names no window.
void SwitchToThisWindow(int32_t hwnd, bool /*fAltTab*/) {
    if (hwnd == 0) return;
    QWidget* w = QWidget::find(static_cast<WId>(static_cast<uint32_t>(hwnd)));
    if (!w) return;
    w->window()->raise();
    w->window()->activateWindow();
}

// The keystroke goes to the widget with the focus in the active window and is
// processed before this returns.
void sendEnterToActiveWindow() {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    if (!target) return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(target, &release);
}

void playClick() {
    const QString file = platform::appPath() + QStringLiteral("/klick.wav");
    if (QFile::exists(file)) platform::playSoundAsync(file);  // a missing sound is no error
}


}  // namespace

// ---- TastaturTaste ----

TastaturTaste::TastaturTaste(ctlVirtuelleTastatur* owner, int16_t index, QWidget* parent)
    : QPushButton(parent), owner_(owner), index_(index), backColor_(platform::vbButtonFace) {
    setFocusPolicy(Qt::NoFocus);
    setBackColor(backColor_);
    if (index_ < tastatur::EnterTaste) {
        connect(this, &QPushButton::clicked, this, [this] {
            platform::guardEvent("ctlVirtuelleTastatur", "cmdKey_Click", [&] { owner_->cmdKey_Click(index_); });
        });
    }
}

void TastaturTaste::setBackColor(int32_t c) {
    backColor_ = c;
    QPalette p = palette();
    p.setColor(QPalette::Button, platform::vbColor(c));
    setPalette(p);
}

void TastaturTaste::mousePressEvent(QMouseEvent* e) {
    QPushButton::mousePressEvent(e);
    const int16_t button = vbButton(e->button());
    const int16_t shift = vbShift(e->modifiers());
    const float x = static_cast<float>(e->position().x() * 15.0);
    const float y = static_cast<float>(e->position().y() * 15.0);
    const bool sonder = index_ >= tastatur::EnterTaste && owner_->cmdSonder(index_) == this;
    platform::guardEvent("ctlVirtuelleTastatur", sonder ? "cmdSonder_MouseDown" : "cmdKey_MouseDown", [&] {
        if (sonder)
            owner_->cmdSonder_MouseDown(index_, button, shift, x, y);
        else
            owner_->cmdKey_MouseDown(index_, button, shift, x, y);
    });
    if (!isVisible()) setDown(false);  // hidden by the press: no release will come
}

void TastaturTaste::paintEvent(QPaintEvent* e) {
    const bool fits = fontMetrics().horizontalAdvance(text()) <= width() - 8;
    if (icon().isNull() && fits) {
        QPushButton::paintEvent(e);
        return;
    }
    // As the graphical buttons show it: the picture centred above the caption,
    // and a caption too long for one line wrapped at its blanks.
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    opt.icon = QIcon();
    p.drawControl(QStyle::CE_PushButton, opt);
    const QSize is = icon().isNull() ? QSize(0, 0) : iconSize();
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;
    const QRect textRect = fontMetrics().boundingRect(QRect(4, 0, width() - 8, height()), flags, text());
    const int top = (height() - is.height() - textRect.height()) / 2;
    if (!icon().isNull()) p.drawPixmap((width() - is.width()) / 2, top, icon().pixmap(is));
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(QRect(4, top + is.height(), width() - 8, textRect.height()), flags, text());
}

// ---- ctlVirtuelleTastatur ----

ctlVirtuelleTastatur::ctlVirtuelleTastatur(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    // A panel of its own (the button face, as a control's surface is by default):
    // the screen beneath does not show between and beside the keys.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, platform::vbColor(platform::vbButtonFace));
    setPalette(pal);
    setAutoFillBackground(true);
    platform::setTwGeometry(this, 0, 0, tastatur::DesignBreite, tastatur::DesignHoehe);

    template_ = new TastaturTaste(this, 0, this);
    template_->setText(QStringLiteral("A"));
    template_->setFont(platform::vbFont(QStringLiteral("Courier New"), kTastenPunkte, true));
    platform::setTwGeometry(template_, 480, 1500, 975, 915);

    struct Design {
        int16_t index;
        const char* caption;
        int left, top;
        int icon;  // 0 none, 1 return arrow, 2 left arrow
    };
    const Design design[] = {{tastatur::EnterTaste, "Eingabe", 2160, 1320, 1},
                             {tastatur::LoeschenTaste, "Löschen", 3060, 60, 2},
                             {tastatur::HideTaste, "Tastatur ausblenden", 60, 0, 0}};
    for (const Design& d : design) {
        auto* k = new TastaturTaste(this, d.index, this);
        k->setText(QString::fromUtf8(d.caption));
        k->setFont(platform::vbFont(QStringLiteral("Courier New"), kSonderPunkte, true));
        if (d.icon) {
            k->setIcon(arrowIcon(d.icon == 1));
            k->setIconSize(QSize(kIcon, kIcon));
        }
        platform::setTwGeometry(k, d.left, d.top, tastatur::sonderBreite(d.index), 1155);
        sonder_[static_cast<size_t>(d.index - tastatur::EnterTaste)] = k;
    }
    UserControl_Initialize();
}

int ctlVirtuelleTastatur::Left() const { return platform::TwLeft(this); }
int ctlVirtuelleTastatur::Top() const { return platform::TwTop(this); }
int ctlVirtuelleTastatur::Width() const { return platform::TwWidth(this); }
int ctlVirtuelleTastatur::Height() const { return platform::TwHeight(this); }
void ctlVirtuelleTastatur::setLeft(int v) { platform::setTwLeft(this, v); }
void ctlVirtuelleTastatur::setTop(int v) { platform::setTwTop(this, v); }

void ctlVirtuelleTastatur::setSize(int width, int height) {
    platform::setTwips(this, platform::TwipsRect{Left(), Top(), width, height});
}

TastaturTaste* ctlVirtuelleTastatur::cmdKey(int16_t Index) const {
    if (Index == 0) return template_;
    const auto it = loaded_.find(Index);
    return it == loaded_.end() ? nullptr : it->second;
}

TastaturTaste* ctlVirtuelleTastatur::cmdSonder(int16_t Index) const {
    if (Index < tastatur::EnterTaste || Index > tastatur::HideTaste) return nullptr;
    return sonder_[static_cast<size_t>(Index - tastatur::EnterTaste)];
}

std::vector<int16_t> ctlVirtuelleTastatur::loadedKeys() const {
    std::vector<int16_t> v;
    for (const auto& [n, k] : loaded_) v.push_back(n);
    return v;
}

// A new element of the key array: a hidden copy of the template.
TastaturTaste* ctlVirtuelleTastatur::loadKey(int16_t Index) {
    TastaturTaste* k = cmdKey(Index);
    if (!k) {
        if (spare_.empty()) {
            k = new TastaturTaste(this, Index, this);
        } else {
            k = spare_.back();
            spare_.pop_back();
            k->index_ = Index;
        }
        loaded_[Index] = k;
    }
    k->hide();
    k->setText(template_->text());
    k->setFont(template_->font());
    k->setBackColor(template_->BackColor());
    platform::setTwips(k, platform::twips(template_));
    return k;
}

// Keys of an earlier layout are hidden and kept for the next one, never deleted:
// a key press may still be running inside the event pump when a new layout starts.
void ctlVirtuelleTastatur::unloadLetterKeys() {
    for (auto& [n, k] : loaded_) {
        k->hide();
        k->setDown(false);
        spare_.push_back(k);
    }
    loaded_.clear();
}

void ctlVirtuelleTastatur::UserControl_Initialize() {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Private Sub UserControl_Initialize()"));
    withErrorHandler(kObjekt, QStringLiteral("UserControl_Initialize"), [](ErrorHandler&) {});
}

// A letter key's number as the trace shows it: hidden like the password box hides the letter.
TraceValue ctlVirtuelleTastatur::tracedIndex(int16_t Index) const {
    return Verdeckt && Index < tastatur::EnterTaste ? TraceValue(QStringLiteral("#")) : TraceValue(Index);
}

void ctlVirtuelleTastatur::cmdKey_Click(int16_t Index) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Private Sub cmdKey_Click(Index As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Index"), tracedIndex(Index));
    withErrorHandler(kObjekt, QStringLiteral("cmdKey_Click"), [](ErrorHandler&) {});
}

namespace {
void registerMouseDown(const char* proc, const TraceValue& Index, int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Private Sub %1(Index As Integer, Button As Integer, "
                                      "Shift As Integer, X As Single, Y As Single)")
                           .arg(QLatin1String(proc)));
    ErrPtnr::CallStackParam(QStringLiteral("Y"), Y);
    ErrPtnr::CallStackParam(QStringLiteral("X"), X);
    ErrPtnr::CallStackParam(QStringLiteral("Shift"), Shift);
    ErrPtnr::CallStackParam(QStringLiteral("Button"), Button);
    ErrPtnr::CallStackParam(QStringLiteral("Index"), Index);
}
}  // namespace

void ctlVirtuelleTastatur::cmdKey_MouseDown(int16_t Index, int16_t Button, int16_t Shift, float X, float Y) {
    registerMouseDown("cmdKey_MouseDown", tracedIndex(Index), Button, Shift, X, Y);
    withErrorHandler(kObjekt, QStringLiteral("cmdKey_MouseDown"), [&](ErrorHandler& on) {
        // The caption of the key that was pressed, before the event pump can lay out anew.
        QString caption;
        on([&] {
            const TastaturTaste* k = cmdKey(Index);
            if (!k) platform::raise(9);
            caption = k->text();
        });
        on([&] { if (PlaySound) playClick(); });
        on([&] { SwitchToThisWindow(Handle, true); });
        on([&] {
            pumpenUndAusfuehren([this, Index, caption] {
                if (Index < tastatur::EnterTaste) emit KeyClick(caption);
            });
        });
        on([&] { SwitchToThisWindow(Handle, true); });
    });
}

// Taps made while the program was busy (a song starting blocks it for half a second) wait in
// the queue and arrive inside the event pump of the first: told there at once, they would come
// before it, and a password or search typed quickly would be read out of order.
void ctlVirtuelleTastatur::pumpenUndAusfuehren(std::function<void()> tun) {
    anstehend_.push_back(std::move(tun));
    if (pumpt_) return;
    pumpt_ = true;
    try {
        platform::pumpEvents();
    } catch (...) {
        pumpt_ = false;
        throw;
    }
    pumpt_ = false;
    while (!anstehend_.empty()) {
        const std::function<void()> naechste = std::move(anstehend_.front());
        anstehend_.pop_front();
        naechste();
    }
}

void ctlVirtuelleTastatur::cmdSonder_MouseDown(int16_t Index, int16_t Button, int16_t Shift, float X, float Y) {
    registerMouseDown("cmdSonder_MouseDown", Index, Button, Shift, X, Y);
    withErrorHandler(kObjekt, QStringLiteral("cmdSonder_MouseDown"), [&](ErrorHandler& on) {
        on([&] { if (PlaySound) playClick(); });
        on([&] { SwitchToThisWindow(Handle, true); });
        on([&] {
            pumpenUndAusfuehren([this, Index] {
                switch (Index) {
                case tastatur::EnterTaste:
                    sendEnterToActiveWindow();
                    break;
                case tastatur::LoeschenTaste:
                    emit KeyClick(QStringLiteral("{BACKSPACE}"));
                    break;
                case tastatur::HideTaste:
                    // Out of sight above and hidden; the host form stays as it is.
                    platform::setTwips(this, platform::TwipsRect{0, -5000, Width(), Height()});
                    hide();
                    break;
                default:
                    break;
                }
            });
        });
    });
}

void ctlVirtuelleTastatur::KeyBackColor(int32_t Wert) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Public Property Let KeyBackColor(Wert As Long)"));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kObjekt, QStringLiteral("KeyBackColor [LET]"), [&](ErrorHandler& on) {
        on([&] { template_->setBackColor(Wert); });
        for (TastaturTaste* s : sonder_) on([&] { s->setBackColor(Wert); });
    });
}

void ctlVirtuelleTastatur::KeyHeight(int16_t Wert) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Public Property Let KeyHeight(Wert As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kObjekt, QStringLiteral("KeyHeight [LET]"),
                     [&](ErrorHandler& on) { on([&] { platform::setTwHeight(template_, Wert); }); });
}

void ctlVirtuelleTastatur::KeyWidth(int16_t Wert) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Public Property Let KeyWidth(Wert As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kObjekt, QStringLiteral("KeyWidth [LET]"),
                     [&](ErrorHandler& on) { on([&] { platform::setTwWidth(template_, Wert); }); });
}

namespace {
void setSonderSichtbar(TastaturTaste* k, const char* name, bool Wert) {
    ErrPtnr::CallStack(
        QStringLiteral("[ctlVirtuelleTastatur] Public Property Let %1(Wert As Boolean)").arg(QLatin1String(name)));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kObjekt, QLatin1String(name) + QStringLiteral(" [LET]"),
                     [&](ErrorHandler& on) { on([&] { k->setVisible(Wert); }); });
}
}  // namespace

void ctlVirtuelleTastatur::HideSichtbar(bool Wert) { setSonderSichtbar(cmdSonder(tastatur::HideTaste), "HideSichtbar", Wert); }
void ctlVirtuelleTastatur::LoeschenSichtbar(bool Wert) {
    setSonderSichtbar(cmdSonder(tastatur::LoeschenTaste), "LoeschenSichtbar", Wert);
}
void ctlVirtuelleTastatur::EnterSichtbar(bool Wert) {
    setSonderSichtbar(cmdSonder(tastatur::EnterTaste), "EnterSichtbar", Wert);
}

void ctlVirtuelleTastatur::Massstab(double Wert) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Public Property Let Massstab(Wert As Double)"));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kObjekt, QStringLiteral("Massstab [LET]"), [&](ErrorHandler& on) {
        on([&] {
            if (!(Wert > 0 && Wert <= 1)) platform::raise(380);
            massstab_ = Wert;
        });
        on([&] { template_->setFont(platform::vbFont(QStringLiteral("Courier New"), kTastenPunkte * massstab_, true)); });
        for (TastaturTaste* k : sonder_) {
            on([&] {
                k->setFont(platform::vbFont(QStringLiteral("Courier New"), kSonderPunkte * massstab_, true));
                const int icon = static_cast<int>(std::nearbyint(kIcon * massstab_));
                k->setIconSize(QSize(icon, icon));
            });
        }
    });
}

void ctlVirtuelleTastatur::Tastatur_Ini(int16_t Zeile, const QString& Buchstaben) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Public Sub Tastatur_Ini(Zeile%, Buchstaben$)"));
    ErrPtnr::CallStackParam(QStringLiteral("Buchstaben$"), Buchstaben);
    ErrPtnr::CallStackParam(QStringLiteral("Zeile%"), Zeile);
    withErrorHandler(kObjekt, QStringLiteral("Tastatur_Ini"), [&](ErrorHandler& on) {
        // Row 0 starts a new keyboard: the keys of the layout before go, their
        // numbering starts again, and the control can get smaller again.
        if (Zeile == 0) {
            on([&] { unloadLetterKeys(); });
            on([&] {
                setSize(static_cast<int>(std::nearbyint(tastatur::DesignBreite * massstab_)),
                        static_cast<int>(std::nearbyint(tastatur::DesignHoehe * massstab_)));
            });
        }
        on([&] { template_->hide(); });
        int16_t Y = 0;
        on([&] { Y = platform::CInt(double(platform::TwHeight(template_)) * Zeile); });
        const int16_t X = 0;
        on([&] { Tastatur_Sub(Buchstaben, X, Y); });
    });
}

void ctlVirtuelleTastatur::Tastatur_Sub(const QString& t, int16_t X, int16_t Y) {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Private Sub Tastatur_Sub(t$, X%, Y%)"));
    ErrPtnr::CallStackParam(QStringLiteral("Y%"), Y);
    ErrPtnr::CallStackParam(QStringLiteral("X%"), X);
    ErrPtnr::CallStackParam(QStringLiteral("t$"), t);
    withErrorHandler(kObjekt, QStringLiteral("Tastatur_Sub"), [&](ErrorHandler& on) {
        tastatur::Zeile z;
        on([&] {
            const int16_t hoechste = loaded_.empty() ? 0 : loaded_.rbegin()->first;
            z = tastatur::layoutRow(t, X, Y, platform::TwWidth(template_), platform::TwHeight(template_), hoechste,
                                    Width(), Height(), massstab_);
        });
        for (const tastatur::Platz& p : z.Tasten) {
            on([&] {
                TastaturTaste* k = p.Sonder ? cmdSonder(p.Nummer) : loadKey(p.Nummer);
                if (!p.Sonder) k->setText(p.Caption);
                platform::setTwGeometry(k, p.Left, p.Top, p.Width, p.Height);
                k->show();
            });
        }
        on([&] { setSize(z.Breite, z.Hoehe); });
        on([&] { if (z.Fehler) platform::raise(z.Fehler); });
    });
}

void ctlVirtuelleTastatur::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    platform::guardEvent("ctlVirtuelleTastatur", "UserControl_Show", [&] { UserControl_Show(); });
}

// The keyboard floats above the host's other controls.
void ctlVirtuelleTastatur::UserControl_Show() {
    ErrPtnr::CallStack(QStringLiteral("[ctlVirtuelleTastatur] Private Sub UserControl_Show()"));
    withErrorHandler(kObjekt, QStringLiteral("UserControl_Show"), [&](ErrorHandler& on) { on([&] { raise(); }); });
}
