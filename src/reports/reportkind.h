#pragma once

namespace flr {

// The report kinds, by the code the view keeps. Rack Summary has a title but no report.
namespace report {
enum Kind : int {
    CompleteList = 1,
    EffectSummary = 2,
    FieldList = 4,
    ShootList = 8,
    RackSummary = 16,
    PodSummary = 32,
    ChainList = 64,
};
}  // namespace report

// A kind that can be printed: `code` itself, or the field list for any other code.
int PrintableReportKind(int code);
// "FLR Field List" and so on; the field list's title for a code without one.
const char* ReportTitle(int code);
// The preview command of a kind (cmd::Preview*), or 0.
int ReportKindOfCommand(int commandId);

}  // namespace flr
