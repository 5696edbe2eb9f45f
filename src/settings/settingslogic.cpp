#include "settings/settingslogic.h"

#include "base/modStandard.h"
#include "platform/runtime.h"

namespace settingslogic {

int16_t checkBoxFromText(const QString& stored, const QString& deflt) {
    try {
        return CChk(platform::CBoolText(stored));
    } catch (const platform::RuntimeError&) {
        return CChk(platform::CBoolText(deflt));
    }
}

int32_t numberFromText(const QString& stored, int32_t lo, int32_t hi, int32_t deflt) {
    try {
        const int32_t v = platform::CLngText(stored);
        return v >= lo && v <= hi ? v : deflt;
    } catch (const platform::RuntimeError&) {
        return deflt;
    }
}

int32_t colourFromText(const QString& stored, int32_t deflt) {
    // A colour that OK would refuse would stop every start, the unattended one too.
    const int32_t c = numberFromText(stored, 0, 0xFFFFFF, deflt);
    return tooDark(c) ? deflt : c;
}

bool tooDark(int32_t colour) {
    const TypeFarbe f = ColorToRGB(colour);
    return f.R < 70 && f.G < 70 && f.B < 70;
}

QString tooDarkMessage(int index) {
    const QString first = index == 0 ? QStringLiteral("Die Buttonfarbe ist zu dunkel!")
                                     : QStringLiteral("Die Hintergrundfarbe ist zu dunkel!");
    return first + QStringLiteral("\r\nBitte eine andere Farbe wählen.");
}

bool passwordCharAllowed(int16_t keyAscii) {
    return (keyAscii >= 'A' && keyAscii <= 'Z') || (keyAscii >= 'a' && keyAscii <= 'z') || keyAscii == 8;
}

QString passwordLetters(const QString& text) {
    QString letters;
    for (const QChar c : text)
        if (c.unicode() != 8 && c.unicode() < 0x8000 && passwordCharAllowed(static_cast<int16_t>(c.unicode())))
            letters += c;
    return letters;
}

QString countdownText(int remaining) {
    return QStringLiteral("Autostart in ") + QString::number(remaining) +
           (remaining == 1 ? QStringLiteral(" Sekunde") : QStringLiteral(" Sekunden"));
}

QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

}  // namespace settingslogic
