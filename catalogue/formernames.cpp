#include "catalogue/formernames.h"

#include "app/resourcesource.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace quantaro {

namespace {
const QString kFormerNamesFile = QStringLiteral("formernames.json");
} // namespace

FormerUnitNames FormerUnitNames::fromResources(const ResourceSource& resources)
{
    FormerUnitNames names;
    const std::optional<QByteArray> text = resources.readFile(kFormerNamesFile);
    if (!text) {
        return names;
    }
    // A damaged file renames nothing: stored names are then taken as they are.
    const QJsonObject table = QJsonDocument::fromJson(*text).object();
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (it.value().isString() && !it.value().toString().isEmpty()) {
            names.m_newByFoldedOld.insert(it.key().toCaseFolded(), it.value().toString());
        }
    }
    return names;
}

QString FormerUnitNames::current(const QString& stored) const
{
    return m_newByFoldedOld.value(stored.toCaseFolded(), stored);
}

} // namespace quantaro
