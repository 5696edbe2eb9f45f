#include "controls/ctlLaufschrift/ctlLaufschrift.h"

#include "base/modStandard.h"
#include "controls/CtlButtons/Fensterhandle.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/twips.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace {

constexpr int Schritt = 4;  // pixels per step at every speed

// A clock time "H:MM" or "HH:MM" (blanks around allowed) as minutes of the day.
std::optional<int> Uhrzeit(const QString& z) {
    static const QRegularExpression re(QStringLiteral("^ *(\\d{1,2}):(\\d{2}) *$"));
    const auto m = re.match(z);
    if (!m.hasMatch()) return std::nullopt;
    const int h = m.captured(1).toInt(), min = m.captured(2).toInt();
    if (h > 23 || min > 59) return std::nullopt;
    return h * 60 + min;
}

int positivMod(int a, int m) { return ((a % m) + m) % m; }

// A countdown token "[CDNhh:mm]" / "[CDShh:mm]" at the first "[CDN" / "[CDS" of s; the
// value replaces the token. Nothing when there is no token or no time in it.
std::optional<QString> Countdown(const QString& s, const QString& token, bool sekunden, const QTime& jetzt) {
    const int p = s.indexOf(token, 0, Qt::CaseInsensitive);
    // The token is ten characters that end in "]"; anything else stays as text.
    if (p < 0 || s.mid(p + 9, 1) != QStringLiteral("]")) return std::nullopt;
    const auto ziel = Uhrzeit(s.mid(p + 4, 5));
    if (!ziel) return std::nullopt;
    QString wert;
    if (sekunden) {
        const int rest = positivMod(*ziel * 60 - jetzt.msecsSinceStartOfDay() / 1000, 86400);
        wert = QString::number(rest);
    } else {
        const int rest = positivMod(*ziel - (jetzt.hour() * 60 + jetzt.minute()), 1440);
        wert = QStringLiteral("%1:%2").arg(rest / 60, 2, 10, QLatin1Char('0')).arg(rest % 60, 2, 10, QLatin1Char('0'));
    }
    return s.left(p) + wert + s.mid(p + 10);
}

// A clock token; the colon before the blinking part is blank in the first half of each second.
std::optional<QString> Uhr(const QString& s, const QString& token, const QString& format, int blinkIndex,
                           const QTime& jetzt) {
    const int p = s.indexOf(token, 0, Qt::CaseInsensitive);
    if (p < 0) return std::nullopt;
    QString t = jetzt.toString(format);
    const double c = platform::timerSeconds();
    if (c - std::nearbyint(c) > 0) t[blinkIndex] = QLatin1Char(' ');
    return s.left(p) + t + s.mid(p + token.size());
}

}  // namespace

ctlLaufschrift::ctlLaufschrift(QWidget* parent) : QWidget(parent), mHwnd(neuesFensterhandle()) {
    mFont = platform::vbFont(QStringLiteral("Fixedsys"), 9);
    timer1_.onTimer = [this] { Timer1_Timer(); };
    UserControl_Resize();
    // The window timer of the control; its ticks draw nothing.
    mTimerID = vbSetTimer(mHwnd, 1, 20);
}

ctlLaufschrift::~ctlLaufschrift() {
    if (mTimerID > 0) vbKillTimer(mHwnd, mTimerID);
}

void ctlLaufschrift::TimerCallback(int32_t TimerID) { ScrollStep(); }

void ctlLaufschrift::setLaufschrifttext(const QString& Wert) {
    mLaufschrifttext = Wert;
    if (Wert.isEmpty())
        StopScroll();
    else
        StartScroll();
}

void ctlLaufschrift::setTextfarbe(int32_t Wert) { mTextfarbe = Wert; }

void ctlLaufschrift::setHintergrundfarbe(int32_t Wert) { mHintergrundfarbe = Wert; }

void ctlLaufschrift::setGeschwindigkeit(int32_t Wert) { mGeschwindigkeit = platform::CInt(Wert); }

QString ctlLaufschrift::Textersetzen(const QString& InText) const {
    const QString& s = InText;
    const QTime jetzt = platform::now().time();
    std::optional<QString> r;
    // Each token builds on the input: when several match, the last one counts this pass.
    if (auto v = Countdown(s, QStringLiteral("[CDN"), false, QTime(jetzt.hour(), jetzt.minute()))) r = v;
    if (auto v = Countdown(s, QStringLiteral("[CDS"), true, jetzt)) r = v;
    if (auto v = Uhr(s, QStringLiteral("[ZEITS]"), QStringLiteral("HH:mm:ss"), 5, jetzt)) r = v;
    if (auto v = Uhr(s, QStringLiteral("[ZEIT]"), QStringLiteral("HH:mm"), 2, jetzt)) r = v;
    if (!r) return s;
    if (!r->contains(QLatin1Char('['))) return *r;
    return Textersetzen(*r);
}

void ctlLaufschrift::ScrollStep() {
    const QString t = Textersetzen(mLaufschrifttext);
    const QFontMetrics fm(mFont);
    const int w = fm.horizontalAdvance(t);
    mXPos -= Schritt;
    if (mXPos <= -w) mXPos = 1;
    mBild.fill(platform::vbColor(mHintergrundfarbe));
    QPainter g(&mBild);
    g.setFont(mFont);
    g.setPen(platform::vbColor(mTextfarbe));
    g.drawText(mXPos, 1 + fm.ascent(), t + t);
    g.end();
    update();
}

void ctlLaufschrift::StartScroll() {
    timer1_.setEnabled(false);
    mXPos = 1;
    if (!mSchleife) {
        timer1_.setInterval(mGeschwindigkeit);
        timer1_.setEnabled(true);
    } else {
        ScrollLoop();
    }
}

void ctlLaufschrift::StopScroll() {
    timer1_.setEnabled(false);
    mStop = 1;
}

void ctlLaufschrift::ScrollLoop() {
    mStop = 0;
    do {
        ScrollStep();
        Pause(mGeschwindigkeit, 1);
    } while (mStop != 1);
}

void ctlLaufschrift::Pause(float Millisekunden, int16_t Flag) {
    platform::blockingSleep(static_cast<int>(std::nearbyint(Millisekunden)));
    if (Flag == 1) platform::pumpEvents();
}

void ctlLaufschrift::TwipsPerPixel() { mTwipsPerPixel = platform::TwipsPerPixel; }

void ctlLaufschrift::Timer1_Timer() { ScrollStep(); }

void ctlLaufschrift::UserControl_Resize() {
    // The surface takes the whole control; a new size starts from a cleared picture.
    QImage neu(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    neu.fill(platform::vbColor(mHintergrundfarbe));
    if (!mBild.isNull()) {
        QPainter g(&neu);
        g.drawImage(0, 0, mBild);
    }
    mBild = neu;
    const float hoehe = static_cast<float>(platform::pxToTwips(height())) / 15.0f;
    for (int size = 120; size >= 4; --size) {
        mFont.setPointSize(size);
        if (hoehe >= QFontMetrics(mFont).height()) return;  // the height of "Test" is the line height
    }
}

void ctlLaufschrift::paintEvent(QPaintEvent*) {
    platform::guardEvent("ctlLaufschrift", "Picture1_Paint", [&] {
        QPainter g(this);
        g.drawImage(0, 0, mBild);
    });
}

void ctlLaufschrift::resizeEvent(QResizeEvent*) {
    platform::guardEvent("ctlLaufschrift", "UserControl_Resize", [&] { UserControl_Resize(); });
}
