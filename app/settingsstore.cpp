#include "app/settingsstore.h"

#include <QSettings>
#include <QStringList>
#include <limits>

namespace quantaro {

namespace settings {

QString hiddenUnitsSection(const QString& code)
{
    return kHiddenUnits + QLatin1Char('\\') + code;
}

QString hiddenItemName(int index)
{
    return QStringLiteral("Item%1").arg(index);
}

static QString withSousRubric(const QString& base, std::optional<int> sousRubric)
{
    return sousRubric ? QStringLiteral("%1.%2").arg(base).arg(*sousRubric) : base;
}

QString fromName(const QString& code, std::optional<int> sousRubric)
{
    return withSousRubric(code + kFromSuffix, sousRubric);
}

QString toName(const QString& code, std::optional<int> sousRubric)
{
    return withSousRubric(code + kToSuffix, sousRubric);
}

} // namespace settings

namespace {

constexpr ushort kFirstPrintable = 0x20;
constexpr ushort kDelete = 0x7f;

// QSettings reads '/' and '\' as group separators; names from outside must stay one value, so
// they are percent-escaped together with '%' itself and control characters.
QString escapeComponent(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar ch : name) {
        const ushort code = ch.unicode();
        if (ch == QLatin1Char('%') || ch == QLatin1Char('/') || ch == QLatin1Char('\\') || code < kFirstPrintable ||
            code == kDelete) {
            out += QStringLiteral("%%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        } else {
            out += ch;
        }
    }
    return out;
}

QString sectionPath(const QString& section)
{
    QStringList parts;
    for (const QString& part : section.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        parts << escapeComponent(part);
    }
    return parts.join(QLatin1Char('/'));
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, settings::kCompany,
                                             settings::kApplication))
{
}

SettingsStore::SettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore()
{
    m_settings->sync();
}

QString SettingsStore::keyFor(const QString& section, const QString& name) const
{
    const QString path = sectionPath(section);
    const QString value = escapeComponent(name);
    return path.isEmpty() ? value : path + QLatin1Char('/') + value;
}

bool SettingsStore::commit()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

int32_t SettingsStore::getInt(const QString& section, const QString& name, int32_t defaultValue) const
{
    const QVariant value = m_settings->value(keyFor(section, name));
    if (!value.isValid()) {
        return defaultValue;
    }
    // An INI file gives integers back as text; anything that is not a 32-bit number is unreadable.
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok, 10);
    if (!ok || number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max()) {
        return defaultValue;
    }
    return static_cast<int32_t>(number);
}

bool SettingsStore::putInt(const QString& section, const QString& name, int32_t value)
{
    m_settings->setValue(keyFor(section, name), value);
    return commit();
}

QString SettingsStore::getString(const QString& section, const QString& name, const QString& defaultValue) const
{
    const QVariant value = m_settings->value(keyFor(section, name));
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited value with an unquoted comma reads back as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    if (value.typeId() == QMetaType::QByteArray) {
        return QString::fromUtf8(value.toByteArray());
    }
    return value.toString();
}

bool SettingsStore::putString(const QString& section, const std::optional<QString>& name,
                              const std::optional<QString>& value)
{
    if (!name) {
        return deleteKey(section);
    }
    if (!value) {
        m_settings->remove(keyFor(section, *name));
    } else {
        m_settings->setValue(keyFor(section, *name), *value);
    }
    return commit();
}

std::optional<QByteArray> SettingsStore::getBinary(const QString& section, const QString& name) const
{
    const QVariant value = m_settings->value(keyFor(section, name));
    if (!value.isValid() || value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    return value.toByteArray();
}

bool SettingsStore::putBinary(const QString& section, const QString& name, const QByteArray& bytes)
{
    m_settings->setValue(keyFor(section, name), bytes);
    return commit();
}

bool SettingsStore::deleteKey(const QString& path)
{
    const QString group = sectionPath(path);
    if (group.isEmpty()) {
        return false;
    }
    m_settings->remove(group);
    return commit();
}

bool SettingsStore::contains(const QString& section, const QString& name) const
{
    return m_settings->contains(keyFor(section, name));
}

void SettingsStore::sync()
{
    m_settings->sync();
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

} // namespace quantaro
