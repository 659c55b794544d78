#pragma once

#include "reports/report.h"

namespace flr {

// The pod summary: the ignition points by pod (bank letter, position, lower or upper half of
// the bank's 32 addresses), as they are wired in the field.
class CPodSummaryReport final : public CReport {
public:
    CPodSummaryReport();

private:
    std::vector<ColumnSpec> ColumnTable() const override;
    int FixedWidth() const override { return 460; }
    void BuildLines(const ReportSource& source, std::vector<ReportLine>& lines) override;
};

}  // namespace flr
