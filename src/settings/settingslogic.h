#pragma once
// The settings table of the start dialog and its conversions, free of widgets.
#include <QString>
#include <array>
#include <cstdint>

namespace settingslogic {

inline constexpr const char* Section = "Data";

enum class Kind { Text, CheckBox, Colour, Slider, List };

struct Key {
    const char* name;
    Kind kind;
};

// In the order of loading and of storing.
inline constexpr std::array<Key, 17> Table{{
    {"Pfad", Kind::Text},          {"PW", Kind::Text},          {"Zufall", Kind::CheckBox},
    {"Doppelklick", Kind::CheckBox}, {"Maximieren", Kind::CheckBox}, {"Farbe", Kind::Colour},
    {"Hintergrundfarbe", Kind::Colour}, {"Fading", Kind::Slider}, {"Spiel", Kind::CheckBox},
    {"Anzahl", Kind::List},        {"Muelleimer", Kind::CheckBox}, {"Playliste", Kind::CheckBox},
    {"RechteMaus", Kind::CheckBox}, {"Pause", Kind::CheckBox},   {"Winamp", Kind::Text},
    {"Windows", Kind::CheckBox},   {"S", Kind::List},
}};

inline constexpr int SliderMin = 0;
inline constexpr int SliderMax = 30;

// Stored text to check box value 0/1 ("True"/"False" in any case, or a number).
// A text the conversion rejects counts as the default text.
int16_t checkBoxFromText(const QString& stored, const QString& deflt);
// Decimal colour text to an ordinary colour &HBBGGRR that is not too dark; anything else gives deflt.
int32_t colourFromText(const QString& stored, int32_t deflt);
// Decimal text to a whole number in lo..hi; anything else gives deflt.
int32_t numberFromText(const QString& stored, int32_t lo, int32_t hi, int32_t deflt);

// All three parts below 70.
bool tooDark(int32_t colour);
// Index 0: the button colour, 1: the background colour.
QString tooDarkMessage(int index);

// The password box keeps letters A-Z, a-z and Backspace only.
bool passwordCharAllowed(int16_t keyAscii);
// The letters of a text that the password box keeps when it is pasted or dropped.
QString passwordLetters(const QString& text);

// "Autostart in 3 Sekunden", "Autostart in 1 Sekunde".
QString countdownText(int remaining);

// Trims blanks only, as the runtime's Trim does.
QString trimBlanks(const QString& s);

}  // namespace settingslogic
