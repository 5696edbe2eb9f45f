// Placeholder until the dialog is built: answers every error with "leave".
#include "base/ErrPtnr.h"

#include <QCloseEvent>

namespace {
ErrPtnr::AnswerHook g_hook;
ErrPtnr* g_instance = nullptr;
}  // namespace

ErrPtnr::ErrPtnr() : QDialog(nullptr) {}
ErrPtnr& ErrPtnr::instance() {
    if (!g_instance) g_instance = new ErrPtnr();
    return *g_instance;
}
bool ErrPtnr::exists() { return g_instance != nullptr; }
void ErrPtnr::setAnswerHook(AnswerHook h) { g_hook = std::move(h); }
void ErrPtnr::SetProgInfo(const QString& Text) { instance().m_ProgInfo = Text; }
int16_t ErrPtnr::OnError(const QString&, const QString&, int16_t) {
    if (g_hook) return static_cast<int16_t>(g_hook(instance()));
    return 2;
}
QString ErrPtnr::buildProtocolText() { return QString(); }
QString ErrPtnr::traceFilePath() const { return QString(); }
QString ErrPtnr::protocolFilePath() const { return QString(); }
void ErrPtnr::closeEvent(QCloseEvent* e) { e->ignore(); }
void ErrPtnr::keyPressEvent(QKeyEvent*) {}
void ErrPtnr::reject() {}
int16_t ErrPtnr::showError(const QString&, const QString&, int16_t) { return 2; }
void ErrPtnr::cmdContinue_Click(int16_t) {}
void ErrPtnr::ArrangeFrames(int16_t) {}
void ErrPtnr::BuildProtocol(QString&) {}
void ErrPtnr::cmdProtocol_Click(int16_t) {}
void ErrPtnr::AppendTraceFile() {}
void ErrPtnr::FillCallStackList() {}
