#include "cli/itemscommand.h"

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "base/settingsstore.h"
#include "base/textcodec.h"
#include "cli/verbargs.h"
#include "database/dbconnection.h"
#include "database/itemtable.h"

namespace flr {

int RunItemsCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption connectOption(QStringLiteral("connect"), QString(),
                                           QStringLiteral("STRING"));
    parser.addOption(connectOption);
    if (!ParseVerbArguments(parser, arguments, "Usage: flr-cli items [--connect STRING]\n", 0)) {
        return 2;
    }
    std::optional<std::string> connect;
    if (parser.isSet(connectOption)) connect = parser.value(connectOption).toStdString();

    // As the program starts: the settings' connect string or the registered default, unless
    // this run names its own (which is then not saved).
    CSettingsStore settings;
    std::unique_ptr<CDBConnection> connection =
        connect ? std::make_unique<CDBConnection>(settings, Utf8ToCp1252(*connect))
                : std::make_unique<CDBConnection>(settings);
    if (!connection->OpenDatabase() || !connection->CheckVersion()) return 1;

    CItemTable items(&connection->GetDatabase());
    if (!items.OpenTable()) return 1;
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (; !items.IsEOF(); items.MoveNext()) {
        const CEffectRef item = items.MakeItem();
        list.push_back({
            {"artNo", Cp1252ToUtf8(item->GetArticleNumber())},
            {"name", Cp1252ToUtf8(item->GetName())},
            {"size", item->GetSize()},
            {"weight", item->GetWeight()},
            {"prefire", item->GetPrefire()},
            {"duration", item->GetDuration()},
            {"color", item->GetColor()},
            {"category", item->GetCategory()},
            {"price", item->GetInPrice()},
            {"stock", item->GetStock()},
        });
    }
    const std::string text = list.dump(2);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace flr
