#pragma once
// The command line of a starting copy, obeyed through the window's public
// operations: formats, files, the export folder, an unattended run, or, in a
// second copy, the hand-over of its files to the first one.
#include "FormshiftMain.h"

TFormshift::StartOutcome ObeyCommandLine(TFormshift& window, const QStringList& parameters,
                                         bool secondInstance);
