// The settings load over any INI text (UTF-8 with Windows-1252 lines among them, or UTF-16):
// every setting ends at a valid value, the value a plain stored text names, or its default
// (also for a colour OK refuses); the file is its owner's alone after the load; and every
// value read from the text is stored and read back unchanged.
#include "fuzz_support.h"
#include "platform/screen.h"
#include "platform/settingsstore.h"
#include "settings/frmStart.h"
#include "settings/settingslogic.h"
#include "settings/startcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRegularExpression>
#include <QSlider>
#include <optional>

namespace {

using settingslogic::Kind;
using settingslogic::Table;

// Defaults of the keys that are not texts, in table order ("" for texts).
const std::array<const char*, 17> kDefaults{"",      "",      "False", "False", "True", "16776960",
                                            "16711680", "10", "True",  "0",     "False", "False",
                                            "False", "True",  "",      "True",  "3"};

// What a plain stored text must give: the number, or for a check box 0/1.
std::optional<int> plainValue(Kind kind, const QString& s, int lo, int hi) {
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,9}$"));
    if (kind == Kind::CheckBox) {
        if (s.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return 1;
        if (s.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0) return 0;
        if (number.match(s).hasMatch()) return s.toInt() != 0 ? 1 : 0;
        return std::nullopt;
    }
    if (!number.match(s).hasMatch()) return std::nullopt;
    const int v = s.toInt();
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::init();
    platform::setScreenSizeOverride(QSize(1024, 768));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A fresh store folder per input: the settings file's cache never sees an older text.
    static int n = 0;
    const QString folder = fuzzsupport::scratch() + QStringLiteral("/config%1").arg(++n);
    QDir(fuzzsupport::scratch() + QStringLiteral("/config%1").arg(n - 1)).removeRecursively();
    platform::setSettingsFolder(folder);
    const QString file = platform::settingsFile(platform::appTitle());
    QDir().mkpath(QFileInfo(file).absolutePath());
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly)) fuzzsupport::finding("cannot write", file);
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    frmStart::resetForTests();
    frmStart& s = frmStart::instance();
    if (QFileInfo(file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
        fuzzsupport::finding("settings readable by others:", file);
    const std::array<QCheckBox*, 17> checks{nullptr, nullptr, s.chkZufall, s.chkPlaylistDoppelklick, s.chkFenster,
                                            nullptr, nullptr, nullptr, s.chkSmilie, nullptr, s.chkMuelleimer,
                                            s.chkPlayliste, s.chkRechteMaustaste, s.chkPause, nullptr,
                                            s.chkWindowsBlockieren, nullptr};
    const QString app = platform::appTitle();
    const QString section = QStringLiteral("Data");
    std::array<std::optional<QString>, 17> stored;
    for (int i = 0; i < int(Table.size()); ++i) {
        const QString key = QString::fromLatin1(Table[i].name);
        const QString missing = QStringLiteral("\x01missing");
        const QString v = platform::GetSetting(app, section, key, missing);
        if (v != missing) stored[i] = v;
    }
    for (int i = 0; i < int(Table.size()); ++i) {
        const Kind kind = Table[i].kind;
        if (kind == Kind::Text) continue;
        int lo = 0, hi = 0, value = 0;
        switch (kind) {
        case Kind::CheckBox:
            if (checks[i]->checkState() == Qt::PartiallyChecked) fuzzsupport::finding("check box half set");
            value = checks[i]->isChecked() ? 1 : 0;
            hi = 1;
            break;
        case Kind::Colour:
            value = (i == 5 ? s.PicFarbe : s.PicHintergrundfarbe)->BackColor();
            hi = 0xFFFFFF;
            break;
        case Kind::Slider:
            value = s.Slider1->value();
            lo = settingslogic::SliderMin;
            hi = settingslogic::SliderMax;
            break;
        case Kind::List: {
            QComboBox* list = i == 9 ? s.cmbAnzahl : s.cmbSchriftgroesse;
            value = list->currentIndex();
            hi = list->count() - 1;
            break;
        }
        case Kind::Text: break;
        }
        if (value < lo || value > hi) fuzzsupport::finding("setting out of range:", QString::fromLatin1(Table[i].name));
        const std::optional<int> deflt = plainValue(kind, QString::fromLatin1(kDefaults[i]), lo, hi);
        std::optional<int> want = stored[i] ? plainValue(kind, *stored[i], lo, hi) : deflt;
        // A colour that OK refuses loads as its default.
        if (kind == Kind::Colour && want && settingslogic::tooDark(*want)) want = deflt;
        if (want && value != *want)
            fuzzsupport::finding("setting not as stored:", QString::fromLatin1(Table[i].name) + QLatin1Char('=') +
                                                                stored[i].value_or(QString()));
    }
    // Stored again, each value reads back as it was, and the others keep theirs.
    for (int i = 0; i < int(Table.size()); ++i) {
        if (!stored[i]) continue;
        const QString key = QString::fromLatin1(Table[i].name);
        if (!platform::SaveSetting(app, section, key, *stored[i] + QStringLiteral(" x\\")))
            fuzzsupport::finding("cannot store", key);
        if (!platform::SaveSetting(app, section, key, *stored[i])) fuzzsupport::finding("cannot store", key);
    }
    for (int i = 0; i < int(Table.size()); ++i) {
        const QString key = QString::fromLatin1(Table[i].name);
        const QString v = platform::GetSetting(app, section, key, QString());
        if (stored[i] && v != *stored[i]) fuzzsupport::finding("stored value changed:", key + QLatin1Char('=') + v);
    }
    return 0;
}
