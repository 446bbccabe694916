#include "app/resourcesource.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace quantaro {

namespace {
// A module's string table is small; anything larger is not a string table.
constexpr qint64 kLargestStringTable = 4 * 1024 * 1024;
constexpr qint64 kLargestResourceFile = 16 * 1024 * 1024;
} // namespace

ResourceSource::ResourceSource(const QString& root) : m_root(root) {}

ResourceSource& ResourceSource::current()
{
    static ResourceSource source;
    return source;
}

void ResourceSource::setRoot(const QString& root)
{
    m_root = root;
    m_stringsLoaded = false;
    m_strings.clear();
}

std::optional<QByteArray> ResourceSource::readFile(const QString& relative) const
{
    QFile file(m_root + QLatin1Char('/') + relative);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestResourceFile) {
        return std::nullopt;
    }
    return file.readAll();
}

void ResourceSource::loadStrings() const
{
    m_stringsLoaded = true;
    QFile file(m_root + QStringLiteral("/strings.json"));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestStringTable) {
        return;
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    const QJsonObject table = document.object();
    for (auto it = table.begin(); it != table.end(); ++it) {
        bool ok = false;
        const int id = it.key().toInt(&ok);
        if (ok && it.value().isString()) {
            m_strings.insert(id, it.value().toString());
        }
    }
}

QString ResourceSource::string(int id) const
{
    if (!m_stringsLoaded) {
        loadStrings();
    }
    return m_strings.value(id);
}

std::optional<QByteArray> ResourceSource::dialogTemplate(int id) const
{
    return readFile(QStringLiteral("dialogs/%1.ui").arg(id));
}

std::optional<QByteArray> ResourceSource::menu(int id) const
{
    return readFile(QStringLiteral("menus/%1.json").arg(id));
}

QString ResourceSource::pictureFile(const QString& folder, const QString& name) const
{
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
        return {};
    }
    for (const char* suffix : {".svg", ".png"}) {
        const QString path = m_root + QLatin1Char('/') + folder + QLatin1Char('/') + name + QLatin1String(suffix);
        if (QFile::exists(path)) {
            return path;
        }
    }
    return {};
}

QString ResourceSource::bitmapPath(const QString& name) const
{
    return pictureFile(QStringLiteral("bitmaps"), name);
}

QString ResourceSource::bitmapPath(int id) const
{
    return pictureFile(QStringLiteral("bitmaps"), QString::number(id));
}

QString ResourceSource::iconPath(int id) const
{
    return pictureFile(QStringLiteral("icons"), QString::number(id));
}

} // namespace quantaro
