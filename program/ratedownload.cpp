#include "program/ratedownload.h"

#include "app/cconverterapp.h"
#include "app/settingsstore.h"
#include "currency/ratedownloader.h"
#include "platform/clock.h"
#include "platform/curlhttpclient.h"

namespace quantaro {

void installRateDownloader(CConverterApp& app)
{
    app.setRateDownloader([&app] {
        static SystemClock systemClock;
        const Clock& clock = app.services().clock != nullptr ? *app.services().clock : systemClock;
        CurlHttpClient http(settings::kApplication);
        RateDownloader downloader(app.settings(), http, clock);
        return downloader.download();
    });
}

} // namespace quantaro
