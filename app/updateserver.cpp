#include "app/updateserver.h"

#include "app/settingsstore.h"

namespace quantaro {

namespace {
const QString kSchemeMark = QStringLiteral("://");
const QString kDefaultScheme = QStringLiteral("http://");
} // namespace

std::optional<QString> normaliseServerBase(const QString& address)
{
    QString base = address.trimmed();
    if (base.isEmpty()) {
        return base;
    }
    const qsizetype schemeEnd = base.indexOf(kSchemeMark);
    if (schemeEnd < 0) {
        base.prepend(kDefaultScheme);
    } else {
        const QString scheme = base.first(schemeEnd).toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
            return std::nullopt;
        }
    }
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    return base;
}

std::optional<QString> updateServerBase(const SettingsStore& settings)
{
    return normaliseServerBase(settings.getString(settings::kSettings, settings::kUpdateServer));
}

} // namespace quantaro
