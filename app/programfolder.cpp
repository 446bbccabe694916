#include "app/programfolder.h"

#include <QDir>
#include <QFileInfo>

namespace quantaro {

QString programFilePath(const QString& folder, const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String("..")) {
        return {};
    }
    const QDir dir(folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact)) {
        return exact;
    }
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (isSameProgramFileName(entry, name)) {
            return dir.filePath(entry);
        }
    }
    return exact;
}

bool isSameProgramFileName(QStringView fileName, QStringView name)
{
    return fileName.compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace quantaro
