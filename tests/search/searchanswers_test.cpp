#include "app/settingsstore.h"
#include "search/searchanswers.h"
#include "search/searchservice.h"
#include "support/languagequeries.h"
#include "testpaths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace quantaro;

/** The answers over the build's program folder, with settings of a temporary folder. */
class SearchAnswersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settingsFile = m_dir.filePath(QStringLiteral("Quantaro.ini"));
        ASSERT_TRUE(write([](SettingsChanges& changes) {
            changes.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("quantaro_en.so"));
        }));
    }

    bool write(const std::function<void(SettingsChanges&)>& change)
    {
        SettingsStore settings(m_settingsFile);
        SettingsChanges changes;
        change(changes);
        return settings.write(changes);
    }

    QTemporaryDir m_dir;
    QString m_settingsFile;
};

TEST_F(SearchAnswersTest, AnIdNamesItsAnswerAgain)
{
    SearchAnswers answers(QStringLiteral(QUANTARO_PROGRAM_DIR), m_settingsFile);
    const QList<SearchResult> results = answers.answer(QStringLiteral("5 mi in km"));
    ASSERT_EQ(results.size(), 1);
    const std::optional<SearchResult> again = answers.result(results.front().id);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->title, QStringLiteral("8.04672 km"));
    EXPECT_EQ(again->description, results.front().description);
    EXPECT_EQ(SearchAnswers::rubricCodeOf(results.front().id), QStringLiteral("LEN"));
    EXPECT_EQ(answers.openArguments(results.front().id),
              (QStringList{QStringLiteral("LEN"), QStringLiteral("mile (mi)"), QStringLiteral("kilometre (km)"),
                           QStringLiteral("5")}));
    // Ids come back over the bus from anyone: none but the service's own answers is read or opened.
    const QString mileToKm = QStringLiteral("LEN;mile (mi);kilometre (km);");
    for (const QString& bogus :
         {QString(), QStringLiteral("LEN;mile (mi);furlong;5;1"), QStringLiteral("XYZ;a;b;5;1"),
          mileToKm + QStringLiteral("1/0;1"), QStringLiteral(";;;;;;"), QStringLiteral("LEN;AppRunUpdateConnect;x;1;1"),
          mileToKm + QString(100000, u'(') + QStringLiteral("1;1"),
          mileToKm + QString(250, u' ') + QStringLiteral("1;1"), mileToKm + QStringLiteral("-platform;1"),
          mileToKm + QStringLiteral("1\u00002;1"), mileToKm + QStringLiteral("\uFFFD1;1"),
          mileToKm + QStringLiteral("5;-style")}) {
        EXPECT_FALSE(answers.result(bogus).has_value()) << bogus.left(60).toStdString();
        EXPECT_TRUE(answers.openArguments(bogus).isEmpty()) << bogus.left(60).toStdString();
    }
    EXPECT_TRUE(answers.answer(QStringLiteral("5 mi\u0000 in km")).isEmpty()) << "no answer to text with a NUL";
}

TEST_F(SearchAnswersTest, EveryLanguageAnswersAQueryAsItsPeopleTypeIt)
{
    for (const test::LanguageQuery& q : test::kLanguageQueries) {
        ASSERT_TRUE(write([&q](SettingsChanges& changes) {
            changes.putString(settings::kSettings, settings::kLanguageDllName, QString::fromUtf8(q.module));
        }));
        SearchAnswers answers(QStringLiteral(QUANTARO_PROGRAM_DIR), m_settingsFile);
        const QList<SearchResult> results = answers.answer(QString::fromUtf8(q.query));
        ASSERT_EQ(results.size(), 1) << q.module << " " << q.query;
        EXPECT_EQ(results.front().title, QString::fromUtf8(q.answer)) << q.module << " " << q.query;
    }
}

TEST_F(SearchAnswersTest, ChangedSettingsAreReadBeforeTheNextAnswer)
{
    SearchAnswers answers(QStringLiteral(QUANTARO_PROGRAM_DIR), m_settingsFile);
    ASSERT_EQ(answers.answer(QStringLiteral("5 mi in km")).size(), 1);
    ASSERT_TRUE(write([](SettingsChanges& changes) {
        changes.putInt(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::kHiddenCount, 1);
        changes.putString(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::hiddenItemName(0),
                          QStringLiteral("kilometre (km)"));
        changes.putInt(settings::kSettings, QStringLiteral("LEN") + settings::kViewResultSuffix, 1);
    }));
    EXPECT_TRUE(answers.answer(QStringLiteral("5 mi in km")).isEmpty());
    const QList<SearchResult> metres = answers.answer(QStringLiteral("5 mi in m"));
    ASSERT_EQ(metres.size(), 1);
    EXPECT_EQ(metres.front().title, QStringLiteral("8.04672000e+03 m"));
}

TEST_F(SearchAnswersTest, WithoutALanguageModuleThereIsNoAnswer)
{
    ASSERT_TRUE(write([](SettingsChanges& changes) {
        changes.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("missing.so"));
    }));
    SearchAnswers answers(QStringLiteral(QUANTARO_PROGRAM_DIR), m_settingsFile);
    EXPECT_TRUE(answers.answer(QStringLiteral("5 mi in km")).isEmpty());
}

TEST_F(SearchAnswersTest, ChoosingAnAnswerOpensItsWindowAndTheIconItsCategory)
{
    SearchAnswers answers(QStringLiteral(QUANTARO_PROGRAM_DIR), m_settingsFile);
    QList<QStringList> launched;
    SearchService service(answers, [&launched](const QStringList& arguments) { launched << arguments; });
    GnomeSearchProvider gnome(service);
    KRunnerRunner krunner(service);
    const QStringList ids =
        gnome.GetInitialResultSet({QStringLiteral("-40"), QStringLiteral("C"), QStringLiteral("F")});
    ASSERT_EQ(ids.size(), 1);
    gnome.ActivateResult(ids.front(), {}, 0);
    krunner.Run(ids.front(), {});
    gnome.ActivateResult(QStringLiteral("LEN;AppRunUpdateConnect;x;1;1"), {}, 0);
    krunner.Run(QStringLiteral("TMP;-platform;vnc;1;1"), {});
    EXPECT_TRUE(gnome
                    .GetResultMetas({QStringLiteral("LEN;mile (mi);kilometre (km);") + QString(100000, u'(') +
                                     QStringLiteral("1;1")})
                    .isEmpty());
    gnome.LaunchSearch({QStringLiteral("3"), QStringLiteral("kg"), QStringLiteral("lb")}, 0);
    gnome.LaunchSearch({QStringLiteral("hello")}, 0);
    const QStringList window = {QStringLiteral("--convert"), QStringLiteral("TMP"),
                                QStringLiteral("degree Celsius (\u00B0C)"),
                                QStringLiteral("degree Fahrenheit (\u00B0F)"), QStringLiteral("-40")};
    EXPECT_EQ(launched, (QList<QStringList>{window, window, {QStringLiteral("--convert"), QStringLiteral("MAS")}, {}}));
}

} // namespace
