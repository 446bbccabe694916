#include "catalogue/unitsearch.h"

namespace quantaro {

QString searchKey(QStringView text)
{
    // The compatibility decomposition splits "å" into "a" and a combining ring, and turns the
    // micro sign into the Greek mu that a Greek keyboard types.
    const QString decomposed = text.toString().trimmed().normalized(QString::NormalizationForm_KD);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar character : decomposed) {
        const QChar::Category category = character.category();
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
            category != QChar::Mark_Enclosing) {
            key.append(character);
        }
    }
    return key.toCaseFolded();
}

bool matchesSearch(const QString& nameKey, const QString& key)
{
    return key.isEmpty() || nameKey.contains(key);
}

} // namespace quantaro
