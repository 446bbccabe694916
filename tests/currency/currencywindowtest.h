#pragma once

#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/controls.h"
#include "ui/uiservices.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace quantaro::test {

/** A window test over the English module's templates and menu, with strings of the test's own. */
class CurrencyWindowTest : public ::testing::Test
{
protected:
    CurrencyWindowTest()
    {
        const QString english = QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res");
        QDir().mkpath(dir.filePath("res/dialogs"));
        QDir().mkpath(dir.filePath("res/menus"));
        for (const char* name :
             {"dialogs/132.ui", "dialogs/133.ui", "dialogs/139.ui", "dialogs/3013.ui", "menus/3002.json"}) {
            QFile::copy(english + "/" + name, dir.filePath(QStringLiteral("res/") + name));
        }
        setStrings({{1002, "Failed"}, {1003, "Updated"}, {1004, "Last: %D% %T%"}, {1005, "Never updated"}});
    }

    void setStrings(const std::map<int, QString>& strings)
    {
        QJsonObject object;
        for (const auto& [id, text] : strings) {
            object.insert(QString::number(id), text);
        }
        QFile file(dir.filePath("res/strings.json"));
        file.open(QIODevice::WriteOnly);
        file.write(QJsonDocument(object).toJson());
        resources = std::make_unique<ResourceSource>(dir.filePath("res"));
    }

    UiServices services() { return UiServices{&messages, &screen, nullptr, &store, resources.get()}; }

    QTemporaryDir dir;
    SettingsStore store{dir.filePath("q.ini")};
    std::unique_ptr<ResourceSource> resources;
    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(240, 320)};
};

} // namespace quantaro::test
