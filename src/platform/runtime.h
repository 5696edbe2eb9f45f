#pragma once
// Runtime errors and the number conversions of the forms runtime the kiosk was written for.
#include <QString>
#include <cstdint>
#include <stdexcept>

namespace platform {

// A runtime error: number and German description, as the error dialog shows them.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, QString description);
    explicit RuntimeError(int number);
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// Standard German description of a runtime error number ("" when unknown).
QString errorDescription(int number);
[[noreturn]] void raise(int number);

// What a failed file operation was after: a file to read, or a file to write into its folder.
enum class FileAccess { Read, Write };
// The runtime error number for the errno of a failed file operation: 70 no permission or a
// read-only file system, 61 a full disk, 57 a device error; a missing entry is 53 for a file to
// read and 76 for the folder of a file to write; anything else 75.
int fileErrorNumber(int e, FileAccess access = FileAccess::Read);
[[noreturn]] void raiseFileError(int e, FileAccess access = FileAccess::Read);

// Rounding to whole numbers: half to even. Never std::round.
double roundHalfEven(double v);
int16_t CInt(double v);       // error 6 outside -32768..32767
int32_t CLng(double v);       // error 6 outside the 32-bit range
// Text to number: leading/trailing blanks and a decimal point allowed; else error 13.
double CDblText(const QString& s);
int16_t CIntText(const QString& s);
int32_t CLngText(const QString& s);
// Text to Boolean: "True"/"False" in any case, or a number (non-zero is True); else error 13.
bool CBoolText(const QString& s);
// Integer division of the runtime: both operands rounded, then truncation; error 11 on zero.
int32_t IntDiv(double a, double b);

inline QString BoolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }
// Boolean as a number: True is -1.
inline int16_t BoolNum(bool b) { return b ? -1 : 0; }

}  // namespace platform
