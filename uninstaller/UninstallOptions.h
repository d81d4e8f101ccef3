#pragma once
// The uninstaller's options. Arguments arrive through ParamText, so "/silent"
// already reads "-silent"; options match exactly, with case.
#include <QString>
#include <QStringList>

enum class TRunMode { None, Normal, Silent };

struct TUninstallOptions {
    TRunMode RunMode = TRunMode::None;
    bool ShowHelp = false;
    bool CloseAfterFinish = false;
    bool KeepAppData = false;
    bool DeleteSelfOnClose = false;
};

// Every line ends in a carriage return, the last one too.
extern const QString HelpText;

// Options in the order given; "-help" stops the walk, since the program ends there.
TUninstallOptions ParseOptions(const QStringList& arguments);
