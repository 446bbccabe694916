// A download of both rate sources from two loopback servers: the bank's XML (about thirty currencies)
// and the open source's JSON (about three hundred and forty, as it publishes them), fetched, merged
// and stored in one write; against it, the same three hundred rates stored line by line from a
// publisher's rate file, each line its own rewrite of the settings file. The peak resident memory of
// the process is reported as a counter (kilobytes).
//
// QUANTARO_BENCH_SETTINGS=<file> leaves the settings of one download of both there, to try the
// windows on.
#include "app/settingsstore.h"
#include "benchsupport.h"
#include "currency/ratedownloader.h"
#include "platform/clock.h"
#include "platform/curlhttpclient.h"
#include "support/scriptedhttpserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace quantaro;

namespace {

constexpr int kBankCurrencies = 30;
constexpr int kOpenCurrencies = 340;
constexpr int kLettersInAlphabet = 26;

QByteArray today()
{
    return QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate).toLatin1();
}

QByteArray code(int index)
{
    const char first = static_cast<char>('A' + index / (kLettersInAlphabet * kLettersInAlphabet) % kLettersInAlphabet);
    const char second = static_cast<char>('A' + index / kLettersInAlphabet % kLettersInAlphabet);
    const char third = static_cast<char>('A' + index % kLettersInAlphabet);
    return QByteArray{} + first + second + third;
}

QByteArray bankXml()
{
    QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<gesmes:Envelope xmlns:gesmes="http://www.gesmes.org/xml/2002-08-01" xmlns="http://www.ecb.int/vocabulary/2002-08-01/eurofxref">
<gesmes:subject>Reference rates</gesmes:subject><Cube><Cube time=")" +
                     today() + "\">\n";
    for (int i = 0; i < kBankCurrencies; ++i) {
        xml += "<Cube currency='" + code(i * 7) + "' rate='" + QByteArray::number(1.0 + i * 0.37, 'g', 6) + "'/>\n";
    }
    return xml + "</Cube></Cube></gesmes:Envelope>\n";
}

QByteArray openJson()
{
    QByteArray json = "{\n\t\"date\": \"" + today() + "\",\n\t\"eur\": {\n";
    for (int i = 0; i < kOpenCurrencies; ++i) {
        json += "\t\t\"" + code(i).toLower() + "\": " + QByteArray::number(0.5 + i * 1.731, 'g', 12) + ",\n";
    }
    return json + "\t\t\"eur\": 1\n\t}\n}\n";
}

QByteArray rateFile()
{
    QByteArray lines;
    for (int i = 0; i < kBankCurrencies * 10; ++i) {
        lines += code(i) + ';' + QByteArray::number(0.5 + i * 0.013, 'g', 12) + '\n';
    }
    return lines;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_DownloadBothSources(benchmark::State& state)
{
    test::ScriptedHttpServer bank(test::httpResponse(bankXml()));
    test::ScriptedHttpServer open(test::httpResponse(openJson()));
    const RateSource source{
        bank.baseUrl() + "/eurofxref-daily.xml", RateFormat::EcbAndOpen, {open.baseUrl() + "/eur.json"}};
    SystemClock clock;
    CurlHttpClient http(settings::kApplication);
    const bool fresh = state.range(0) != 0;
    QTemporaryDir dir;
    int64_t stored = 0;
    {
        SettingsStore settings(dir.filePath("warm.ini"));
        RateDownloader(settings, http, clock).download(source);
    }
    for (auto _ : state) {
        // A first download writes every rate; a repeat finds them unchanged.
        const QString file = dir.filePath(fresh ? "fresh.ini" : "warm.ini");
        if (fresh) {
            state.PauseTiming();
            QFile::remove(file);
            state.ResumeTiming();
        }
        SettingsStore settings(file);
        if (!RateDownloader(settings, http, clock).download(source)) {
            state.SkipWithError("download failed");
            break;
        }
        stored = settings.getString(settings::kCurrencies, QString::fromLatin1(code(1))).isEmpty() ? 0 : 1;
    }
    state.counters["peak_kB"] = static_cast<double>(peakKilobytes());
    state.counters["stored"] = static_cast<double>(stored);
    state.SetLabel(fresh ? "into empty settings" : "rates unchanged");
}
BENCHMARK(BM_DownloadBothSources)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_StoreRateFileLineByLine(benchmark::State& state)
{
    test::ScriptedHttpServer server(test::httpResponse(rateFile()));
    const RateSource source{server.baseUrl() + kRateFilePath, RateFormat::RateFile};
    SystemClock clock;
    CurlHttpClient http(settings::kApplication);
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(dir.filePath("q.ini"));
        state.ResumeTiming();
        SettingsStore settings(dir.filePath("q.ini"));
        if (!RateDownloader(settings, http, clock).download(source)) {
            state.SkipWithError("download failed");
            break;
        }
    }
    state.counters["peak_kB"] = static_cast<double>(peakKilobytes());
    state.SetLabel("300 rates, one write each");
}
BENCHMARK(BM_StoreRateFileLineByLine)->Unit(benchmark::kMillisecond);

void keepSettingsForWindows()
{
    const QByteArray target = qgetenv("QUANTARO_BENCH_SETTINGS");
    if (target.isEmpty()) {
        return;
    }
    test::ScriptedHttpServer bank(test::httpResponse(bankXml()));
    test::ScriptedHttpServer open(test::httpResponse(openJson()));
    SystemClock clock;
    CurlHttpClient http(settings::kApplication);
    SettingsStore settings(QString::fromLocal8Bit(target));
    RateDownloader(settings, http, clock)
        .download({bank.baseUrl() + "/eurofxref-daily.xml", RateFormat::EcbAndOpen, {open.baseUrl() + "/eur.json"}});
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    keepSettingsForWindows();
    return bench::runBenchmarks(argc, argv);
}
