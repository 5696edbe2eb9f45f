#pragma once
// On-screen keyboard: the host describes it row by row, the control makes one
// button per character and reports every key press through KeyClick. It floats
// above the host's other controls; its keys never take the input focus, so the
// text box the guest types into keeps it.
#include "base/TraceValue.h"

#include <QPushButton>
#include <QWidget>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

class ctlVirtuelleTastatur;

// One key: an element of the control arrays cmdKey (letters) or cmdSonder (special keys).
class TastaturTaste : public QPushButton {
public:
    TastaturTaste(ctlVirtuelleTastatur* owner, int16_t index, QWidget* parent);
    int16_t Index() const { return index_; }
    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t c);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    friend class ctlVirtuelleTastatur;
    ctlVirtuelleTastatur* owner_;
    int16_t index_;
    int32_t backColor_;
};

class ctlVirtuelleTastatur : public QWidget {
    Q_OBJECT
public:
    explicit ctlVirtuelleTastatur(QWidget* parent = nullptr);

    // Public fields.
    int32_t Handle = 0;      // window brought to the front around each key press
    bool PlaySound = false;  // click sound "/klick.wav" from the program folder
    // Set while a password is typed: a key's number would spell it in the call trace
    // (and so in the error dialog, its protocol files, print-outs and mails).
    bool Verdeckt = false;

    // Write-only properties.
    void KeyBackColor(int32_t Wert);
    void KeyHeight(int16_t Wert);
    void KeyWidth(int16_t Wert);
    void HideSichtbar(bool Wert);
    void LoeschenSichtbar(bool Wert);
    void EnterSichtbar(bool Wert);
    // Scale of the keyboard against its design, above 0 and at most 1: the widths of the
    // special keys and the fonts of all keys (the host sets the key size to match), so
    // that a keyboard too wide for a small screen fits it whole.
    void Massstab(double Wert);

    void Tastatur_Ini(int16_t Zeile, const QString& Buchstaben);

    // Extender geometry in twips.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int v);
    void setTop(int v);

    // The keys: a letter key that is not loaded gives nullptr; index 0 is the template.
    TastaturTaste* cmdKey(int16_t Index) const;
    TastaturTaste* cmdSonder(int16_t Index) const;  // 200..202
    std::vector<int16_t> loadedKeys() const;       // numbers of the loaded letter keys, 1 upward

signals:
    void KeyClick(const QString& Daten);

protected:
    void showEvent(QShowEvent* e) override;

private:
    friend class TastaturTaste;
    TraceValue tracedIndex(int16_t Index) const;
    void cmdKey_Click(int16_t Index);
    void cmdKey_MouseDown(int16_t Index, int16_t Button, int16_t Shift, float X, float Y);
    void cmdSonder_MouseDown(int16_t Index, int16_t Button, int16_t Shift, float X, float Y);
    void UserControl_Initialize();
    void Tastatur_Sub(const QString& t, int16_t X, int16_t Y);
    void UserControl_Show();

    // Serves window events, then does what the press asks; a press that arrives inside
    // those events (taps made while the program was busy) is done after this one.
    void pumpenUndAusfuehren(std::function<void()> tun);

    TastaturTaste* loadKey(int16_t Index);
    void unloadLetterKeys();
    void setSize(int width, int height);

    std::deque<std::function<void()>> anstehend_;  // presses in the order they came
    bool pumpt_ = false;
    double massstab_ = 1.0;
    TastaturTaste* template_ = nullptr;
    std::array<TastaturTaste*, 3> sonder_{};
    std::map<int16_t, TastaturTaste*> loaded_;  // letter keys 1..
    std::vector<TastaturTaste*> spare_;         // unloaded keys, kept for reuse (never deleted while a press runs)
};
