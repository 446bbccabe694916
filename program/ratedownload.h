#pragma once

namespace quantaro {

class CConverterApp;

/** Connects the application's rate download to the rate source. */
void installRateDownloader(CConverterApp& app);

} // namespace quantaro
