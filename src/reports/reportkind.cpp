#include "reports/reportkind.h"

#include "base/commandids.h"

namespace flr {

int PrintableReportKind(int code)
{
    switch (code) {
    case report::CompleteList:
    case report::EffectSummary:
    case report::FieldList:
    case report::ShootList:
    case report::PodSummary:
    case report::ChainList: return code;
    default: return report::FieldList;
    }
}

const char* ReportTitle(int code)
{
    switch (code) {
    case report::CompleteList: return "Complete List";
    case report::EffectSummary: return "FLR Effect Summary";
    case report::ShootList: return "FLR Shoot List";
    case report::RackSummary: return "FLR Rack Summary";
    case report::PodSummary: return "FLR Pod Summary";
    case report::ChainList: return "FLR Chain List";
    default: return "FLR Field List";
    }
}

int ReportKindOfCommand(int commandId)
{
    switch (commandId) {
    case cmd::PreviewComplete: return report::CompleteList;
    case cmd::PreviewEffects: return report::EffectSummary;
    case cmd::PreviewFieldList: return report::FieldList;
    case cmd::PreviewShootList: return report::ShootList;
    case cmd::PreviewPods: return report::PodSummary;
    case cmd::PreviewChains: return report::ChainList;
    default: return 0;
    }
}

}  // namespace flr
