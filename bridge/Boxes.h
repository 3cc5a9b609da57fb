// The message boxes of the bridge and the readiness check that every data operation starts with.
#pragma once

#include <string>

// An application-modal box with no owner and the single button OK; returns when it is closed.
void ShowBox(const std::string& text, const char* caption);
// The kernel-side warning, captioned "maplelink", naming the running operation and the kernel's
// error text (emptied afterwards). Returns code.
int WarningBox(const char* message, int code);
// A failure of the running operation, captioned "msgeng". Sets the error flag.
void ComputationErrorBox(const std::string& message);
// 0: go on (status 0). 1: stop, because no kernel is open (status 1, after the warning) or an
// earlier error has not been cleared (status 0).
int MplCheck(double* status);
