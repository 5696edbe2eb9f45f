#pragma once
// The operator's dialog for the title, artist and genre of one song's ID3v1 tag.
// It is made for one showing and destroyed once its modal loop has returned.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmMP3Tags : public QDialog {
    Q_OBJECT
public:
    // The global instance, made at the first use after the last unload.
    static frmMP3Tags& instance();
    static bool loaded();
    // Destroys the instance, unless its modal loop runs (then OK or Abbrechen ends it).
    static void unload();

    // How a showing ended: closed without a write, the changes written, or closed
    // after the last OK had failed to write (the file keeps its old tag).
    enum class Ausgang { Abgebrochen, Geschrieben, Fehlgeschlagen };
    // Loads the dialog, shows it modally and returns when OK or Abbrechen unloaded
    // it; the instance is gone afterwards.
    Ausgang ShowModal();

    // Tests: runs instead of the modal loop, with the dialog filled as the operator
    // sees it. It may type into the fields and press a button; returning without
    // a press closes the dialog like Abbrechen.
    using ModalHook = std::function<void(frmMP3Tags&)>;
    static void setModalHook(ModalHook h);

    QString FileNameString;  // full path of the song being edited

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;  // title
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;  // artist
    QLabel* Label3 = nullptr;
    QComboBox* ComboGenre = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtDatei = nullptr;

    void Form_Load();
    void Form_Activate();
    void cmdOK_Click();
    void cmdAbbrechen_Click();
    void Text1_GotFocus();
    void Text2_GotFocus();
    void txtDatei_KeyDown(int16_t KeyCode, int16_t Shift);
    void Text1_KeyDown(int16_t KeyCode, int16_t Shift);
    void Text2_KeyDown(int16_t KeyCode, int16_t Shift);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void reject() override;

private:
    frmMP3Tags();
    void buildControls();
    void Unload();

    bool inModal_ = false;
    bool unloaded_ = false;
    bool activatedOnce_ = false;
    Ausgang ausgang_ = Ausgang::Abgebrochen;
    // The fields as read from the file: OK writes only what differs from them.
    QString gelesenTitel_;
    QString gelesenInterpret_;
    QString gelesenGenre_;
};
