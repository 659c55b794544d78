#include "base/settingsstore.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <memory>

namespace flr {

namespace {

QString Key(std::string_view key) { return QString::fromUtf8(key.data(), qsizetype(key.size())); }

}  // namespace

struct SettingsStore::Impl {
    explicit Impl(QSettings* s) : settings(s) {}
    std::unique_ptr<QSettings> settings;
};

SettingsStore::SettingsStore()
    : m_impl(new Impl(new QSettings(QSettings::IniFormat, QSettings::UserScope,
                                    QStringLiteral("Flarion"), QStringLiteral("FLR"))))
{
}

SettingsStore::SettingsStore(const std::string& iniPath)
    : m_impl(new Impl(new QSettings(QString::fromStdString(iniPath), QSettings::IniFormat)))
{
}

SettingsStore::~SettingsStore() { delete m_impl; }

std::string SettingsStore::FilePath() const
{
    return m_impl->settings->fileName().toStdString();
}

std::optional<std::string> SettingsStore::ReadText(std::string_view key) const
{
    const QVariant value = m_impl->settings->value(Key(key));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
}

std::optional<std::vector<unsigned char>> SettingsStore::ReadBytes(std::string_view key) const
{
    const QVariant value = m_impl->settings->value(Key(key));
    if (!value.isValid()) return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

bool SettingsStore::WriteText(std::string_view key, std::string_view value)
{
    m_impl->settings->setValue(Key(key), QString::fromUtf8(value.data(), qsizetype(value.size())));
    return Flush();
}

bool SettingsStore::WriteBytes(std::string_view key, const std::vector<unsigned char>& value)
{
    m_impl->settings->setValue(
        Key(key), QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())));
    return Flush();
}

bool SettingsStore::Remove(std::string_view key)
{
    m_impl->settings->remove(Key(key));
    return Flush();
}

bool SettingsStore::Flush()
{
    m_impl->settings->sync();
    return m_impl->settings->status() == QSettings::NoError && m_impl->settings->isWritable();
}

}  // namespace flr
