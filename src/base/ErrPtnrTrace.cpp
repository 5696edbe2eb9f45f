// Registration: the hot path of the tracer, kept apart from the dialog.
#include "base/ErrPtnr.h"

CallStackRing& ErrPtnr::ring() {
    static CallStackRing r;
    return r;
}

void ErrPtnr::CallStack(const QString& a) { ring().callStack(a); }

void ErrPtnr::CallStackParam(const QString& ParamName, const TraceValue& v) { ring().callStackParam(ParamName, v); }

QString ErrPtnr::LPSTRToVBString(const QString& s) {
    const qsizetype n = s.indexOf(QChar(0));
    if (n < 0) return QString();
    return s.left(n);
}
