#pragma once

#include "reports/report.h"

namespace flr {

// The field list (and the complete list, which differs only in its title): every entry in
// ignition-point order, chained effects included, at most as many as the list has rows.
class CFieldListReport final : public CReport {
public:
    explicit CFieldListReport(int kind) : CReport(kind) {}

private:
    std::vector<ColumnSpec> ColumnTable() const override;
    int FixedWidth() const override { return 690; }
    void BuildLines(const ReportSource& source, std::vector<ReportLine>& lines) override;
};

}  // namespace flr
