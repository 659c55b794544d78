#pragma once

#include <QStringList>

// The commands of flr-cli; each takes the arguments after its name and returns the exit code
// (2 for bad arguments, with the usage on stderr).
namespace flr {

int RunDump(const QStringList& arguments);
int RunSave(const QStringList& arguments);
int RunTransfer(const QStringList& arguments);
int RunPrint(const QStringList& arguments);
int RunCheck(const QStringList& arguments);
int RunWave(const QStringList& arguments);
int RunExportItems(const QStringList& arguments);
int RunImportItems(const QStringList& arguments);

}  // namespace flr
