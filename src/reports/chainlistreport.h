#pragma once

#include "reports/report.h"

namespace flr {

// The chain list: every chain, headed by its first entry, with its members in chain order.
class CChainListReport final : public CReport {
public:
    CChainListReport();

private:
    std::vector<ColumnSpec> ColumnTable() const override;
    int FixedWidth() const override { return 330; }
    void BuildLines(const ReportSource& source, std::vector<ReportLine>& lines) override;
    bool CountsEmptyAsOne() const override { return true; }
};

}  // namespace flr
