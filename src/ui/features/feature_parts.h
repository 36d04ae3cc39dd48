// The features' side of the window's interface, linked into the yubino-features module and
// into the programs that use the features directly (tests, yubino-chart).
#pragma once

#include <memory>

#include "ui/features/features.h"

std::unique_ptr<CFeatures> NewFeatures(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls);

// The module's entry point, which the window looks up by this name.
extern "C" CFeatures* YubinoNewFeatures(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls);
