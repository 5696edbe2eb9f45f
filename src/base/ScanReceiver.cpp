#include "base/ScanReceiver.h"

#include "base/globals.h"

namespace {
ScanReceiver g_listOnly;
ScanReceiver* g_receiver = nullptr;
}  // namespace

bool ScanReceiver::stopRequested() const { return ProgrammEnde; }

void setScanReceiver(ScanReceiver* r) { g_receiver = r; }
ScanReceiver& scanReceiver() { return g_receiver ? *g_receiver : g_listOnly; }
