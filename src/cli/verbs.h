#pragma once

// The commands of flr-cli; each takes the arguments after its name and returns the exit code.
namespace flr {

int RunDump(int argc, char** argv);
int RunSave(int argc, char** argv);
int RunTransfer(int argc, char** argv);
int RunPrint(int argc, char** argv);

}  // namespace flr
