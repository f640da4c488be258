#pragma once
// The layouts of the program's three windows.

#include "ui/Layout.h"

const TWindowLayout& MainLayout();   // fMain: the progress of a mail check
const TWindowLayout& SetupLayout();  // fSetup: the mailbox settings
const TWindowLayout& WarnLayout();   // fWarn: one suspicious attachment
