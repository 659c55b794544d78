#pragma once

#include "reports/report.h"

namespace flr {

// The shoot list: the schedule list's rows as they stand, numbered from 0.
class CShootListReport final : public CReport {
public:
    CShootListReport();

private:
    std::vector<ColumnSpec> ColumnTable() const override;
    int FixedWidth() const override { return 435; }
    void BuildLines(const ReportSource& source, std::vector<ReportLine>& lines) override;
};

}  // namespace flr
