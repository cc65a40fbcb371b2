#include "core/Host.h"

namespace {
THost* gCurrent = nullptr;
}  // namespace

THost& Host() { return *gCurrent; }

TUseHost::TUseHost(THost& host) : previous_(gCurrent) { gCurrent = &host; }

TUseHost::~TUseHost() { gCurrent = previous_; }
