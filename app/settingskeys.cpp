#include "app/settingskeys.h"

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

} // namespace quantaro
