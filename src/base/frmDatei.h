#pragma once
// "Datei Inspektor": watches one file and, whenever it has been changed and is no
// longer in use, offers to save a copy under the next free numbered name.
// The kiosk never opens this window; it uses only the song-folder scan FindFile,
// which works without the window (the scan's static members touch no control).
#include "base/ScanReceiver.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
namespace platform {
class VbTimer;
}

class frmDatei : public QWidget {
    Q_OBJECT
public:
    // The window's global instance, loaded (Form_Load) on first use.
    static frmDatei& instance();
    static bool loaded();
    static void unload();

    // Scans the folder sFol for files matching sFile ("*" and "?", letter case not
    // regarded) and hands each accepted file to the installed ScanReceiver; with
    // WithSubfolders also the folders below it. A folder's files come first, sorted
    // by name without regard to case, then its subfolders in the same order.
    // files[n] receives the path of accepted file n (index 0 stays empty). Returns the
    // accepted files' size in kilobytes. A call while a scan runs is refused (0), unless
    // its receiver replaces its own running scan (ScanReceiver::replacesRunningScan).
    // A file that cannot be read (no permission, device error, gone since the
    // listing), a folder that cannot be opened, a path longer than the system allows
    // and a name that is not UTF-8 are passed over with one line in the trace file
    // and no dialog; AppleDouble files ("._Lied.mp3") silently.
    static int32_t FindFile(QString sFol, const QString& sFile, int32_t& nDirs, int32_t& nFiles, QStringList& files,
                            const bool& WithSubfolders);
    static bool scanRunning();
    // The running scan stops at its next step, as if the end flag were set.
    static void stopRunningScan();

    static QString GetRealString(const QString& RString);  // without the digits 0..9
    static int16_t GetRealInteger(const QString& RString);  // its digits as a number; > 32767 is error 6
    static bool FileInUse(const QString& FilePath);

    // Controls.
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    platform::VbTimer* Timer1 = nullptr;

    // Last modification time of the watched file that the form has seen.
    QDateTime Dateizeit;

    void Command1_Click();
    void Timer1_Timer();

private:
    frmDatei();
    void Form_Load();
    static int32_t GetHighestFile(const QString& Filestring, const QString& PathString);
    static int32_t FindFileWith(ScanReceiver& receiver, QString sFol, const QString& sFile, int32_t& nDirs,
                                int32_t& nFiles, QStringList& files, const bool& WithSubfolders);
};
