#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace quantaro {

/** Section and value names of the stored settings. */
namespace settings {
inline const QString kCompany = QStringLiteral("Velmora");
inline const QString kApplication = QStringLiteral("Quantaro");

inline const QString kSettings = QStringLiteral("Settings");
inline const QString kCurrencies = QStringLiteral("Currencies");
inline const QString kHiddenUnits = QStringLiteral("NonAffichage");
/** The day ("YYYY-MM-DD") of each downloaded rate, by its source's own date. */
inline const QString kCurrencyDates = QStringLiteral("CurrencyDates");

inline const QString kLanguageDllName = QStringLiteral("LanguageDLLName");
inline const QString kNewInstall = QStringLiteral("NewInstall");
inline const QString kLastCurrencyUpdate = QStringLiteral("LastCurrencyUpdate");
inline const QString kSyncAuto = QStringLiteral("SyncAuto");
inline const QString kSyncAutoRndis = QStringLiteral("SyncAutoRNDIS");
inline const QString kUpdateServer = QStringLiteral("UpdateServer");
/** The own dates ("YYYY-MM-DD") of the central bank's and the open source's rates last stored. */
inline const QString kBankRatesDate = QStringLiteral("BankRatesDate");
inline const QString kOpenRatesDate = QStringLiteral("OpenRatesDate");
/** What each source gave to the last download of both: 0 rates, 1 a failure, 2 rates too old. */
inline const QString kBankRatesOutcome = QStringLiteral("BankRatesOutcome");
inline const QString kOpenRatesOutcome = QStringLiteral("OpenRatesOutcome");
inline const QString kHiddenCount = QStringLiteral("Count");

inline const QString kFromSuffix = QStringLiteral(".From");
inline const QString kToSuffix = QStringLiteral(".To");
inline const QString kViewResultSuffix = QStringLiteral(".ViewResult");
inline const QString kPrecisionResultSuffix = QStringLiteral(".PrecisionResult");
inline const QString kCurrentSousRubricSuffix = QStringLiteral(".CurrentSousRubric");

inline constexpr int32_t kNewInstallDefault = 1;
inline constexpr int32_t kViewResultDefault = 0;
inline constexpr int32_t kPrecisionResultDefault = 8;
inline constexpr int32_t kCurrentSousRubricDefault = 0;
inline constexpr int32_t kSyncAutoDefault = 0;

/** "NonAffichage\" + code. */
QString hiddenUnitsSection(const QString& code);
/** "Item%d". */
QString hiddenItemName(int index);
/** code + ".From", or "%s.%d" of it and the sub-category number when there is one. */
QString fromName(const QString& code, std::optional<int> sousRubric);
/** code + ".To", or "%s.%d" of it and the sub-category number when there is one. */
QString toName(const QString& code, std::optional<int> sousRubric);
} // namespace settings

} // namespace quantaro
