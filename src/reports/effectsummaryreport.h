#pragma once

#include "reports/report.h"

namespace flr {

// The effect summary: the items the show uses, grouped by size, with their counts and
// weights, and a box to tick each off by hand.
class CEffectSummaryReport final : public CReport {
public:
    CEffectSummaryReport();

private:
    std::vector<ColumnSpec> ColumnTable() const override;
    int FixedWidth() const override { return 383; }
    void BuildLines(const ReportSource& source, std::vector<ReportLine>& lines) override;
    bool CountsEmptyAsOne() const override { return true; }
};

}  // namespace flr
