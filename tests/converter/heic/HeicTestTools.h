#pragma once
// Stand-in tools for the tests: small shell scripts that record the arguments they
// were started with, and the real tools' locations when installed.
#include <QString>
#include <QStringList>

// Writes an executable script `folder`/`name` that records its arguments in
// `folder`/`name`.args and then runs `body` (sh syntax; "$out" is its last argument).
QString WriteFakeTool(const QString& folder, const QString& name, const QString& body);
// The arguments the fake tool at `toolPath` received on its last run.
QStringList RecordedArguments(const QString& toolPath);

// A tool body that writes a whole sample file of the kind the output's extension
// names (HEIC, PNG or JPEG) to "$out", as a working tool would.
QString WholeSampleBody();
// A tool body that writes only the first half of that sample and still exits 0, as
// the tools do when the disk fills up under them.
QString HalfSampleBody();
// The sample file a stand-in writes for `extension` (".heic", ".png", ".jpeg").
QString SampleFor(const QString& extension);

// The installed tools, or empty.
QString InstalledTool(const char* name);
// Encodes `png` into `heic` with the installed encoder (lossless), outside the code under test.
bool MakeHeic(const QString& png, const QString& heic, const QStringList& morePngs = {});
// Decodes a HEIC into a PNG with the installed decoder, outside the code under test.
bool ReadHeicAsPng(const QString& heic, const QString& png);
