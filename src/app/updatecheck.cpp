#include "app/updatecheck.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "base/prompt.h"
#include "base/settingsstore.h"

namespace flr {

namespace {

// The server says one short line; anything longer is not its answer.
constexpr qint64 kMaxReplyBytes = 4096;
constexpr qint64 kMaxLineBytes = 1024;

// Only an https address with a host and nothing but printable ASCII is offered to the user.
bool IsDownloadAddress(const std::string& text)
{
    if (text.rfind("https://", 0) != 0) return false;
    for (const char c : text) {
        if (c <= ' ' || c > '~') return false;
    }
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty();
}

}  // namespace

std::string BuildUpdateQuery(std::string_view page, std::string_view fileVersion,
                             std::string_view productVersion)
{
    std::string url(page);
    url += "?fv=";
    url += fileVersion;
    if (!productVersion.empty()) {
        url += "&pv=";
        url += productVersion;
    }
    return url;
}

std::optional<UpdateInfo> ParseUpdateLine(std::string_view line, std::string_view ownFileVersion)
{
    // The value after `key`, searched from `from`; `from` moves past the value's "]".
    auto take = [line](std::string_view key, size_t& from) -> std::optional<std::string> {
        if (from == std::string_view::npos) return std::nullopt;
        const size_t at = line.find(key, from);
        if (at == std::string_view::npos) return std::nullopt;
        const size_t begin = at + key.size();
        const size_t end = line.find(']', begin);
        if (end == std::string_view::npos) {
            from = std::string_view::npos;
            return std::string(line.substr(begin));
        }
        from = end + 1;
        return std::string(line.substr(begin, end - begin));
    };

    size_t from = 0;
    const auto fileVersion = take("FILEVERS=[", from);
    if (!fileVersion) return std::nullopt;
    UpdateInfo info;
    info.fileVersion = *fileVersion;
    info.productVersion = take("PRODVERS=[", from).value_or(std::string());
    info.downloadUrl = take("DLOADURL=[", from).value_or(std::string());
    if (!IsDownloadAddress(info.downloadUrl)) info.downloadUrl.clear();
    info.newer = info.fileVersion != ownFileVersion;
    return info;
}

std::optional<UpdateInfo> CheckForUpdate(const CSettingsStore& store, std::string_view fileVersion,
                                         std::string_view productVersion, int timeoutMs)
{
    if (fileVersion.empty()) {
        ShowMessage("Unable to retrieve version information", "Version Error", PromptButtons::Ok,
                    PromptIcon::Error);
        return std::nullopt;
    }
    const std::string page = store.ReadText("Settings/Update/URL").value_or(kDefaultUpdateUrl);
    const QUrl url(QString::fromStdString(BuildUpdateQuery(page, fileVersion, productVersion)));
    if (!url.isValid()) return std::nullopt;

    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = network.get(request);
    reply->setReadBufferSize(kMaxReplyBytes);

    // One line is all the server says; stop as soon as it is complete, and never wait longer
    // than the time limit for a server that keeps the reply open.
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QIODevice::readyRead, &loop, [&] {
        if (reply->canReadLine() || reply->bytesAvailable() >= kMaxReplyBytes) loop.quit();
    });
    deadline.start(timeoutMs);
    if (!reply->canReadLine() && !reply->isFinished()) loop.exec();

    std::optional<UpdateInfo> result;
    const bool ok = reply->error() == QNetworkReply::NoError &&
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() < 400;
    if (ok && (reply->canReadLine() || reply->isFinished())) {
        // readLine keeps one byte of its limit for a terminating zero.
        QByteArray line = reply->readLine(kMaxLineBytes + 2);
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        if (line.size() <= kMaxLineBytes) result = ParseUpdateLine(line.toStdString(), fileVersion);
    }
    reply->abort();
    delete reply;
    return result;
}

}  // namespace flr
