#pragma once

#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "languages.h"
#include "platform/notificationservice.h"
#include "testpaths.h"
#include "ui/quantarodialog.h"

#include <QDateTime>
#include <QString>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace quantaro::test {

/** Opens one window of the program over the services it is given. */
using WindowFactory = std::function<std::unique_ptr<QuantaroDialog>(const UiServices&)>;

/** Accepts every registration. */
class AcceptingNotifications final : public NotificationService
{
public:
    int32_t registerApplication(int32_t, const QString&, const QString&, const QDateTime&, const QDateTime&) override
    {
        return ++m_lastHandle;
    }
    void cancel(int32_t) override {}

private:
    int32_t m_lastHandle = 0;
};

/** Every module of the program folder, loaded and registered once (windows keep using their pictures). */
inline const ResourceSource& moduleResources(const Language& language)
{
    static std::map<QString, std::pair<std::unique_ptr<LanguageModule>, std::unique_ptr<ResourceSource>>> loaded;
    auto& entry = loaded[QString::fromLatin1(language.code)];
    if (!entry.second) {
        entry.first =
            LanguageModule::load(QStringLiteral(QUANTARO_PROGRAM_DIR "/") + QString::fromLatin1(language.module));
        const bool registered = entry.first && entry.first->registerResources();
        EXPECT_TRUE(registered) << language.module;
        entry.second =
            std::make_unique<ResourceSource>(registered ? entry.first->resourceRoot() : QStringLiteral(":/missing"));
    }
    return *entry.second;
}

} // namespace quantaro::test
