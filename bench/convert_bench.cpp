// Speed of the conversion path: the evaluator, one whole conversion and a full catalogue load.
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "benchsupport.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/unitrecord.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"
#include "platform/messageboxes.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace quantaro;
using bench::SilentMessages;

namespace {

constexpr int kBenchUnitCount = 600;

void BM_EvaluateFormula(benchmark::State& state)
{
    const QString formula = QStringLiteral("30.48-32/1.8*0.0254+1.5e-3");
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluate(formula));
    }
}
BENCHMARK(BM_EvaluateFormula);

void BM_ConvertValue(benchmark::State& state)
{
    UnitRecord from;
    from.setName(QStringLiteral("inch"));
    from.setFromBase(QStringLiteral("$/0.0254"));
    from.setToBase(QStringLiteral("$*0.0254"));
    UnitRecord to;
    to.setName(QStringLiteral("degree Fahrenheit"));
    to.setFromBase(QStringLiteral("$*1.8+32"));
    to.setToBase(QStringLiteral("$-32/1.8"));
    const QString input = QStringLiteral("12*2.54");
    for (auto _ : state) {
        benchmark::DoNotOptimize(convertValue(input, from, to, 0, 8));
    }
}
BENCHMARK(BM_ConvertValue);

void BM_LoadCatalogue600Units(benchmark::State& state)
{
    QTemporaryDir dir;
    QJsonObject strings{{QStringLiteral("100"), QStringLiteral("units.dat")}};
    for (int i = 0; i < kRubricCount; ++i) {
        strings.insert(QString::number(1100 + i), QStringLiteral("Category %1;Sub A;Sub B").arg(i));
    }
    QFile stringFile(dir.filePath(QStringLiteral("strings.json")));
    stringFile.open(QIODevice::WriteOnly);
    stringFile.write(QJsonDocument(strings).toJson());
    stringFile.close();

    QByteArray units = "* generated units\n";
    for (int i = 0; i < kBenchUnitCount; ++i) {
        units += rubricCode(i % kRubricCount).toLatin1() + ";Unit number " + QByteArray::number(i) + ";$/" +
                 QByteArray::number(1.0 + i * 0.37) + ";$*" + QByteArray::number(1.0 + i * 0.37) + ";" +
                 QByteArray::number(i % 2) + "\n";
    }
    QFile unitFile(dir.filePath(QStringLiteral("units.dat")));
    unitFile.open(QIODevice::WriteOnly);
    unitFile.write(units);
    unitFile.close();

    SettingsStore settings(dir.filePath(QStringLiteral("q.ini")));
    settings.putInt(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::kHiddenCount, 2);
    settings.putString(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::hiddenItemName(0),
                       QStringLiteral("Unit number 1"));
    ResourceSource resources(dir.path());
    SilentMessages messages;
    const CatalogueLoader loader(resources, dir.path(), settings, messages);
    Catalogue catalogue;
    for (auto _ : state) {
        benchmark::DoNotOptimize(loader.load(catalogue));
    }
}
BENCHMARK(BM_LoadCatalogue600Units);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
