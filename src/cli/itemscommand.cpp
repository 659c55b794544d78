#include "cli/itemscommand.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "base/settingsstore.h"
#include "base/textcodec.h"
#include "database/dbconnection.h"
#include "database/itemtable.h"

namespace flr {

int RunItemsCommand(int argc, char** argv)
{
    std::optional<std::string> connect;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--connect") == 0 && i + 1 < argc) {
            connect = argv[++i];
        } else if (std::strncmp(argv[i], "--connect=", 10) == 0) {
            connect = argv[i] + 10;
        } else {
            std::fprintf(stderr, "Usage: flr-cli items [--connect STRING]\n");
            return 2;
        }
    }

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
