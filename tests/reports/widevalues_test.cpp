// What the crew reads at the firing site prints whole, however wide the value.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <map>

#include "reports/report.h"
#include "reports/reportkind.h"
#include "reports/reportpainter.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

// Keeps every text a painter draws, with its font.
class TextRecorder final : public QPaintEngine {
public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override
    {
        texts.emplace(item.text(), item.font());
    }
    Type type() const override { return QPaintEngine::User; }

    std::multimap<QString, QFont> texts;
};

class Sheet final : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &recorder; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return 2400;
        case PdmHeight: return 3400;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 300;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 1000;
        }
    }
    mutable TextRecorder recorder;
};

TEST(ReportCells, WidestValuesPrintWholeAndWithinTheirColumns)
{
    int argc = 1;
    char name[] = "flr_reports_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    doc.GetSetup()->SetFrameRate(30);
    CEffectRef item = test::MakeItem("A-1234567890", 0.0);
    item->SetSize(-2147483647 - 1);  // the widest size the database column holds
    item->SetName("A name far too long for its column, which may end in an ellipsis");
    CIgnition* e = test::AppendEntry(doc, "99:59:59:29", "Y32", item);
    e->SetDelayText(std::string("356339.97"), true);
    e->SetPosition(255);
    CIgnition* unnumbered = test::AppendEntry(doc, "99:59:59:29", "Y31", item);
    ASSERT_EQ(doc.FirstFiring(), unnumbered);
    unnumbered->SetNumbers(65534);  // the entry behind it gets the highest number there is
    unnumbered->SetNumbers(CIgnition::kNoNumber);

    for (int kind : {report::FieldList, report::ShootList}) {
        Sheet sheet;
        auto report = CReport::Create(kind);
        ASSERT_TRUE(report->Prepare({&doc, test::ScheduleOrder(doc), "Title"}));
        const ListGeometry list = DefaultListGeometry();
        report->Measure(DeviceMetrics(sheet, list));
        QPainter painter(&sheet);
        PaintReportPage(painter, *report, 1, "12:00 - December 07, 2026", MakeReportFonts(list));
        painter.end();

        const auto& texts = sheet.recorder.texts;
        for (const ReportDraw& d : report->Page(1, "12:00 - December 07, 2026")) {
            if (d.op != ReportDraw::Op::Text || !d.whole) continue;
            const QString text = QString::fromLatin1(d.text.c_str());
            const auto drawn = texts.find(text);
            ASSERT_NE(drawn, texts.end()) << kind << " " << d.text;
            EXPECT_LE(QFontMetrics(drawn->second).horizontalAdvance(text), d.x2 - d.x1 + 1)
                << kind << " " << d.text;
        }
        std::vector<const char*> wholes = {"-2147483648", "356339.97", "99:59:59:29"};
        if (kind == report::FieldList) wholes.insert(wholes.end(), {"Y32", "65535"});
        for (const char* whole : wholes) EXPECT_GT(texts.count(whole), 0u) << kind << " " << whole;
        // The entry without a number has an empty IP cell.
        EXPECT_EQ(texts.count("-01") + texts.count("-1"), 0u) << kind;
        // The name is the one text allowed to be shortened.
        EXPECT_EQ(texts.count(QString::fromLatin1(item->GetName().c_str())), 0u);
    }
}

}  // namespace
}  // namespace flr
