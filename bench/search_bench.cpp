// Speed of the search boxes' answers: one query answered by the warm service (read, look up, convert,
// format), against an empty query. search_activation.sh measures the bus starting the service.
#include "app/settingsstore.h"
#include "benchsupport.h"
#include "search/searchanswers.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace quantaro;

namespace {

constexpr qsizetype kOneMegabyte = 1024 * 1024;
constexpr qsizetype kManySpaces = 10000;

/** Settings of a temporary folder that choose the English module. */
struct BenchSettings
{
    BenchSettings()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("Velmora")));
        file = dir.filePath(QStringLiteral("Velmora/Quantaro.ini"));
        SettingsStore settings(file);
        SettingsChanges changes;
        changes.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("quantaro_en.so"));
        settings.write(changes);
    }
    QTemporaryDir dir;
    QString file;
};

const QStringList& queries()
{
    static const QStringList all = {
        QString(),
        QStringLiteral("5 mi in km"),
        QStringLiteral("12*2.54 in m"),
        QStringLiteral("100 usd eur"),
        QStringLiteral("1 gal in L"),
        QStringLiteral("hello world"),
        QStringLiteral("5 square kilometre per hour to square nautical mile per day"),
        QString(kOneMegabyte, QLatin1Char('5')),
        QString(kManySpaces, QLatin1Char(' ')),
        QStringLiteral("1e999 mi in km"),
    };
    return all;
}

void BM_WarmQuery(benchmark::State& state)
{
    static BenchSettings settings;
    static SearchAnswers answers(QStringLiteral(QUANTARO_PROGRAM_DIR), settings.file);
    const QString& query = queries()[static_cast<qsizetype>(state.range(0))];
    answers.answer(QStringLiteral("5 mi in km")); // loads the catalogue
    state.SetLabel(query.left(24).toStdString() + (query.size() > 24 ? "..." : ""));
    for (auto _ : state) {
        benchmark::DoNotOptimize(answers.answer(query));
    }
}
BENCHMARK(BM_WarmQuery)->DenseRange(0, 9)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
