#include "ui/frames/flrapp.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/recoveryfiles.h"
#include "app/showio.h"
#include "app/updatecheck.h"
#include "base/prompt.h"
#include "base/textcodec.h"
#include "base/version.h"
#include "database/dbconnection.h"
#include "editing/schedulecells.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "reports/reportkind.h"
#include "ui/common/dialogrunner.h"
#include "ui/common/qtprompter.h"
#include "ui/frames/datasourcedialog.h"
#include "ui/frames/mainframe.h"
#include "ui/reports/reportrunner.h"

namespace flr {

CFLRApp::CFLRApp()
    : m_updateSettings(m_settings),
      m_recent(m_settings),
      m_prompter(std::make_unique<CQtPrompter>())
{
}

CFLRApp::~CFLRApp() = default;

int CFLRApp::AutosaveMs(const CSettingsStore& settings)
{
    // "Settings/AUTOSAVEMINUTES": minutes between autosaves, 2 unless set; 0 turns them off.
    double minutes = 2.0;
    if (const auto text = settings.ReadText("Settings/AUTOSAVEMINUTES")) {
        minutes = std::atof(text->c_str());
    }
    return minutes > 0 ? std::max(1, int(minutes * 60000)) : 0;
}

bool CFLRApp::Start(const QStringList& arguments)
{
    // The recent-file list is read with the settings.
    if (m_updateSettings.GetAutoUpdate()) RunUpdateCheck();
    if (!OpenProductDatabase()) return false;

    // The shows' dialogs read the product database on this connection; without one their
    // lists stay empty.
    CDatabase* database = m_connection->IsOpen() ? &m_connection->GetDatabase() : nullptr;
    m_frame = std::make_unique<CMainFrame>(m_settings, m_updateSettings, m_recent, database);
    m_prompter->SetOwner(m_frame.get());
    m_frame->RestoreLayout();
    m_recovery = std::make_unique<CRecoveryFiles>();
    m_frame->SetRecoveryFiles(m_recovery.get(), AutosaveMs(m_settings));

    if (!ProcessCommandLine(arguments)) return false;
    m_frame->show();
    // Shows a program left unsaved come first; a start without files or recovered shows
    // begins a new show, whose setup is asked over the shown window.
    const int recovered = m_frame->OfferRecovery();
    if (m_startWithNewShow && recovered == 0) m_frame->NewShow();
    return true;
}

bool CFLRApp::OpenProductDatabase()
{
    if (!m_connection) {
        m_connection = std::make_unique<CDBConnection>(m_settings);
        m_connection->SetDataSourceChooser([this]() -> std::optional<std::string> {
            if (m_chooser) return m_chooser();
            CDataSourceDialog dialog;
            if (RunDialog(dialog) != QDialog::Accepted || dialog.ConnectString().empty()) {
                return std::nullopt;
            }
            return dialog.ConnectString();
        });
    }
    // A database that cannot be opened has said so and start-up goes on without it; one that
    // is too old ends start-up.
    m_connection->OpenDatabase();
    // Without a database the version cannot be read: the check says so and is skipped.
    return m_connection->CheckVersion();
}

void CFLRApp::Shutdown()
{
    m_prompter->SetOwner(nullptr);
    m_frame.reset();
    m_connection.reset();
    CEffectCatalogue::Program().Clear();
}

void CFLRApp::RunUpdateCheck()
{
    const auto info = CheckForUpdate(m_settings, FLR_VERSION_TEXT, FLR_VERSION_TEXT);
    // The address is shown, never opened: the user copies it if they want it.
    if (info && info->newer && !info->downloadUrl.empty()) {
        ShowMessage("There is a new version of FLR available at " + info->downloadUrl + ".",
                    "Update Available!", PromptButtons::Ok, PromptIcon::Information);
    }
}

namespace {

constexpr char kUsage[] =
    "Usage: flr [SHOW.flr ...] [--print SHOW.flr] [--print-to PRINTER SHOW.flr]\n"
    "  SHOW.flr                     open the show\n"
    "  --print SHOW.flr             print its field list on the default printer\n"
    "  --print-to PRINTER SHOW.flr  print it on PRINTER (a name ending in \".pdf\": that file)\n";

void CommandLineMessage(const char* text)
{
    ShowMessage(text, "Application Error", PromptButtons::Ok, PromptIcon::Warning);
}

}  // namespace

bool CFLRApp::ProcessCommandLine(const QStringList& arguments)
{
    // arguments[0] is the program. The line is read one file at a time, with the options
    // before it, so files open in order and a --print-to prints the file that follows it. A
    // file that cannot be read has said so already and does not stop the others. The print
    // verbs print their file and close it; with nothing else to open, the program then ends
    // without a window.
    const QCommandLineOption printOption(QStringLiteral("print"), QString(),
                                         QStringLiteral("SHOW.flr"));
    const QCommandLineOption printToOption(QStringLiteral("print-to"), QString(),
                                           QStringLiteral("PRINTER"));
    bool printed = false;
    bool printFailed = false;
    bool named = false;
    int opened = 0;
    QStringList rest = arguments.mid(1);
    while (!rest.isEmpty()) {
        QCommandLineParser parser;
        parser.addOptions({printOption, printToOption});
        parser.setOptionsAfterPositionalArgumentsMode(
            QCommandLineParser::ParseAsPositionalArguments);
        if (!parser.parse(QStringList(arguments.value(0)) + rest)) {
            if (!parser.unknownOptionNames().isEmpty()) {
                std::fprintf(stderr, "flr: %s\n%s", qPrintable(parser.errorText()), kUsage);
                m_exitCode = 2;
                return false;
            }
            // Otherwise a print verb ends the line without its value.
            CommandLineMessage(rest.last() == QLatin1String("--print-to")
                                   ? "--print-to needs a printer and a show file."
                                   : "--print needs a show file.");
            return false;
        }
        const QStringList files = parser.positionalArguments();
        for (const QString& file : parser.values(printOption)) {
            printed = true;
            if (!PrintShow(file, QString())) printFailed = true;
        }
        const QStringList printers = parser.values(printToOption);
        if (printers.size() > 1 || (printers.size() == 1 && files.isEmpty())) {
            CommandLineMessage("--print-to needs a printer and a show file.");
            return false;
        }
        if (files.isEmpty()) break;
        if (printers.size() == 1) {
            printed = true;
            if (!PrintShow(files.front(), printers.front())) printFailed = true;
        } else {
            // A file that cannot be opened has said why; the program goes on with the others
            // rather than ending on a double-clicked damaged file.
            named = true;
            if (m_frame->OpenShow(files.front())) ++opened;
        }
        rest = files.mid(1);
    }
    if (printed && opened == 0) {
        m_exitCode = printFailed ? 1 : 0;
        return false;
    }
    m_startWithNewShow = !printed && !named;
    return true;
}

bool CFLRApp::PrintShow(const QString& path, const QString& printerName)
{
    QPrinter printer(QPrinter::HighResolution);
    if (printerName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerName);
    } else {
        const QPrinterInfo info = printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                        : QPrinterInfo::printerInfo(printerName);
        if (info.isNull()) {
            const std::string text = printerName.isEmpty()
                                         ? std::string("No default printer is installed, so \"") +
                                               path.toStdString() + "\" cannot be printed."
                                         : "The printer \"" + printerName.toStdString() +
                                               "\" is not installed, so \"" + path.toStdString() +
                                               "\" cannot be printed.";
            ShowMessage(text, "Application Error", PromptButtons::Ok, PromptIcon::Warning);
            return false;
        }
        printer.setPrinterName(info.printerName());
    }
    // The show is read without a window (one may already be open on it) and stays off the
    // recent-file list: it is only printed.
    const std::unique_ptr<CFLRDoc> doc =
        OpenShowFile(QFileInfo(path).absoluteFilePath().toStdString());
    if (!doc) return false;
    ReportRequest request;
    request.kind = report::FieldList;
    request.source.doc = doc.get();
    request.source.rows = ScheduleRows(*doc, true);
    request.source.documentTitle = Utf8ToCp1252(QFileInfo(path).fileName().toStdString());
    request.list = DefaultListGeometry();
    return RunReport(request, printer, ReportOutput::PrintDirect, m_frame.get());
}

}  // namespace flr
