#include "base/settingsstore.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <cstdlib>
#include <memory>

#include "base/homefolder.h"

namespace flr {

namespace {

QString Key(std::string_view key) { return QString::fromUtf8(key.data(), qsizetype(key.size())); }

}  // namespace

struct CSettingsStore::Impl {
    explicit Impl(QSettings* s) : settings(s) {}
    std::unique_ptr<QSettings> settings;
};

namespace {

// The XDG place, found as QSettings would but with the home folder from the password database
// when HOME is unset: QSettings would then write under "/".
QSettings* UserSettings()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && *config == '/') {
        folder = config;
    } else if (const std::string home = HomeFolder(); !home.empty()) {
        folder = home + "/.config";
    } else {
        return new QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Flarion"),
                             QStringLiteral("FLR"));
    }
    return new QSettings(QString::fromStdString(folder + "/Flarion/FLR.ini"), QSettings::IniFormat);
}

}  // namespace

CSettingsStore::CSettingsStore() : m_impl(new Impl(UserSettings())) {}

CSettingsStore::CSettingsStore(const std::string& iniPath)
    : m_impl(new Impl(new QSettings(QString::fromStdString(iniPath), QSettings::IniFormat)))
{
}

CSettingsStore::~CSettingsStore() { delete m_impl; }

std::string CSettingsStore::FilePath() const { return m_impl->settings->fileName().toStdString(); }

std::optional<std::string> CSettingsStore::ReadText(std::string_view key) const
{
    const QVariant value = m_impl->settings->value(Key(key));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
}

std::optional<std::vector<unsigned char>> CSettingsStore::ReadBytes(std::string_view key) const
{
    const QVariant value = m_impl->settings->value(Key(key));
    if (!value.isValid()) return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

bool CSettingsStore::WriteText(std::string_view key, std::string_view value)
{
    m_impl->settings->setValue(Key(key), QString::fromUtf8(value.data(), qsizetype(value.size())));
    return Flush();
}

bool CSettingsStore::WriteBytes(std::string_view key, const std::vector<unsigned char>& value)
{
    m_impl->settings->setValue(
        Key(key), QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())));
    return Flush();
}

bool CSettingsStore::Remove(std::string_view key)
{
    m_impl->settings->remove(Key(key));
    return Flush();
}

bool CSettingsStore::Flush()
{
    m_impl->settings->sync();
    return m_impl->settings->status() == QSettings::NoError && m_impl->settings->isWritable();
}

}  // namespace flr
