#pragma once
// Where the song-folder scan delivers its results: the main screen takes a row per
// file, the start dialog shows the running count, and the end flag stops the scan.
// Those forms install the receiver; without one the scan only lists.
#include <QString>
#include <cstdint>

namespace platform {
class BinaryFile;
}

class ScanReceiver {
public:
    virtual ~ScanReceiver() = default;
    // One accepted file: frmMain.EineZeileInsArchiv(Datei, optYRow) with row 0 (append).
    virtual void EineZeileInsArchiv(const QString& Datei, int32_t optYRow) { (void)Datei, (void)optYRow; }
    // The same, with the file that the scan holds open for reading: a receiver that
    // reads the song takes it from there instead of opening it again by its path.
    virtual void songFound(const QString& Datei, const platform::BinaryFile& file) {
        (void)file;
        EineZeileInsArchiv(Datei, 0);
    }
    // The running count as the start dialog's lblGefunden shows it.
    virtual void showFound(const QString& caption) { (void)caption; }
    // True when the scan must stop (the program is quitting).
    virtual bool stopRequested() const;
    // False when the caller drops the kilobyte total: the files need not be measured.
    virtual bool wantsTotal() const { return true; }
    // True when a new scan into this receiver, started while one of its scans runs
    // (from that scan's event serving), replaces the running one instead of being refused.
    virtual bool replacesRunningScan() const { return false; }
};

// nullptr: back to the receiver that only lists (rows and count go nowhere).
void setScanReceiver(ScanReceiver* r);
ScanReceiver& scanReceiver();
