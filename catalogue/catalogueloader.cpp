#include "catalogue/catalogueloader.h"

#include "app/programfolder.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/currencyunits.h"
#include "catalogue/formernames.h"
#include "catalogue/unitdefinition.h"
#include "platform/messageboxes.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <array>

namespace quantaro {

namespace {

QStringDecoder unitFileDecoder(const QString& encoding)
{
    if (!encoding.isEmpty()) {
        QStringDecoder named(encoding.toLatin1().constData());
        if (named.isValid()) {
            return named;
        }
    }
    return QStringDecoder(QStringDecoder::Utf8);
}

} // namespace

CatalogueLoader::CatalogueLoader(const ResourceSource& resources, QString programFolder, const SettingsStore& settings,
                                 MessageBoxes& messages, std::function<void()> requestCurrencyRebuild)
    : m_resources(resources), m_programFolder(std::move(programFolder)), m_settings(settings), m_messages(messages),
      m_requestCurrencyRebuild(std::move(requestCurrencyRebuild))
{
}

QString CatalogueLoader::unitFilePath() const
{
    const QString name = m_resources.string(res::kUnitFileName);
    // The module names a file of the program folder; anything that leads elsewhere is not followed.
    // A backslash is a folder separator where the unit files were first written.
    if (name.contains(QLatin1Char('\\'))) {
        return {};
    }
    // Found the way the first-run clean-up found the file it kept: without regard to case.
    return programFilePath(m_programFolder, name);
}

bool CatalogueLoader::load(Catalogue& catalogue) const
{
    const QString path = unitFilePath();
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_messages.show(m_resources.string(res::kMissingUnitFile), MessageIcon::Exclamation);
        return false;
    }

    for (int i = 0; i < kRubricCount; ++i) {
        Rubric& rubric = catalogue[static_cast<size_t>(i)];
        rubric.clear();
        parseRubricDefinition(m_resources.string(res::kFirstRubricDefinition + i), rubric);
        rubric.setCode(rubricCode(i));
    }
    readUnits(file, catalogue);
    applyHiddenLists(catalogue);
    if (m_requestCurrencyRebuild) {
        m_requestCurrencyRebuild();
    }
    return true;
}

void CatalogueLoader::applyStoredRates(Catalogue& catalogue, const SettingsStore& settings)
{
    UpdateCurrencyUnits(catalogue[kCurrencyRubric], settings);
}

void CatalogueLoader::readUnits(QFile& file, Catalogue& catalogue) const
{
    QStringDecoder decoder = unitFileDecoder(m_resources.string(kUnitFileEncodingString));
    std::array<char, kUnitLineMaxBytes + 1> piece{};
    QString text;
    while (true) {
        qint64 length = file.readLine(piece.data(), static_cast<qint64>(piece.size()));
        if (length <= 0) {
            break;
        }
        // Text-mode reading: a carriage return before the line feed is not part of the line,
        // even when the two arrive in different pieces.
        if (length >= 2 && piece[length - 2] == '\r' && piece[length - 1] == '\n') {
            piece[length - 2] = '\n';
            --length;
        } else if (piece[length - 1] == '\r') {
            char next = 0;
            if (file.peek(&next, 1) == 1 && next == '\n') {
                file.getChar(&next);
                piece[length - 1] = '\n';
            }
        }
        // The decoder keeps a multi-byte character that a piece boundary splits for the next piece.
        text = decoder.decode(QByteArrayView(piece.data(), length));
        const auto line = parseUnitLine(text);
        if (!line) {
            continue;
        }
        const int index = rubricIndexOf(line->code);
        if (index >= 0 && catalogue[static_cast<size_t>(index)].unitCount() < kUnitsPerRubricMax) {
            catalogue[static_cast<size_t>(index)].addUnit(line->unit);
        }
    }
}

void CatalogueLoader::applyHiddenLists(Catalogue& catalogue) const
{
    const FormerUnitNames formerNames = FormerUnitNames::fromResources(m_resources);
    for (Rubric& rubric : catalogue) {
        const QString section = settings::hiddenUnitsSection(rubric.code());
        const int count = std::min(m_settings.getInt(section, settings::kHiddenCount, 0), kHiddenNamesMax);
        if (count <= 0) {
            continue;
        }
        QSet<QString> hiddenNames;
        for (int j = 0; j < count; ++j) {
            // A unit renamed since the list was stored is still the one the person hid.
            const QString stored = m_settings.getString(section, settings::hiddenItemName(j));
            hiddenNames.insert(formerNames.current(stored).toCaseFolded());
        }
        for (int u = 0; u < rubric.unitCount(); ++u) {
            UnitRecord& unit = rubric.unit(u);
            if (hiddenNames.contains(unit.name().toCaseFolded())) {
                unit.setHidden(true);
            }
        }
    }
}

} // namespace quantaro
